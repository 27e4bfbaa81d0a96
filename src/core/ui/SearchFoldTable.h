// What search folding knows of each character: its class (letter, letter of
// a script without spaces, separator, or dropped) and what it folds to. For
// the folding of SearchText.cpp; see SearchText.h for the rules.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "mapdata/DataFileEncoding.h"
#include "ui/SearchText.h"

namespace mappa::search {

enum CharClass : std::uint8_t {
    kSeparator = 0,
    kLetter = 1,   // letters and digits of scripts written with spaces
    kNoSpace = 2,  // letters of scripts written without spaces
    kIgnored = 3,  // combining marks and format characters: dropped, no break
};

// One character's entry: bits 0-1 its class, bit 2 set when it is replaced,
// bits 3-4 the replacement's length in bytes (0 to 3) and bits 8-31 its
// bytes; or, with bit 5 set too, bits 8-31 the number of a longer
// replacement (FoldTable::longReplacement).
using Entry = std::uint32_t;
constexpr Entry kReplaced = 4;
constexpr Entry kLongReplacement = 32;
constexpr std::size_t kShortReplacement = 3;  // the most bytes an entry holds itself

constexpr CharClass ClassOf(Entry entry) { return static_cast<CharClass>(entry & 3); }

constexpr std::size_t Utf8Length(char32_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

// Writes `c` at `out` in UTF-8; returns its length.
std::size_t EncodeUtf8(char32_t c, char* out);

// The character at text[i], by the data file decoder's rule of what is valid UTF-8.
inline std::size_t Decode(std::string_view text, std::size_t i, char32_t& c)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data()) + i;
    std::size_t malformed = 0;
    const std::size_t length = Utf8SequenceLength(p, p + (text.size() - i), malformed);
    switch (length) {
    case 1: c = p[0]; break;
    case 2: c = char32_t(p[0] & 0x1F) << 6 | (p[1] & 0x3F); break;
    case 3: c = char32_t(p[0] & 0x0F) << 12 | char32_t(p[1] & 0x3F) << 6 | (p[2] & 0x3F); break;
    case 4:
        c = char32_t(p[0] & 0x07) << 18 | char32_t(p[1] & 0x3F) << 12 | char32_t(p[2] & 0x3F) << 6 | (p[3] & 0x3F);
        break;
    default: return 0;
    }
    return length;
}

// Outside the Basic Multilingual Plane only these differ from letters.
struct ClassRange {
    char32_t first, last;
    CharClass cls;
};
inline constexpr ClassRange kSupplementaryRanges[] = {
    {0x1F000, 0x1FAFF, kSeparator},
    {0x20000, 0x3FFFF, kNoSpace},
    {0xE0000, 0xE0FFF, kIgnored},
};

// Two-level table over the Basic Multilingual Plane: a page of 256 entries for
// every block that holds a replacement or mixes classes, one class for the rest.
class FoldTable {
public:
    FoldTable();

    // The folded ASCII character, NUL for a separator.
    char asciiFolded(unsigned char byte) const { return ascii_folded_[byte]; }

    Entry lookup(char32_t c) const
    {
        if (c < 0x10000) {
            const std::size_t page = c >> 8;
            const std::uint8_t index = page_index_[page];
            return index ? pages_[index - 1u][c & 0xFF] : page_class_[page];
        }
        for (const ClassRange& range : kSupplementaryRanges)
            if (c >= range.first && c <= range.last) return range.cls;
        return kLetter;
    }

    // Whether the character whose UTF-8 starts at `p` (before `end`, not
    // ASCII) may take part in composing with the characters before it: the
    // second half of a pair, or a character that folding drops, which
    // composition looks past. Told by its block of 64 characters, from its
    // first byte or two: false where no valid character starts, true outside
    // the Basic Multilingual Plane.
    bool mayJoinComposition(const unsigned char* p, const unsigned char* end) const
    {
        const unsigned lead = p[0];
        if (lead < 0xC2) return false;
        if (lead < 0xE0) return joinsInBlock(lead & 0x1F);
        if (lead < 0xF0) return p + 1 < end && joinsInBlock((lead & 0x0F) << 6 | (p[1] & 0x3F));
        return lead <= 0xF4;
    }

    // The bytes of a replacement too long for its entry.
    std::string_view longReplacement(Entry entry) const { return long_replacements_[entry >> 8]; }

    // Writes the replacement of an entry with kReplaced at `out`; returns its end.
    char* writeReplacement(Entry entry, char* out) const
    {
        if (entry & kLongReplacement) {
            const std::string_view bytes = longReplacement(entry);
            for (const char byte : bytes) *out++ = byte;
            return out;
        }
        const std::size_t length = (entry >> 3) & 3;
        for (std::size_t k = 0; k < length; ++k) *out++ = static_cast<char>(entry >> (8 * (k + 1)));
        return out;
    }

private:
    bool joinsInBlock(unsigned block) const { return (joining_blocks_[block >> 6] >> (block & 63)) & 1; }
    Entry replacedEntry(CharClass cls, std::string_view bytes);
    std::string replacementOf(Entry entry) const;

    std::array<char, 128> ascii_folded_{};
    std::array<std::uint8_t, 256> page_index_{};  // 0: no page of its own
    std::array<Entry, 256> page_class_{};
    std::vector<std::array<Entry, 256>> pages_;
    std::vector<std::string_view> long_replacements_;
    std::array<std::uint64_t, 0x10000 / 64 / 64> joining_blocks_{};  // a bit for each block
};

inline const FoldTable& Table()
{
    static const FoldTable table;
    return table;
}

}  // namespace mappa::search
