#include "ui/ContactCard.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <stdexcept>

#include "mapdata/DataFileEncoding.h"
#include "mapdata/LocationTable.h"
#include "support/Support2.h"
#include "ui/MapLogic.h"
#include "ui/SearchText.h"
#include "ui/ShellAddress.h"

namespace mappa {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";
constexpr std::size_t kMaxLineOctets = 75;

// Calls on_character for each character of `text`, with U+FFFD for each
// malformed sequence, as the data file's decoder repairs it.
template <typename OnCharacter>
void ForEachCharacter(std::string_view text, OnCharacter&& on_character)
{
    for (std::size_t i = 0; i < text.size();) {
        std::size_t malformed = 0;
        if (Utf8SequenceAt(text, i, malformed) == 0) {
            on_character(U'\uFFFD', kReplacementCharacter);
            i += malformed;
            continue;
        }
        char32_t c = 0;
        const std::size_t length = DecodeUtf8(text, i, c);
        on_character(c, text.substr(i, length));
        i += length;
    }
}

// C0, DEL and C1: nothing that an address book could show.
bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// Whether anything but blanks, line breaks and control characters is left
// to write.
bool HasContent(std::string_view text)
{
    bool content = false;
    ForEachCharacter(text, [&](char32_t c, std::string_view) { content = content || (c != U' ' && !IsControl(c)); });
    return content;
}

enum class TextKind {
    Single,     // FN, TEL, EMAIL, a label: a semicolon is just a semicolon
    Component,  // a component of ORG or ADR, where a semicolon separates them
};

// A text value (RFC 6350, 3.4): backslash, comma and line break escaped
// everywhere, the semicolon only where it would end a component; vCard 4.0
// readers show an escaped semicolon of a single text as written.
std::string EscapeText(std::string_view text, TextKind kind)
{
    std::string escaped;
    bool after_cr = false;
    ForEachCharacter(text, [&](char32_t c, std::string_view bytes) {
        const bool cr = c == U'\r';
        if (cr || (c == U'\n' && !after_cr)) {
            escaped += "\\n";
        } else if (c == U'\\' || c == U',' || (c == U';' && kind == TextKind::Component)) {
            escaped += '\\';
            escaped += bytes;
        } else if (!IsControl(c) || c == U'\t') {
            escaped += bytes;
        }
        after_cr = cr;
    });
    return escaped;
}

// A web address as a URI: without a scheme it is taken for http; spaces,
// control characters and non-ASCII bytes are percent-encoded.
std::string UriOf(std::string_view address)
{
    std::string uri = StartsWithText(address, "www.") ? "http://" : "";
    // Beside these, RFC 3986 allows none of "<>\\^`{|}.
    uri += PercentEncoded(address, [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte > 0x20 && byte < 0x7F && std::string_view("\"<>\\^`{|}").find(c) == std::string_view::npos;
    });
    return uri;
}

// Shortest decimal text that reads back as the same number, never in
// exponent form; "0" for minus zero.
std::string Decimal(double value)
{
    if (value == 0.0) return "0";
    std::array<char, 400> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed);
    return std::string(buffer.data(), result.ptr);
}

// "geo:lat,lon" with south and west negative; letters that form no N/S + E/W
// pair count as N and E, as on the map. Empty when out of range.
std::string GeoUri(const ContactCardFields& fields)
{
    const Hemispheres sides = HemispheresOf(fields.lat_hemisphere, fields.long_hemisphere);
    const double latitude = sides.south ? -fields.latitude : fields.latitude;
    const double longitude = sides.west ? -fields.longitude : fields.longitude;
    if (!(std::fabs(latitude) <= 90.0) || !(std::fabs(longitude) <= 180.0)) return {};
    return "geo:" + Decimal(latitude) + "," + Decimal(longitude);
}

// Writes content lines, folded so that no line passes 75 octets and no
// character is split across lines.
class CardWriter {
public:
    void line(std::string_view content)
    {
        std::size_t limit = kMaxLineOctets;
        std::size_t start = 0;
        while (content.size() - start > limit) {
            std::size_t end = start + limit;
            while (end > start && (static_cast<unsigned char>(content[end]) & 0xC0) == 0x80) --end;
            card_.append(content.substr(start, end - start));
            card_ += "\r\n ";
            start = end;
            limit = kMaxLineOctets - 1;  // the leading space counts
        }
        card_.append(content.substr(start));
        card_ += "\r\n";
    }

    // name:value, unless the value holds no content.
    void property(std::string_view name, std::string_view value)
    {
        if (HasContent(value)) line(std::string(name) + ":" + EscapeText(value, TextKind::Single));
    }

    std::string take() { return std::move(card_); }

private:
    std::string card_;
};

}  // namespace

std::string ContactCard(const ContactCardFields& fields)
{
    if (!HasContent(fields.name)) throw std::invalid_argument("an office without a name has no contact card");

    CardWriter card;
    card.line("BEGIN:VCARD");
    card.line("VERSION:4.0");
    card.line("KIND:org");
    card.line("FN:" + EscapeText(fields.name, TextKind::Single));
    card.line("ORG:" + EscapeText(fields.name, TextKind::Component));

    const auto component = [](std::string_view value) {
        return HasContent(value) ? EscapeText(value, TextKind::Component) : std::string();
    };
    const std::string street = component(fields.street), city = component(fields.city),
                      postcode = component(fields.postcode), country = component(fields.country);
    if (!(street + city + postcode + country).empty()) {
        // post office box; extended address; street; locality; region; postal code; country
        card.line("ADR;TYPE=work:;;" + street + ";" + city + ";;" + postcode + ";" + country);
    }

    card.property("TEL;TYPE=work,voice", fields.phone);
    card.property("TEL;TYPE=work,fax", fields.fax);
    int group = 0;
    for (const auto& [number, label] : {std::pair{fields.local_toll, "Local Toll Free"},
                                        std::pair{fields.international_toll, "International Toll Free"}}) {
        if (!HasContent(number)) continue;
        const std::string item = "item" + std::to_string(++group);
        card.property(item + ".TEL;TYPE=work,voice", number);
        card.property(item + ".X-ABLabel", label);
    }
    card.property("EMAIL;TYPE=work", fields.email);

    const std::string geo = GeoUri(fields);
    if (!geo.empty()) card.line("GEO:" + geo);
    // Zone names are ASCII letters, digits and "/_+-", which need no escaping; anything else is left out.
    if (!fields.time_zone.empty() &&
        std::all_of(fields.time_zone.begin(), fields.time_zone.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '/' ||
                   c == '_' || c == '+' || c == '-';
        }))
        card.line("TZ:" + std::string(fields.time_zone));
    if (IsOpenableWebAddress(fields.web_link))
        card.line("URL;TYPE=work:" + UriOf(fields.web_link));

    card.line("END:VCARD");
    return card.take();
}

std::string ContactFileName(std::string_view name)
{
    constexpr std::size_t kMaxStem = 100;
    constexpr std::string_view kForbidden = "<>:\"/\\|?*";
    std::string stem;
    bool full = false;
    ForEachCharacter(name, [&](char32_t c, std::string_view bytes) {
        if (full || stem.size() + bytes.size() > kMaxStem) {
            full = true;
            return;
        }
        if (c < 0x20 || c == 0x7F || c == U'\uFFFD' || (c < 0x80 && kForbidden.find(static_cast<char>(c)) !=
                                                                         std::string_view::npos))
            stem += '_';
        else
            stem += bytes;
    });
    const auto trim = [&] {
        const std::size_t first = stem.find_first_not_of(' ');
        stem.erase(0, first == std::string::npos ? stem.size() : first);
        while (!stem.empty() && (stem.back() == ' ' || stem.back() == '.')) stem.pop_back();
    };
    trim();
    if (stem.empty()) stem = "Office";

    // CON, PRN, AUX, NUL, COM1-9, LPT1-9 (also with ¹²³) name devices,
    // whatever extension follows.
    std::string device = stem.substr(0, stem.find('.'));
    while (!device.empty() && device.back() == ' ') device.pop_back();
    for (char& c : device) c = LowerAscii(c);
    bool reserved = device == "con" || device == "prn" || device == "aux" || device == "nul";
    if (device.size() >= 4 && (device.starts_with("com") || device.starts_with("lpt"))) {
        const std::string_view number = std::string_view(device).substr(3);
        reserved = reserved || (number.size() == 1 && number[0] >= '1' && number[0] <= '9') ||
                   number == "\xC2\xB9" || number == "\xC2\xB2" || number == "\xC2\xB3";
    }
    if (reserved) {
        stem.insert(device.size(), "_");
        // Back within the length, whole characters at a time.
        while (stem.size() > kMaxStem) {
            while ((static_cast<unsigned char>(stem.back()) & 0xC0) == 0x80) stem.pop_back();
            stem.pop_back();
        }
        trim();
    }
    return stem + ".vcf";
}

}  // namespace mappa
