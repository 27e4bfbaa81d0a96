// The entries of the map window's country list, in the list's order.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mapdata/LocationTable.h"

namespace mappa {

// The key by which the list sorts a country; keys compare as bytes.
using CountrySortKey = std::function<std::string(std::string_view country)>;

// One entry per office among the first `count` slots whose country is not
// empty, ordered by sort key; entries whose keys are equal keep table order.
// The key is asked once per distinct country.
std::vector<std::string> CountryListEntries(const LocationSlots& slots, std::size_t count, const CountrySortKey& keyOf);

// The last entry equal to `country`, letter case included; none when no entry is.
std::optional<std::size_t> LastEntryOf(const std::vector<std::string>& entries, std::string_view country);

}  // namespace mappa
