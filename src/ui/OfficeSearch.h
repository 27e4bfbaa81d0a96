// The search behind "Find an office": an index built once over every office,
// and a filter that keeps the offices for which every word typed matches the
// start of a word of the name, city, country, phone or e-mail, ignoring letter
// case and accents (the folding of SearchText.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/SearchText.h"

namespace mappa {

struct OfficeSearchFields {
    std::string_view name, city, country, phone, email;
};

// The searched fields of a location record; the city is its fourth line.
template <typename Record>
OfficeSearchFields SearchFieldsOf(const Record& record)
{
    return {record.Name, record.Extra2, record.Country, record.Phone, record.Email};
}

class OfficeSearch {
public:
    using FieldsOf = std::function<OfficeSearchFields(std::size_t index)>;

    // Indexes offices 0 to count - 1; the fields need not outlive the index.
    OfficeSearch(std::size_t count, const FieldsOf& fields_of);

    std::size_t size() const { return starts_.size() - 1; }

    // The offices that match `query`, in file order; every office when the
    // query holds no word. When the query extends the previous one, only the
    // previous result is searched again.
    const std::vector<std::uint32_t>& filter(std::string_view query);

private:
    bool matchesInOffice(std::uint32_t office, const std::string& needle) const;
    void scanAll(const std::string& needle);

    std::string text_;                  // every office's folded fields, one after another
    std::vector<std::uint32_t> starts_;  // office i's text is [starts_[i], starts_[i + 1])
    std::vector<SearchWord> last_words_;
    std::vector<std::uint32_t> result_;
    bool has_result_ = false;
};

}  // namespace mappa
