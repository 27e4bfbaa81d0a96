#include "mapdata/DataFileEncoding.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "mapdata/TextScan.h"

namespace mappa {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16Mark = "\xFF\xFE";
constexpr char32_t kReplacement = 0xFFFD;

// Collects UTF-8 in a small buffer and hands it to the string in large pieces.
class Utf8Writer {
public:
    explicit Utf8Writer(std::string& out) : out_(out) {}
    Utf8Writer(const Utf8Writer&) = delete;
    Utf8Writer& operator=(const Utf8Writer&) = delete;
    ~Utf8Writer() { flush(); }

    // Bytes written so far.
    std::size_t size() const { return out_.size() + used_; }

    void append(const char* bytes, std::size_t count)
    {
        if (count > kSize - used_) {
            flush();
            if (count >= kSize) {
                out_.append(bytes, count);
                return;
            }
        }
        std::memcpy(buffer_ + used_, bytes, count);
        used_ += count;
    }

    void codePoint(char32_t c)
    {
        if (kSize - used_ < 4) flush();
        char* out = buffer_ + used_;
        if (c < 0x80) {
            out[0] = static_cast<char>(c);
            used_ += 1;
        } else if (c < 0x800) {
            out[0] = static_cast<char>(0xC0 | (c >> 6));
            out[1] = static_cast<char>(0x80 | (c & 0x3F));
            used_ += 2;
        } else if (c < 0x10000) {
            out[0] = static_cast<char>(0xE0 | (c >> 12));
            out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out[2] = static_cast<char>(0x80 | (c & 0x3F));
            used_ += 3;
        } else {
            out[0] = static_cast<char>(0xF0 | (c >> 18));
            out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out[3] = static_cast<char>(0x80 | (c & 0x3F));
            used_ += 4;
        }
    }

    // Free space to write into directly, at least one byte; `commit` what was written.
    char* space(std::size_t& room)
    {
        if (used_ == kSize) flush();
        room = kSize - used_;
        return buffer_ + used_;
    }
    void commit(std::size_t count) { used_ += count; }

    void flush()
    {
        out_.append(buffer_, used_);
        used_ = 0;
    }

private:
    static constexpr std::size_t kSize = 8192;
    std::string& out_;
    std::size_t used_ = 0;
    char buffer_[kSize];
};

const unsigned char* Bytes(const char* p) { return reinterpret_cast<const unsigned char*>(p); }

// The UTF-8 after the mark; the file's own bytes when all of it is valid.
void DecodeUtf8(std::string bytes, DecodedText& decoded)
{
    const std::size_t start = kUtf8Mark.size();
    const char* const begin = bytes.data() + start;
    const char* const end = bytes.data() + bytes.size();
    const char* p = begin;
    std::size_t bad = 0;
    while (true) {
        p = scan::SkipAscii(p, end);
        if (p == end || *p == '\0') {
            decoded.size = static_cast<std::size_t>(p - begin);
            decoded.start = start;
            decoded.storage = std::move(bytes);
            return;
        }
        const std::size_t length = Utf8SequenceLength(Bytes(p), Bytes(end), bad);
        if (length == 0) break;
        p += length;
    }

    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    {
        Utf8Writer writer(out);
        writer.append(begin, static_cast<std::size_t>(p - begin));
        while (true) {
            const char* ascii_end = scan::SkipAscii(p, end);
            writer.append(p, static_cast<std::size_t>(ascii_end - p));
            p = ascii_end;
            if (p == end || *p == '\0') break;
            const std::size_t length = Utf8SequenceLength(Bytes(p), Bytes(end), bad);
            if (length != 0) {
                writer.append(p, length);
                p += length;
                continue;
            }
            decoded.malformed.push_back(
                {writer.size(), start + static_cast<std::size_t>(p - begin), bad, MalformedKind::Utf8Sequence});
            writer.codePoint(kReplacement);
            p += bad;
        }
    }
    decoded.size = out.size();
    decoded.storage = std::move(out);
}

void DecodeUtf16(const std::string& bytes, DecodedText& decoded)
{
    const std::size_t start = kUtf16Mark.size();
    const unsigned char* const units = Bytes(bytes.data() + start);
    const std::size_t count = (bytes.size() - start) / 2;
    const auto unit = [&](std::size_t i) { return static_cast<char32_t>(units[2 * i] | (units[2 * i + 1] << 8)); };

    std::string out;
    out.reserve(count + count / 8 + 16);
    {
        Utf8Writer writer(out);
        std::size_t i = 0;
        // Past a NUL nothing is read; a pair cut short takes the odd byte with it.
        bool odd_byte_left = (bytes.size() - start) % 2 != 0;
        while (i < count) {
            std::size_t room = 0;
            char* space = writer.space(room);
            const std::size_t ascii = scan::CopyAsciiUnits(units + 2 * i, std::min(count - i, room), space);
            writer.commit(ascii);
            i += ascii;
            if (i == count) break;
            const char32_t c = unit(i);
            if (c == 0) {
                odd_byte_left = false;
                break;
            }
            if (c < 0x80) continue;  // the ASCII run stopped only for want of room
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count && unit(i + 1) >= 0xDC00 && unit(i + 1) <= 0xDFFF) {
                writer.codePoint(0x10000 + ((c - 0xD800) << 10) + (unit(i + 1) - 0xDC00));
                i += 2;
                continue;
            }
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 == count && odd_byte_left) {
                // A pair cut short by the end of the file is one character that
                // lacks a byte and a half: one U+FFFD, as the Unicode and WHATWG
                // decoders give.
                decoded.malformed.push_back({writer.size(), start + 2 * i, 3, MalformedKind::OddByte});
                writer.codePoint(kReplacement);
                odd_byte_left = false;
                break;
            }
            if (c >= 0xD800 && c <= 0xDFFF) {
                decoded.malformed.push_back({writer.size(), start + 2 * i, 2, MalformedKind::LoneSurrogate});
                writer.codePoint(kReplacement);
            } else {
                writer.codePoint(c);
            }
            ++i;
        }
        if (odd_byte_left) {
            decoded.malformed.push_back({writer.size(), bytes.size() - 1, 1, MalformedKind::OddByte});
            writer.codePoint(kReplacement);
        }
    }
    decoded.size = out.size();
    decoded.storage = std::move(out);
}

void DecodeCodePage(std::string bytes, const CodePageDecoder& codePage, DecodedText& decoded)
{
    const char* const begin = bytes.data();
    const char* const end = begin + bytes.size();
    const char* const stop = scan::SkipAscii(begin, end);
    if (stop == end || *stop == '\0') {
        decoded.size = static_cast<std::size_t>(stop - begin);
        decoded.storage = std::move(bytes);
        return;
    }
    const void* nul = std::memchr(stop, '\0', static_cast<std::size_t>(end - stop));
    const char* const text_end = nul ? static_cast<const char*>(nul) : end;
    decoded.storage = codePage.toUtf8(std::string_view(begin, static_cast<std::size_t>(text_end - begin)));
    decoded.size = decoded.storage.size();
}

// Windows-1252 from 0x80 to 0x9F; from 0xA0 on a byte is its own code point.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

const char* EncodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Utf8: return "UTF-8 with a byte-order mark";
    case TextEncoding::Utf16: return "UTF-16 little-endian with a byte-order mark";
    case TextEncoding::CodePage: break;
    }
    return "the system's ANSI code page (no byte-order mark)";
}

TextEncoding DetectEncoding(std::string_view bytes)
{
    if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) return TextEncoding::Utf8;
    if (bytes.substr(0, kUtf16Mark.size()) == kUtf16Mark) return TextEncoding::Utf16;
    return TextEncoding::CodePage;
}

std::string Windows1252Decoder::toUtf8(std::string_view text) const
{
    std::string out;
    out.reserve(text.size() + text.size() / 4 + 16);
    Utf8Writer writer(out);
    const char* p = text.data();
    const char* const end = p + text.size();
    while (p < end) {
        const char* ascii_end = scan::SkipAscii(p, end);
        if (ascii_end < end && *ascii_end == '\0') ++ascii_end;  // not expected, but kept as it is
        writer.append(p, static_cast<std::size_t>(ascii_end - p));
        for (p = ascii_end; p < end && static_cast<unsigned char>(*p) >= 0x80; ++p) {
            const unsigned byte = static_cast<unsigned char>(*p);
            writer.codePoint(byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte);
        }
    }
    writer.flush();
    return out;
}

const CodePageDecoder& Windows1252()
{
    static const Windows1252Decoder decoder;
    return decoder;
}

DecodedText DecodeDataFile(std::string bytes, const CodePageDecoder& codePage)
{
    DecodedText decoded;
    decoded.encoding = DetectEncoding(bytes);
    switch (decoded.encoding) {
    case TextEncoding::Utf8: DecodeUtf8(std::move(bytes), decoded); break;
    case TextEncoding::Utf16: DecodeUtf16(bytes, decoded); break;
    case TextEncoding::CodePage: DecodeCodePage(std::move(bytes), codePage, decoded); break;
    }
    return decoded;
}

std::size_t Utf8SequenceAt(std::string_view text, std::size_t index, std::size_t& malformed)
{
    const unsigned char* const p = Bytes(text.data());
    return Utf8SequenceLength(p + index, p + text.size(), malformed);
}

std::size_t FindMalformedUtf8(std::string_view text)
{
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    const char* p = begin;
    std::size_t bad = 0;
    while (p < end) {
        p = scan::SkipAscii(p, end);
        if (p == end) break;
        if (*p == '\0') {
            ++p;
            continue;
        }
        const std::size_t length = Utf8SequenceLength(Bytes(p), Bytes(end), bad);
        if (length == 0) return static_cast<std::size_t>(p - begin);
        p += length;
    }
    return text.size();
}

}  // namespace mappa
