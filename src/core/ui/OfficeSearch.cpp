#include "ui/OfficeSearch.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace mappa {
namespace {

// True when each earlier word is the start of some later word: then every
// office that matches the later words matched the earlier ones too.
bool Extends(const std::vector<std::string>& later, const std::vector<std::string>& earlier)
{
    return std::all_of(earlier.begin(), earlier.end(), [&](const std::string& old_word) {
        return std::any_of(later.begin(), later.end(),
                           [&](const std::string& word) { return word.starts_with(old_word); });
    });
}

// Four bytes as one number, in the machine's byte order.
std::uint32_t Key(const char* bytes, std::size_t count)
{
    char padded[4] = {};
    std::memcpy(padded, bytes, std::min<std::size_t>(count, 4));
    std::uint32_t key;
    std::memcpy(&key, padded, 4);
    return key;
}

}  // namespace

OfficeSearch::OfficeSearch(std::size_t count, const FieldsOf& fields_of)
{
    const auto fields_in_order = [](const OfficeSearchFields& fields) {
        return std::array<std::string_view, 5>{fields.name, fields.city, fields.country, fields.phone, fields.email};
    };
    // One buffer with room for the largest folded text, so that nothing moves
    // while it fills; the pages it does not use are never touched.
    std::size_t size = 0;
    for (std::size_t i = 0; i < count; ++i)
        for (const std::string_view field : fields_in_order(fields_of(i))) size += field.size();
    const std::size_t room = SearchTextRoom(size) + 4;
    if (room > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("too much text to search");
    text_ = std::make_unique_for_overwrite<char[]>(room);
    starts_.reserve(size / 4);

    office_starts_.reserve(count + 1);
    char* next = text_.get();
    for (std::size_t i = 0; i < count; ++i) {
        office_starts_.push_back(static_cast<std::uint32_t>(starts_.size()));
        for (const std::string_view field : fields_in_order(fields_of(i)))
            next = FoldSearchText(field, next, text_.get(), &starts_);
    }
    office_starts_.push_back(static_cast<std::uint32_t>(starts_.size()));
    text_size_ = static_cast<std::size_t>(next - text_.get());
    std::fill_n(next, 4, '\0');  // every start can be read four bytes wide
    keys_.reserve(starts_.size());
    for (const std::uint32_t start : starts_) keys_.push_back(Key(text_.get() + start, 4));
}

OfficeSearch::Needle OfficeSearch::needleOf(const std::string& word) const
{
    const std::string full(4, '\xFF');
    return {word, Key(word.data(), word.size()), Key(full.data(), word.size())};
}

bool OfficeSearch::matchesAt(std::size_t start, const Needle& needle) const
{
    if ((keys_[start] & needle.mask) != needle.key) return false;
    const std::size_t size = needle.word.size();
    if (size <= 4) return true;
    const std::size_t at = starts_[start];
    return at + size <= text_size_ && std::memcmp(text_.get() + at + 4, needle.word.data() + 4, size - 4) == 0;
}

bool OfficeSearch::officeMatches(std::uint32_t office, const Needle& needle) const
{
    for (std::size_t start = office_starts_[office]; start < office_starts_[office + 1]; ++start)
        if (matchesAt(start, needle)) return true;
    return false;
}

void OfficeSearch::scanAll(const Needle& needle)
{
    result_.clear();
    const std::uint32_t* const keys = keys_.data();
    const std::size_t count = keys_.size();
    std::uint32_t office = 0;
    std::size_t start = 0;
    for (;;) {
        while (start < count && (keys[start] & needle.mask) != needle.key) ++start;
        if (start == count) break;
        if (!matchesAt(start, needle)) {
            ++start;
            continue;
        }
        while (office_starts_[office + 1] <= start) ++office;
        result_.push_back(office);
        start = office_starts_[office + 1];
    }
}

const std::vector<std::uint32_t>& OfficeSearch::filter(std::string_view query)
{
    std::vector<std::string> words = SearchWords(query);
    if (words.empty()) {
        result_.resize(size());
        for (std::uint32_t i = 0; i < result_.size(); ++i) result_[i] = i;
    } else {
        std::vector<Needle> needles;
        for (const std::string& word : words) needles.push_back(needleOf(word));
        // The longest word is likely the rarest: it narrows the offices first.
        std::stable_sort(needles.begin(), needles.end(),
                         [](const Needle& a, const Needle& b) { return a.word.size() > b.word.size(); });

        auto rest = needles.begin();
        if (!has_result_ || result_.size() == size() || !Extends(words, last_words_)) {
            scanAll(*rest);
            ++rest;
        }
        std::erase_if(result_, [&](std::uint32_t office) {
            return !std::all_of(rest, needles.end(), [&](const Needle& needle) { return officeMatches(office, needle); });
        });
    }
    last_words_ = std::move(words);
    has_result_ = true;
    return result_;
}

}  // namespace mappa
