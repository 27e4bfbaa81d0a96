#include "automation/MappaLink.h"

#include <optional>

namespace mappa {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (AsciiLower(text[i]) != prefix[i]) return false;
    return true;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Whether `text` is well-formed UTF-8 (no overlong forms, surrogates or
// values past U+10FFFF) without control characters.
bool PlainUtf8(std::string_view text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead < 0x80) {
            if (lead < 0x20 || lead == 0x7F) return false;
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned code = 0;
        if (lead >= 0xC2 && lead <= 0xDF) length = 2, code = lead & 0x1F;
        else if (lead >= 0xE0 && lead <= 0xEF) length = 3, code = lead & 0x0F;
        else if (lead >= 0xF0 && lead <= 0xF4) length = 4, code = lead & 0x07;
        else return false;
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF) || (code >= 0x80 && code < 0xA0))
            return false;
        i += length;
    }
    return true;
}

// The value of one parameter, decoded; nothing when it is malformed.
std::optional<std::string> Decoded(std::string_view encoded)
{
    std::string value;
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '%') {
            if (i + 2 >= encoded.size()) return std::nullopt;
            const int high = HexValue(encoded[i + 1]);
            const int low = HexValue(encoded[i + 2]);
            if (high < 0 || low < 0) return std::nullopt;
            value += static_cast<char>(high * 16 + low);
            i += 2;
        } else if (c == '+') {
            value += ' ';
        } else {
            value += c;
        }
    }
    if (!PlainUtf8(value)) return std::nullopt;
    return value;
}

std::string Encoded(std::string_view text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
            c == '_' || c == '~') {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 15];
        }
    }
    return encoded;
}

RefusedLink Refused(LinkRefusal reason) { return {reason}; }

// What a link may hold as it is written: printable ASCII but for the blank
// and the characters that no URI holds unescaped (a quote would end the
// argument that the shell hands over), and UTF-8 beyond ASCII as browsers
// pass international links.
bool WritableInLink(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x80) return true;
    if (byte <= 0x20 || byte == 0x7F) return false;
    switch (c) {
    case '"': case '<': case '>': case '\\': case '^': case '`': case '{': case '|': case '}': return false;
    default: return true;
    }
}

}  // namespace

ParsedLink ParseMappaLink(std::string_view link)
{
    if (link.size() > kMaxLinkLength) return Refused(LinkRefusal::TooLong);
    if (!StartsWithIgnoringCase(link, "mappa:")) return Refused(LinkRefusal::OtherScheme);
    for (const char c : link)
        if (!WritableInLink(c)) return Refused(LinkRefusal::BadCharacter);
    std::string_view rest = link.substr(6);
    if (rest.substr(0, 2) == "//") rest.remove_prefix(2);  // as some programs write any scheme

    const std::size_t question = rest.find('?');
    std::string_view action = rest.substr(0, question);
    if (!action.empty() && action.back() == '/') action.remove_suffix(1);
    const std::string_view query = question == std::string_view::npos ? std::string_view() : rest.substr(question + 1);

    const bool office = action.size() == 6 && StartsWithIgnoringCase(action, "office");
    const bool find = action.size() == 4 && StartsWithIgnoringCase(action, "find");
    if (!office && !find) return Refused(LinkRefusal::UnknownKind);

    std::optional<std::string> name, country, text;
    std::string_view remaining = query;
    while (!remaining.empty()) {
        const std::size_t amp = remaining.find('&');
        const std::string_view pair = remaining.substr(0, amp);
        remaining = amp == std::string_view::npos ? std::string_view() : remaining.substr(amp + 1);
        if (pair.empty()) continue;
        const std::size_t equals = pair.find('=');
        if (equals == std::string_view::npos) return Refused(LinkRefusal::NoValue);
        const std::string_view key = pair.substr(0, equals);
        std::optional<std::string> value = Decoded(pair.substr(equals + 1));
        if (!value) return Refused(LinkRefusal::BadEscape);
        if (value->size() > kMaxLinkValue) return Refused(LinkRefusal::ValueTooLong);
        std::optional<std::string>* slot = nullptr;
        if (office && key == "name") slot = &name;
        else if (office && key == "country") slot = &country;
        else if (find && key == "q") slot = &text;
        else return Refused(LinkRefusal::UnknownPart);
        if (*slot) return Refused(LinkRefusal::Twice);
        *slot = std::move(value);
    }
    if (office) {
        if (!name || name->empty()) return Refused(LinkRefusal::NoOffice);
        return OfficeLink{*name, country.value_or("")};
    }
    if (!text) return Refused(LinkRefusal::NoText);
    return FindLink{*text};
}

std::string OfficeLinkText(std::string_view name, std::string_view country)
{
    std::string link = "mappa:office?name=" + Encoded(name);
    if (!country.empty()) link += "&country=" + Encoded(country);
    return link;
}

std::string FindLinkText(std::string_view text) { return "mappa:find?q=" + Encoded(text); }

}  // namespace mappa
