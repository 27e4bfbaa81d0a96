#include "PlainReaders.h"

#include <cstdint>

namespace mappa::fuzz {
namespace {

void PutUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void Replace(PlainDecoding& decoding)
{
    decoding.replaced.push_back(decoding.text.size());
    PutUtf8(decoding.text, 0xFFFD);
}

// Whether the bytes could begin a well-formed UTF-8 sequence of `length`
// bytes: the code points they allow form one interval, which must meet the
// code points of that length other than the surrogates.
bool StartsWellFormed(const unsigned char* bytes, std::size_t count, std::size_t length)
{
    std::uint32_t low = bytes[0] & (0x7F >> length), high = low;
    for (std::size_t i = 1; i < length; ++i) {
        const bool known = i < count;
        low = (low << 6) | (known ? bytes[i] & 0x3F : 0x00);
        high = (high << 6) | (known ? bytes[i] & 0x3F : 0x3F);
    }
    const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const std::uint32_t lo = std::max(low, smallest[length]);
    const std::uint32_t hi = std::min<std::uint32_t>(high, 0x10FFFF);
    if (lo > hi) return false;
    return lo < 0xD800 || hi > 0xDFFF;  // not only surrogates
}

PlainDecoding PlainUtf8(std::string_view bytes)
{
    PlainDecoding out;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t i = 0;
    while (i < bytes.size() && data[i] != 0) {
        const unsigned lead = data[i];
        if (lead < 0x80) {
            out.text += static_cast<char>(lead);
            ++i;
            continue;
        }
        const std::size_t length = (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        // The longest run of continuation bytes that still begins a well-formed sequence.
        std::size_t good = 0;
        for (std::size_t k = 1; k <= length && i + k <= bytes.size(); ++k) {
            if (k > 1 && (data[i + k - 1] & 0xC0) != 0x80) break;
            if (!StartsWellFormed(data + i, k, length)) break;
            good = k;
        }
        if (length != 0 && good == length) {
            out.text.append(bytes.substr(i, length));
            i += length;
        } else {
            Replace(out);
            i += std::max<std::size_t>(good, 1);
        }
    }
    return out;
}

PlainDecoding PlainUtf16(std::string_view bytes)
{
    PlainDecoding out;
    const auto unit = [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
    };
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const char32_t c = unit(i);
        if (c == 0) return out;
        const bool high = c >= 0xD800 && c < 0xDC00;
        const bool low = c >= 0xDC00 && c < 0xE000;
        if (high && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) < 0xE000) {
            PutUtf8(out.text, 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00));
            i += 2;
        } else if (high && i + 3 == bytes.size()) {
            Replace(out);  // a pair cut short by the end: one character
            return out;
        } else if (high || low) {
            Replace(out);
        } else {
            PutUtf8(out.text, c);
        }
    }
    if (i < bytes.size()) Replace(out);
    return out;
}

// Windows-1252 as Windows reads it, the undefined bytes standing for themselves.
PlainDecoding PlainWindows1252(std::string_view bytes)
{
    static const std::u32string high =
        U"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u008D\u017D\u008F"
        U"\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178";
    PlainDecoding out;
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (c == 0) break;
        PutUtf8(out.text, c >= 0x80 && c < 0xA0 ? high[c - 0x80] : c);
    }
    return out;
}

}  // namespace

PlainDecoding PlainDecode(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return PlainUtf8(bytes.substr(3));
    if (bytes.substr(0, 2) == "\xFF\xFE") return PlainUtf16(bytes.substr(2));
    return PlainWindows1252(bytes);
}

std::vector<std::string> PlainLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::string line;
    bool open = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            open = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            continue;
        }
        line += c;
        open = true;
    }
    if (open) lines.push_back(line);
    return lines;
}

}  // namespace mappa::fuzz
