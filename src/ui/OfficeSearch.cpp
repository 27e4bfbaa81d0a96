#include "ui/OfficeSearch.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace mappa {
namespace {

// In the folded text every word follows a space, so " word" finds exactly the
// word starts; a word of a script without spaces may match anywhere.
std::string NeedleOf(const SearchWord& word) { return word.anywhere ? word.text : " " + word.text; }

// True when each earlier word is the start of some later word: then every
// office that matches the later words matched the earlier ones too.
bool Extends(const std::vector<SearchWord>& later, const std::vector<SearchWord>& earlier)
{
    return std::all_of(earlier.begin(), earlier.end(), [&](const SearchWord& old_word) {
        return std::any_of(later.begin(), later.end(),
                           [&](const SearchWord& word) { return word.text.starts_with(old_word.text); });
    });
}

}  // namespace

OfficeSearch::OfficeSearch(std::size_t count, const FieldsOf& fields_of)
{
    starts_.reserve(count + 1);
    for (std::size_t i = 0; i < count; ++i) {
        starts_.push_back(static_cast<std::uint32_t>(text_.size()));
        const OfficeSearchFields fields = fields_of(i);
        for (const std::string_view field : {fields.name, fields.city, fields.country, fields.phone, fields.email})
            AppendSearchText(field, text_);
        if (text_.size() > std::numeric_limits<std::uint32_t>::max())
            throw std::length_error("too much text to search");
    }
    starts_.push_back(static_cast<std::uint32_t>(text_.size()));
}

bool OfficeSearch::matchesInOffice(std::uint32_t office, const std::string& needle) const
{
    const std::string_view text(text_.data() + starts_[office], starts_[office + 1] - starts_[office]);
    return text.find(needle) != std::string_view::npos;
}

void OfficeSearch::scanAll(const std::string& needle)
{
    result_.clear();
    const std::string_view text(text_);
    std::uint32_t office = 0;
    std::size_t position = 0;
    while ((position = text.find(needle, position)) != std::string_view::npos) {
        while (starts_[office + 1] <= position) ++office;
        result_.push_back(office);
        position = starts_[office + 1];
    }
}

const std::vector<std::uint32_t>& OfficeSearch::filter(std::string_view query)
{
    std::vector<SearchWord> words = SearchWords(query);
    if (words.empty()) {
        result_.resize(size());
        for (std::uint32_t i = 0; i < result_.size(); ++i) result_[i] = i;
    } else {
        std::vector<std::string> needles;
        for (const SearchWord& word : words) needles.push_back(NeedleOf(word));
        // The longest word is likely the rarest: it narrows the offices first.
        std::stable_sort(needles.begin(), needles.end(),
                         [](const std::string& a, const std::string& b) { return a.size() > b.size(); });

        auto first_needle = needles.begin();
        if (!has_result_ || result_.size() == size() || !Extends(words, last_words_)) {
            scanAll(*first_needle);
            ++first_needle;
        }
        const auto rest = std::vector<std::string>(first_needle, needles.end());
        std::erase_if(result_, [&](std::uint32_t office) {
            return !std::all_of(rest.begin(), rest.end(),
                                [&](const std::string& needle) { return matchesInOffice(office, needle); });
        });
    }
    last_words_ = std::move(words);
    has_result_ = true;
    return result_;
}

}  // namespace mappa
