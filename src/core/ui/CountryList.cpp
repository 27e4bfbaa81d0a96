#include "ui/CountryList.h"

#include <algorithm>
#include <unordered_map>

namespace mappa {

std::vector<std::string> CountryListEntries(const LocationSlots& slots, std::size_t count, const CountrySortKey& keyOf)
{
    // Each distinct country is ranked once by its key; the offices then go
    // into their rank's place in table order.
    std::unordered_map<std::string_view, std::size_t> ids;
    std::vector<std::string_view> distinct;
    std::vector<std::size_t> idOf;
    idOf.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view country = slots[i].Country;
        if (country.empty()) continue;
        const auto [at, added] = ids.try_emplace(country, distinct.size());
        if (added) distinct.push_back(country);
        idOf.push_back(at->second);
    }

    std::vector<std::string> keys(distinct.size());
    for (std::size_t id = 0; id < distinct.size(); ++id) keys[id] = keyOf(distinct[id]);
    std::vector<std::size_t> byKey(distinct.size());
    for (std::size_t id = 0; id < byKey.size(); ++id) byKey[id] = id;
    std::sort(byKey.begin(), byKey.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    std::vector<std::size_t> rank(distinct.size());
    std::size_t ranks = 0;
    for (std::size_t i = 0; i < byKey.size(); ++i) {
        if (i > 0 && keys[byKey[i]] != keys[byKey[i - 1]]) ++ranks;
        rank[byKey[i]] = ranks;
    }

    std::vector<std::size_t> next(distinct.size() + 1, 0);  // where each rank's offices go
    for (std::size_t id : idOf) ++next[rank[id] + 1];
    for (std::size_t r = 1; r < next.size(); ++r) next[r] += next[r - 1];
    std::vector<std::string> entries(idOf.size());
    for (std::size_t id : idOf) entries[next[rank[id]]++] = distinct[id];
    return entries;
}

std::optional<std::size_t> LastEntryOf(const std::vector<std::string>& entries, std::string_view country)
{
    const auto found = std::find(entries.rbegin(), entries.rend(), country);
    if (found == entries.rend()) return std::nullopt;
    return static_cast<std::size_t>(entries.rend() - found - 1);
}

}  // namespace mappa
