#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "mapdata/DataFileEncoding.h"

namespace mappa {
namespace {

const std::string kFffd = "\xEF\xBF\xBD";

struct DecodeCase {
    const char* what;
    std::string bytes;
    TextEncoding encoding;
    std::string text;
    std::vector<std::size_t> malformedAt;  // file offsets
};

std::string Bytes(std::initializer_list<unsigned char> bytes) { return std::string(bytes.begin(), bytes.end()); }

void ExpectDecodes(const DecodeCase& c)
{
    SCOPED_TRACE(c.what);
    const DecodedText decoded = DecodeDataFile(c.bytes, Windows1252());
    EXPECT_EQ(decoded.encoding, c.encoding);
    EXPECT_EQ(decoded.text(), c.text);
    std::vector<std::size_t> at;
    for (const MalformedSequence& sequence : decoded.malformed) {
        at.push_back(sequence.fileOffset);
        EXPECT_EQ(decoded.text().substr(sequence.textOffset, 3), kFffd);
    }
    EXPECT_EQ(at, c.malformedAt);
}

TEST(DecodeDataFile, CodePage)
{
    const DecodeCase cases[] = {
        {"empty", "", TextEncoding::CodePage, "", {}},
        {"ASCII", "a\r\nb", TextEncoding::CodePage, "a\r\nb", {}},
        {"letters of Windows-1252", "Z\xFCrich \x80 \x93x\x94 \x9F", TextEncoding::CodePage,
         "Z\u00FCrich \u20AC \u201Cx\u201D \u0178", {}},
        {"undefined bytes stand for themselves", "\x81\x8D\x8F\x90\x9D", TextEncoding::CodePage,
         "\u0081\u008D\u008F\u0090\u009D", {}},
        {"NUL ends the text", std::string("ab\0\xE9", 4), TextEncoding::CodePage, "ab", {}},
        {"NUL after a letter", std::string("\xE9\0x", 3), TextEncoding::CodePage, "\u00E9", {}},
        {"half a UTF-8 mark", "\xEF\xBB" "a", TextEncoding::CodePage, "\u00EF\u00BB" "a", {}},
        {"big-endian UTF-16 mark", "\xFE\xFF", TextEncoding::CodePage, "\u00FE\u00FF", {}},
        {"UTF-8 without a mark is read in the code page", "\xC3\xA9", TextEncoding::CodePage, "\u00C3\u00A9", {}},
    };
    for (const auto& c : cases) ExpectDecodes(c);
}

TEST(DecodeDataFile, Utf8)
{
    const std::string mark = "\xEF\xBB\xBF";
    const DecodeCase cases[] = {
        {"mark only", mark, TextEncoding::Utf8, "", {}},
        {"every length", mark + "a\u00E9\u6771\U0001D11E", TextEncoding::Utf8, "a\u00E9\u6771\U0001D11E", {}},
        {"a second mark is text", mark + mark, TextEncoding::Utf8, "\uFEFF", {}},
        {"NUL ends the text", mark + std::string("a\0b", 3), TextEncoding::Utf8, "a", {}},
        {"stray continuation byte", mark + "a\x80z", TextEncoding::Utf8, "a" + kFffd + "z", {4}},
        {"overlong slash, two bytes", mark + "\xC0\xAF", TextEncoding::Utf8, kFffd + kFffd, {3, 4}},
        {"overlong slash, three bytes", mark + "\xE0\x80\xAF", TextEncoding::Utf8, kFffd + kFffd + kFffd,
         {3, 4, 5}},
        {"surrogate", mark + "\xED\xA0\x80", TextEncoding::Utf8, kFffd + kFffd + kFffd, {3, 4, 5}},
        {"past U+10FFFF", mark + "\xF4\x90\x80\x80", TextEncoding::Utf8, kFffd + kFffd + kFffd + kFffd,
         {3, 4, 5, 6}},
        {"bytes that are never UTF-8", mark + "\xF5\xFF", TextEncoding::Utf8, kFffd + kFffd, {3, 4}},
        {"cut short by the end", mark + "a\xE6\x9D", TextEncoding::Utf8, "a" + kFffd, {4}},
        {"cut short by a line end", mark + "\xF0\x9D\x84\r\nb", TextEncoding::Utf8, kFffd + "\r\nb", {3}},
        {"cut short by a space", mark + "\xC3 x", TextEncoding::Utf8, kFffd + " x", {3}},
        {"cut short by NUL", mark + std::string("\xE6\0b", 3), TextEncoding::Utf8, kFffd, {3}},
        {"valid after malformed", mark + "\xFF\u00E9", TextEncoding::Utf8, kFffd + "\u00E9", {3}},
    };
    for (const auto& c : cases) ExpectDecodes(c);
}

TEST(DecodeDataFile, Utf16)
{
    const std::string mark = "\xFF\xFE";
    const DecodeCase cases[] = {
        {"mark only", mark, TextEncoding::Utf16, "", {}},
        {"ASCII with line ends", mark + Bytes({'a', 0, '\r', 0, '\n', 0, 'b', 0}), TextEncoding::Utf16, "a\r\nb", {}},
        {"every length", mark + Bytes({0xE9, 0, 0x71, 0x67, 0x34, 0xD8, 0x1E, 0xDD}), TextEncoding::Utf16,
         "\u00E9\u6771\U0001D11E", {}},
        {"a byte 0 inside a unit is no NUL", mark + Bytes({0, 1, 'x', 0}), TextEncoding::Utf16, "\u0100x", {}},
        {"NUL unit ends the text", mark + Bytes({'a', 0, 0, 0, 'b', 0, 0x41}), TextEncoding::Utf16, "a", {}},
        {"lone high surrogate before a line end", mark + Bytes({0x34, 0xD8, '\n', 0, 'b', 0}), TextEncoding::Utf16,
         kFffd + "\nb", {2}},
        {"lone high surrogate at the end", mark + Bytes({'a', 0, 0x34, 0xD8}), TextEncoding::Utf16, "a" + kFffd, {4}},
        {"lone low surrogate", mark + Bytes({0x1E, 0xDD, 'a', 0}), TextEncoding::Utf16, kFffd + "a", {2}},
        {"two high surrogates", mark + Bytes({0x34, 0xD8, 0x34, 0xD8, 0x1E, 0xDD}), TextEncoding::Utf16,
         kFffd + "\U0001D11E", {2}},
        {"odd final byte", mark + Bytes({'a', 0, 'b'}), TextEncoding::Utf16, "a" + kFffd, {4}},
        {"odd byte after the NUL unit", mark + Bytes({'a', 0, 0, 0, 'b'}), TextEncoding::Utf16, "a", {}},
        // Python's and Node's decoders give the same.
        {"high surrogate cut short by the end", mark + Bytes({'a', 0, 0x34, 0xD8, 'b'}), TextEncoding::Utf16,
         "a" + kFffd, {4}},
        {"pair cut short after a lone high surrogate", mark + Bytes({0x34, 0xD8, 0x34, 0xD8, 0x1E}),
         TextEncoding::Utf16, kFffd + kFffd, {2, 4}},
        {"lone low surrogate before an odd byte", mark + Bytes({0x1E, 0xDD, 0xDD}), TextEncoding::Utf16,
         kFffd + kFffd, {2, 4}},
        {"high surrogate, NUL, odd byte", mark + Bytes({0x34, 0xD8, 0, 0, 0xD8}), TextEncoding::Utf16, kFffd, {2}},
    };
    for (const auto& c : cases) ExpectDecodes(c);
}

// Long texts go through the sixteen-byte searches: a letter, a NUL or a bad
// byte at every position around their boundaries.
TEST(DecodeDataFile, EveryPositionOfALongText)
{
    for (std::size_t at = 0; at < 40; ++at) {
        SCOPED_TRACE(at);
        const std::string before(at, 'a'), after(40 - at, 'b');
        ExpectDecodes({"code page letter", before + "\xE9" + after, TextEncoding::CodePage,
                       before + "\u00E9" + after, {}});
        ExpectDecodes({"code page NUL", before + '\0' + "\xE9" + after, TextEncoding::CodePage, before, {}});
        ExpectDecodes({"UTF-8 letter", "\xEF\xBB\xBF" + before + "\u00E9" + after, TextEncoding::Utf8,
                       before + "\u00E9" + after, {}});
        ExpectDecodes({"UTF-8 bad byte", "\xEF\xBB\xBF" + before + "\xFF" + after, TextEncoding::Utf8,
                       before + kFffd + after, {3 + at}});
        std::string utf16 = "\xFF\xFE";
        for (const char c : before + "\x01" + after) utf16 += std::string{c, '\0'};
        utf16[2 + 2 * at + 1] = '\x01';  // U+0101 in place of the 0x01
        ExpectDecodes({"UTF-16 letter", utf16, TextEncoding::Utf16, before + "\u0101" + after, {}});
    }
}

TEST(DecodeDataFile, TextThatNeedsNoDecodingIsNotCopied)
{
    const std::string ascii(1000, 'a');
    const DecodedText code_page = DecodeDataFile(ascii, Windows1252());
    EXPECT_EQ(code_page.storage.size(), ascii.size());
    EXPECT_EQ(code_page.start, 0u);
    const DecodedText utf8 = DecodeDataFile("\xEF\xBB\xBF" + ascii + "\u00E9", Windows1252());
    EXPECT_EQ(utf8.start, 3u);
    EXPECT_EQ(utf8.text(), ascii + "\u00E9");
}

TEST(Windows1252, EveryByteReadsAsItsOwnCharacterAndBack)
{
    std::set<std::string> seen;
    for (int byte = 1; byte < 256; ++byte) {
        const char c = static_cast<char>(byte);
        const std::string utf8 = Windows1252().toUtf8(std::string_view(&c, 1));
        EXPECT_EQ(FindMalformedUtf8(utf8), utf8.size()) << byte;
        EXPECT_TRUE(seen.insert(utf8).second) << byte;
    }
}

TEST(FindMalformedUtf8, FirstByteThatStartsNoValidSequence)
{
    const struct {
        std::string text;
        std::size_t expected;
    } cases[] = {
        {"", 0},
        {"plain", 5},
        {std::string("a\0b", 3), 3},
        {"\u00E9\u6771\U0001D11E", 9},
        {"ab\xC3", 2},
        {"\xC3\xA9\xC0\xAF", 2},
        {"abc\xED\xA0\x80", 3},
    };
    for (const auto& c : cases) EXPECT_EQ(FindMalformedUtf8(c.text), c.expected) << testing::PrintToString(c.text);
}

}  // namespace
}  // namespace mappa
