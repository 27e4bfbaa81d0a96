#include "ui/ShellAddress.h"

#include "support/Support2.h"
#include "ui/SearchText.h"

namespace mappa {
namespace {

bool IsAsciiLetterOrDigit(char32_t c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'); }

bool IsHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Blanks, controls and the invisible characters that change how a text reads
// (bidirectional overrides, zero-width joiners, the byte-order mark).
bool IsBlankOrControl(char32_t c)
{
    return c <= 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0xAD || c == 0x1680 || c == 0x180E ||
           (c >= 0x2000 && c <= 0x200F) || (c >= 0x2028 && c <= 0x202F) || (c >= 0x205F && c <= 0x206F) ||
           c == 0x3000 || c == 0xFEFF || (c >= 0xFFF9 && c <= 0xFFFB);
}

// Calls `accept` for every character of `text`; false when the text is not
// valid UTF-8, holds a blank or a control character, or `accept` says no.
template <typename Accept>
bool EveryCharacter(std::string_view text, Accept accept)
{
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        const std::size_t length = DecodeUtf8(text, i, c);
        if (length == 0 || IsBlankOrControl(c) || !accept(c, i)) return false;
        i += length;
    }
    return true;
}

// The ASCII characters that a URI may carry as they are (RFC 3986), '%' only
// before two hexadecimal digits.
bool IsUriCharacter(std::string_view text, char32_t c, std::size_t at)
{
    if (c >= 0x80 || IsAsciiLetterOrDigit(c)) return true;
    if (c == '%') return at + 2 < text.size() && IsHexDigit(text[at + 1]) && IsHexDigit(text[at + 2]);
    return std::string_view("-._~:/?#[]@!$&'()*+,;=").find(static_cast<char>(c)) != std::string_view::npos;
}

bool IsHostCharacter(char32_t c) { return c >= 0x80 || IsAsciiLetterOrDigit(c) || c == '-' || c == '.' || c == '_'; }

bool IsValidHost(std::string_view host)
{
    if (host.empty()) return false;
    if (host.front() == '[') {  // an IPv6 literal
        if (host.size() < 3 || host.back() != ']') return false;
        for (const char c : host.substr(1, host.size() - 2))
            if (!IsHexDigit(c) && c != ':' && c != '.') return false;
        return true;
    }
    return EveryCharacter(host, [](char32_t c, std::size_t) { return IsHostCharacter(c); });
}

// The authority of an absolute URI: an optional user part, a host and an
// optional port of digits.
bool IsValidAuthority(std::string_view authority)
{
    if (const std::size_t at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
    const std::size_t colon = authority.rfind(':');
    if (colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos) {
        for (const char c : authority.substr(colon + 1))
            if (c < '0' || c > '9') return false;
        authority = authority.substr(0, colon);
    }
    return IsValidHost(authority);
}

bool IsAtomCharacter(char32_t c)
{
    return c >= 0x80 || IsAsciiLetterOrDigit(c) ||
           std::string_view("!#$%&'*+-/=?^_`{|}~.").find(static_cast<char>(c)) != std::string_view::npos;
}

bool IsValidDomain(std::string_view domain)
{
    if (domain.empty() || domain.front() == '.' || domain.back() == '.' || domain.find("..") != std::string_view::npos)
        return false;
    return EveryCharacter(domain, [](char32_t c, std::size_t) {
        return c >= 0x80 || IsAsciiLetterOrDigit(c) || c == '-' || c == '.';
    });
}

}  // namespace

std::string PercentEncoded(std::string_view text, bool (*keep)(char byte))
{
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(text.size());
    for (const char c : text) {
        if (keep(c)) {
            encoded += c;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        encoded += '%';
        encoded += kHex[byte >> 4];
        encoded += kHex[byte & 0xF];
    }
    return encoded;
}

std::optional<std::string> WebUriToOpen(std::string_view address)
{
    std::string uri;
    if (StartsWithText(address, "www.")) uri = "https://";
    else if (!StartsWithText(address, "http://") && !StartsWithText(address, "https://")) return std::nullopt;
    uri += address;

    const std::string_view text(uri);
    if (!EveryCharacter(text, [text](char32_t c, std::size_t at) { return IsUriCharacter(text, c, at); }))
        return std::nullopt;
    const std::size_t start = text.find("://") + 3;
    const std::size_t end = text.find_first_of("/?#", start);
    if (!IsValidAuthority(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start)))
        return std::nullopt;
    return uri;
}

std::optional<std::string> MailUriToOpen(std::string_view address)
{
    std::string uri = "mailto:";
    if (address.empty()) return uri;
    const std::size_t at = address.find('@');
    if (at == 0 || at == std::string_view::npos) return std::nullopt;
    const std::string_view local = address.substr(0, at);
    if (!EveryCharacter(local, [](char32_t c, std::size_t) { return IsAtomCharacter(c); }) ||
        !IsValidDomain(address.substr(at + 1)))
        return std::nullopt;

    // What a mailto: URI reserves (RFC 6068) is percent-encoded; letters
    // beyond ASCII stay as they are, as the mail client shows them.
    uri += PercentEncoded(local, [](char c) {
        return static_cast<unsigned char>(c) >= 0x80 || IsAsciiLetterOrDigit(static_cast<unsigned char>(c)) ||
               std::string_view("-._~!$'*+=").find(c) != std::string_view::npos;
    });
    uri += '@';
    uri += address.substr(at + 1);
    return uri;
}

}  // namespace mappa
