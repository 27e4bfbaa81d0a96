// The data file's encoding and its decoding into UTF-8.
//
// The first bytes tell the encoding: EF BB BF is UTF-8, FF FE is UTF-16
// little-endian, anything else is the system's ANSI code page. A NUL ends the
// text (in UTF-16 the NUL code unit). A malformed sequence becomes U+FFFD, so
// that it never ends a line or shifts a field.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace mappa {

enum class TextEncoding { CodePage, Utf8, Utf16 };

// "the system's ANSI code page", "UTF-8 with a byte-order mark", ...
const char* EncodingName(TextEncoding encoding);

TextEncoding DetectEncoding(std::string_view bytes);

// Turns text in the system's ANSI code page into UTF-8: the one place where
// decoding depends on the platform.
class CodePageDecoder {
public:
    virtual ~CodePageDecoder() = default;
    // `text` holds no NUL and at least one byte outside ASCII.
    virtual std::string toUtf8(std::string_view text) const = 0;
};

// Windows-1252, the code page of Western Windows machines, as Windows reads it:
// the five bytes that the code page leaves undefined stand for U+0081, U+008D,
// U+008F, U+0090 and U+009D, so that they convert back unchanged.
class Windows1252Decoder final : public CodePageDecoder {
public:
    std::string toUtf8(std::string_view text) const override;
};
const CodePageDecoder& Windows1252();

enum class MalformedKind {
    Utf8Sequence,   // bad UTF-8: a stray or missing continuation byte, an overlong form, a surrogate, past U+10FFFF
    LoneSurrogate,  // a UTF-16 surrogate without its partner
    OddByte,        // a UTF-16 file that ends in half a code unit
};

struct MalformedSequence {
    std::size_t textOffset;  // where its U+FFFD stands in the decoded text
    std::size_t fileOffset;  // where it starts in the file
    std::size_t length;      // bytes in the file
    MalformedKind kind;
};

struct DecodedText {
    TextEncoding encoding = TextEncoding::CodePage;
    // Holds the text: the file's own bytes when they were UTF-8 already.
    std::string storage;
    std::size_t start = 0;
    std::size_t size = 0;
    std::vector<MalformedSequence> malformed;  // in file order

    std::string_view text() const { return std::string_view(storage).substr(start, size); }
};

// The file's text in UTF-8, up to its first NUL. Code-page text that is pure
// ASCII, and valid UTF-8, are taken as they stand, without a copy.
DecodedText DecodeDataFile(std::string bytes, const CodePageDecoder& codePage);

// The length of the valid UTF-8 sequence at text[index] (1 to 4 bytes), or 0
// when it is malformed; then `malformed` is how many bytes its one U+FFFD
// stands for: the longest start of a sequence that could have been valid, as
// the Unicode and WHATWG decoders take it. Everything that repairs UTF-8 does
// it this way, so that a text gets the same U+FFFD wherever it is shown.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t index, std::size_t& malformed);

// Length of the valid UTF-8 sequence at `p` (1 to 4 bytes), or 0 when it is
// malformed; then `bad` is the length of its longest start that could have
// begun a valid sequence (at least 1), which is replaced as one.
inline std::size_t Utf8SequenceLength(const unsigned char* p, const unsigned char* end, std::size_t& bad)
{
    const unsigned lead = p[0];
    if (lead < 0x80) return 1;
    std::size_t continuations = 0;
    unsigned low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        continuations = 1;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        continuations = 2;
        if (lead == 0xE0) low = 0xA0;        // overlong below U+0800
        else if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        continuations = 3;
        if (lead == 0xF0) low = 0x90;        // overlong below U+10000
        else if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
    } else {
        bad = 1;  // a continuation byte, C0 and C1 (always overlong), F5 to FF
        return 0;
    }
    for (std::size_t i = 1; i <= continuations; ++i) {
        if (p + i >= end || p[i] < low || p[i] > high) {
            bad = i;
            return 0;
        }
        low = 0x80;
        high = 0xBF;
    }
    return continuations + 1;
}

// The offset of the first byte of `text` that starts no valid UTF-8 sequence;
// `text.size()` when all of it is valid.
std::size_t FindMalformedUtf8(std::string_view text);

}  // namespace mappa
