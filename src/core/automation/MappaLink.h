// Links that open an office: "mappa:office?name=...&country=..." and
// "mappa:find?q=...", their text made from an office and read back from
// anywhere. A link is untrusted input: reading it yields only an office to
// select or a text to find, or the reason it is refused.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

namespace mappa {

inline constexpr std::size_t kMaxLinkLength = 2048;
// The longest name, country or search text that a link may carry, in bytes of UTF-8.
inline constexpr std::size_t kMaxLinkValue = 512;

struct OfficeLink {
    std::string name;     // the office's name, as in the data file
    std::string country;  // empty: any country
    bool operator==(const OfficeLink&) const = default;
};

struct FindLink {
    std::string text;
    bool operator==(const FindLink&) const = default;
};

// Why a link is refused; the window says it in the user's language.
enum class LinkRefusal {
    TooLong,       // the whole link or command line is longer than kMaxLinkLength
    ValueTooLong,  // a name, country or search text is longer than kMaxLinkValue
    OtherScheme,   // not a mappa: link
    UnknownKind,   // neither an office nor a find link
    BadEscape,     // a malformed %-escape, a control character or malformed UTF-8 in a value
    BadCharacter,  // a blank, a quote or another character that no link holds unescaped
    NoValue,       // a part without '='
    UnknownPart,   // a part that the link's kind does not take
    Twice,         // a part given twice
    NoOffice,      // an office link without a name
    NoText,        // a find link without a text
    Switch,        // a switch on the command line after a link or a search; stays the last
};
inline constexpr std::size_t kLinkRefusals = static_cast<std::size_t>(LinkRefusal::Switch) + 1;

struct RefusedLink {
    LinkRefusal reason;
    bool operator==(const RefusedLink&) const = default;
};

using ParsedLink = std::variant<OfficeLink, FindLink, RefusedLink>;

// Reads a link (UTF-8). The scheme and the action ignore letter case; values
// are percent-encoded UTF-8 ('+' is a blank), without control characters.
ParsedLink ParseMappaLink(std::string_view link);

// The link to an office; the country is left out when empty.
std::string OfficeLinkText(std::string_view name, std::string_view country);
std::string FindLinkText(std::string_view text);

}  // namespace mappa
