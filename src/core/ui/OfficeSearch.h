// The search behind "Find an office": an index built once over every office,
// and a filter that keeps the offices for which every word typed matches the
// start of a word of the name, city, country, phone or e-mail, ignoring letter
// case and accents (the folding of SearchText.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
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

    std::size_t size() const { return office_starts_.size() - 1; }

    // The offices that match `query`, in file order; every office when the
    // query holds no word. When the query extends the previous one, only the
    // previous result is searched again. The list stays valid until the next call.
    const std::vector<std::uint32_t>& filter(std::string_view query);

private:
    struct Needle {
        std::string word;
        std::uint32_t key = 0;   // its first four bytes, as keys_ holds them
        std::uint32_t mask = 0;  // the bytes of key that the word fills
    };
    Needle needleOf(const std::string& word) const;
    bool matchesAt(std::size_t start, const Needle& needle) const;
    bool officeMatches(std::uint32_t office, const Needle& needle) const;
    void scanAll(const Needle& needle);

    std::unique_ptr<char[]> text_;             // every office's folded fields, one after another
    std::size_t text_size_ = 0;
    std::vector<std::uint32_t> starts_;        // where in text_ a match may begin, office by office
    std::vector<std::uint32_t> keys_;          // the four bytes of text_ at each start
    std::vector<std::uint32_t> office_starts_;  // office i's starts: [office_starts_[i], office_starts_[i + 1])
    std::vector<std::string> last_words_;
    std::vector<std::uint32_t> result_;
    bool has_result_ = false;
};

}  // namespace mappa
