#include "ui/SearchFoldTable.h"

#include <algorithm>
#include <iterator>

#include "ui/CanonicalComposition.h"

namespace mappa::search {
namespace {

// Everything not listed is a letter. Later ranges override earlier ones.
constexpr ClassRange kClassRanges[] = {
    {0x0000, 0x002F, kSeparator}, {0x003A, 0x0040, kSeparator}, {0x005B, 0x0060, kSeparator},
    {0x007B, 0x00BF, kSeparator}, {0x00AA, 0x00AA, kLetter},    {0x00B5, 0x00B5, kLetter},
    {0x00BA, 0x00BA, kLetter},    {0x00AD, 0x00AD, kIgnored},   {0x00D7, 0x00D7, kSeparator},
    {0x00F7, 0x00F7, kSeparator}, {0x02C2, 0x02C5, kSeparator}, {0x02D2, 0x02DF, kSeparator},
    {0x02E5, 0x02EB, kSeparator}, {0x02ED, 0x02ED, kSeparator}, {0x02EF, 0x02FF, kSeparator},
    {0x0300, 0x036F, kIgnored},   {0x0375, 0x0375, kSeparator}, {0x037E, 0x037E, kSeparator},
    {0x0384, 0x0385, kSeparator}, {0x0387, 0x0387, kSeparator}, {0x0483, 0x0489, kIgnored},
    {0x055A, 0x055F, kSeparator}, {0x0589, 0x058A, kSeparator}, {0x0591, 0x05C7, kIgnored},
    {0x05BE, 0x05BE, kSeparator}, {0x05C0, 0x05C0, kSeparator}, {0x05C3, 0x05C3, kSeparator},
    {0x05C6, 0x05C6, kSeparator}, {0x05F3, 0x05F4, kSeparator}, {0x0600, 0x060F, kSeparator},
    {0x0610, 0x061A, kIgnored},   {0x061B, 0x061F, kSeparator}, {0x0640, 0x0640, kIgnored},
    {0x064B, 0x065F, kIgnored},   {0x066A, 0x066D, kSeparator}, {0x0670, 0x0670, kIgnored},
    {0x06D4, 0x06D4, kSeparator}, {0x06D6, 0x06DC, kIgnored},   {0x06DD, 0x06DE, kSeparator},
    {0x06DF, 0x06E4, kIgnored},   {0x06E7, 0x06E8, kIgnored},   {0x06E9, 0x06E9, kSeparator},
    {0x06EA, 0x06ED, kIgnored},   {0x0964, 0x0965, kSeparator}, {0x0970, 0x0970, kSeparator},
    {0x0E00, 0x0FFF, kNoSpace},   {0x0E3F, 0x0E3F, kSeparator}, {0x0E4F, 0x0E4F, kSeparator},
    {0x0E5A, 0x0E5B, kSeparator}, {0x1000, 0x109F, kNoSpace},   {0x104A, 0x104F, kSeparator},
    {0x10FB, 0x10FB, kSeparator}, {0x1360, 0x1368, kSeparator}, {0x1680, 0x1680, kSeparator},
    {0x1780, 0x17FF, kNoSpace},   {0x17D4, 0x17DA, kSeparator}, {0x1800, 0x180A, kSeparator},
    {0x180B, 0x180F, kIgnored},   {0x1950, 0x19FF, kNoSpace},   {0x1A20, 0x1AAF, kNoSpace},
    {0x1AB0, 0x1AFF, kIgnored},   {0x1DC0, 0x1DFF, kIgnored},   {0x1FBD, 0x1FBD, kSeparator},
    {0x1FBF, 0x1FC1, kSeparator}, {0x1FCD, 0x1FCF, kSeparator}, {0x1FDD, 0x1FDF, kSeparator},
    {0x1FED, 0x1FEF, kSeparator}, {0x1FFD, 0x1FFE, kSeparator}, {0x2000, 0x206F, kSeparator},
    {0x200C, 0x200F, kIgnored},   {0x202A, 0x202E, kIgnored},   {0x2060, 0x2069, kIgnored},
    {0x20A0, 0x20CF, kSeparator}, {0x20D0, 0x20FF, kIgnored},   {0x2100, 0x2BFF, kSeparator},
    {0x2DE0, 0x2DFF, kIgnored},   {0x2E00, 0x2E7F, kSeparator}, {0x2E80, 0x2FFF, kNoSpace},
    {0x3000, 0x303F, kSeparator}, {0x3005, 0x3007, kNoSpace},   {0x3021, 0x3029, kNoSpace},
    {0x302A, 0x302F, kIgnored},   {0x3031, 0x3035, kNoSpace},   {0x303B, 0x303C, kNoSpace},
    {0x3040, 0x312F, kNoSpace},   {0x30A0, 0x30A0, kSeparator}, {0x30FB, 0x30FB, kSeparator},
    {0x3190, 0x4DBF, kNoSpace},   {0x4DC0, 0x4DFF, kSeparator}, {0x4E00, 0xA4CF, kNoSpace},
    {0xD800, 0xDFFF, kSeparator}, {0xF900, 0xFAFF, kNoSpace},   {0xFB1E, 0xFB1E, kIgnored},
    {0xFD3E, 0xFD3F, kSeparator}, {0xFE00, 0xFE0F, kIgnored},   {0xFE10, 0xFE1F, kSeparator},
    {0xFE20, 0xFE2F, kIgnored},   {0xFE30, 0xFE6F, kSeparator}, {0xFEFF, 0xFEFF, kIgnored},
    {0xFF00, 0xFF0F, kSeparator}, {0xFF1A, 0xFF20, kSeparator}, {0xFF3B, 0xFF40, kSeparator},
    {0xFF5B, 0xFF65, kSeparator}, {0xFF66, 0xFF9F, kNoSpace},   {0xFFE0, 0xFFFF, kSeparator},
};

// The folded letter of each character from `first` on; '_' leaves one as it is.
struct LetterRun {
    char32_t first;
    std::u32string_view letters;
};

constexpr LetterRun kLetterRuns[] = {
    {0x00C0, U"aaaaaa_ceeeeiiiidnooooo_ouuuuy__aaaaaa_ceeeeiiiidnooooo_ouuuuy_y"
             U"aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiii__jjkkklllllll"
             U"lllnnnnnnnnnoooooo__rrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs"
             U"bbbbƅ_ɔccɖddd_ǝəɛffgɣ_ɩikkl_ɯnnoooƣ_ppʀƨ_ʃ_ttttuuʊvyyzzʒƹ___ƽ___"
             U"_____________aaiioouuuuuuuuuu_aaaa__ggggkkooooǯ_j___ggƕƿnnaa__oo"
             U"aaaaeeeeiiiioooorrrruuuussttȝ_hhndȣ_zzaaeeooooooooyylntj__acclts"
             U"zɂ_bʉʌeejjɋqrryy"},
    {0x1E00, U"aabbbbbbccddddddddddeeeeeeeeeeffgghhhhhhhhhhiiiikkkkkkllllllllmm"
             U"mmmmnnnnnnnnoooooooopppprrrrrrrrssssssssssttttttttuuuuuuuuuuvvvv"
             U"wwwwwwwwwwxxxxyyzzzzzzhtwyas____aaaaaaaaaaaaaaaaaaaaaaaaeeeeeeee"
             U"eeeeeeeeiiiioooooooooooooooooooooooouuuuuuuuuuuuuuyyyyyyyyỻ_ỽ_yy"},
    {0x0370, U"ͱ_ͳ___ͷ________ϳ______α_εηι_ο_υωιαβγδεζηθικλμνξοπρ_στυφχψωιυαεηι"
             U"υ_________________σ_______ιυουωϗβθ___φπ_ϙ_ϛ_ϝ_ϟ_ϡ_ϣ_ϥ_ϧ_ϩ_ϫ_ϭ_ϯ_"
             U"κρσ_θε_ϸ_σϻ__ͻͼͽ"},
    {0x1F00, U"ααααααααααααααααεεεεεε__εεεεεε__ηηηηηηηηηηηηηηηηιιιιιιιιιιιιιιιι"
             U"οοοοοο__οοοοοο__υυυυυυυυ_υ_υ_υ_υωωωωωωωωωωωωωωωωααεεηηιιοουυωω__"
             U"ααααααααααααααααηηηηηηηηηηηηηηηηωωωωωωωωωωωωωωωωααααα_ααααααα_ι_"
             U"__ηηη_ηηεεηηη___ιιιι__ιιιιιι____υυυυρρυυυυυυρ_____ωωω_ωωοοωωω___"},
    {0x0400, U"ееђѓєѕіїјљњћќиўџабвгдежзийклмнопрстуфхцчшщъыьэюя"},
    {0x0450, U"ее"},
    {0x045D, U"и"},
    {0x00AA, U"a"},
    {0x00B5, U"μ"},
    {0x00BA, U"o"},
    {0x04C0, U"ӏ"},
    // Arabic alef with madda or hamza: typed without it, as Arabic search allows.
    {0x0622, U"اا_ا"},
};

struct Expansion {
    char32_t character;
    std::string_view folded;
};

constexpr Expansion kExpansions[] = {
    {0x00C6, "ae"}, {0x00DE, "th"}, {0x00DF, "ss"}, {0x00E6, "ae"}, {0x00FE, "th"}, {0x0132, "ij"},
    {0x0133, "ij"}, {0x0152, "oe"}, {0x0153, "oe"}, {0x01C4, "dz"}, {0x01C5, "dz"}, {0x01C6, "dz"},
    {0x01C7, "lj"}, {0x01C8, "lj"}, {0x01C9, "lj"}, {0x01CA, "nj"}, {0x01CB, "nj"}, {0x01CC, "nj"},
    {0x01F1, "dz"}, {0x01F2, "dz"}, {0x01F3, "dz"}, {0x1E9E, "ss"}, {0xFB00, "ff"}, {0xFB01, "fi"},
    {0xFB02, "fl"}, {0xFB03, "ffi"}, {0xFB04, "ffl"}, {0xFB05, "st"}, {0xFB06, "st"},
    // The Armenian ligatures, in UTF-8: և եվ, ﬓ մն, ﬔ մե, ﬕ մի, ﬖ վն, ﬗ մխ.
    {0x0587, "\xD5\xA5\xD5\xBE"}, {0xFB13, "\xD5\xB4\xD5\xB6"}, {0xFB14, "\xD5\xB4\xD5\xA5"},
    {0xFB15, "\xD5\xB4\xD5\xAB"}, {0xFB16, "\xD5\xBE\xD5\xB6"}, {0xFB17, "\xD5\xB4\xD5\xAD"},
};

// A replacement and the space that may go before it fit in the room that
// folding is given for the character.
constexpr bool FitsTheRoom(const Expansion& expansion)
{
    return 1 + expansion.folded.size() <= SearchTextRoom(Utf8Length(expansion.character));
}
static_assert(std::all_of(std::begin(kExpansions), std::end(kExpansions), FitsTheRoom));

// Upper and lower case letters that alternate: the upper one at `first` when
// `upper_even`, else at first + 1.
struct CasePairs {
    char32_t first, last;
    bool upper_even;
};

constexpr CasePairs kCasePairs[] = {
    {0x0460, 0x0481, true}, {0x048A, 0x04BF, true}, {0x04C1, 0x04CE, false},
    {0x04D0, 0x04FF, true}, {0x0500, 0x052F, true},
};

// Blocks moved by a fixed distance: upper case to lower case, or other digits
// and fullwidth forms to ASCII.
struct Shift {
    char32_t first, last, to;
};

constexpr Shift kShifts[] = {
    {0x0041, 0x005A, 0x0061}, {0x0531, 0x0556, 0x0561}, {0x10A0, 0x10C5, 0x2D00}, {0x1C90, 0x1CBA, 0x10D0},
    {0x1CBD, 0x1CBF, 0x10FD}, {0xFF21, 0xFF3A, 0x0061}, {0xFF41, 0xFF5A, 0x0061}, {0xFF10, 0xFF19, 0x0030},
    {0x0660, 0x0669, 0x0030}, {0x06F0, 0x06F9, 0x0030}, {0x0966, 0x096F, 0x0030}, {0x09E6, 0x09EF, 0x0030},
    {0x0E50, 0x0E59, 0x0030},
};

}  // namespace

std::size_t EncodeUtf8(char32_t c, char* out)
{
    if (c < 0x80) {
        out[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        out[0] = static_cast<char>(0xC0 | (c >> 6));
        out[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (c >> 12));
        out[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (c >> 18));
    out[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

Entry FoldTable::replacedEntry(CharClass cls, std::string_view bytes)
{
    Entry entry = cls | kReplaced;
    if (bytes.size() > kShortReplacement) {
        long_replacements_.push_back(bytes);
        return entry | kLongReplacement | static_cast<Entry>((long_replacements_.size() - 1) << 8);
    }
    entry |= static_cast<Entry>(bytes.size() << 3);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        entry |= static_cast<Entry>(static_cast<unsigned char>(bytes[i])) << (8 * (i + 1));
    return entry;
}

std::string FoldTable::replacementOf(Entry entry) const
{
    char bytes[kShortReplacement];
    if (entry & kLongReplacement) return std::string(longReplacement(entry));
    return std::string(bytes, static_cast<std::size_t>(writeReplacement(entry, bytes) - bytes));
}

FoldTable::FoldTable()
{
    std::vector<Entry> all(0x10000, kLetter);
    for (const ClassRange& range : kClassRanges)
        for (char32_t c = range.first; c <= range.last; ++c) all[c] = range.cls;

    const auto replace = [&](char32_t c, std::string_view bytes) {
        const CharClass cls = ClassOf(all[c]) == kSeparator ? kLetter : ClassOf(all[c]);
        all[c] = replacedEntry(cls, bytes);
    };
    const auto replace_by = [&](char32_t c, char32_t folded) {
        char bytes[4];
        replace(c, {bytes, EncodeUtf8(folded, bytes)});
    };
    for (const LetterRun& run : kLetterRuns)
        for (std::size_t i = 0; i < run.letters.size(); ++i)
            if (run.letters[i] != U'_') replace_by(run.first + static_cast<char32_t>(i), run.letters[i]);
    for (const Expansion& expansion : kExpansions) replace(expansion.character, expansion.folded);
    for (const CasePairs& pairs : kCasePairs)
        for (char32_t c = pairs.first + (pairs.upper_even ? 0 : 1); c < pairs.last; c += 2)
            replace_by(c, c + 1);
    for (const Shift& shift : kShifts)
        for (char32_t c = shift.first; c <= shift.last; ++c) replace_by(c, shift.to + (c - shift.first));
    // Digits folded to ASCII separate themselves from a run without spaces.
    for (const Shift& shift : kShifts)
        if (shift.to == U'0')
            for (char32_t c = shift.first; c <= shift.last; ++c) all[c] = (all[c] & ~Entry{3}) | kLetter;

    // A letter folds straight to the end of a chain (Ɋ -> ɋ -> q), so that
    // folded text folds to itself.
    for (bool changed = true; changed;) {
        changed = false;
        for (Entry& entry : all) {
            if (!(entry & kReplaced)) continue;
            const std::string bytes = replacementOf(entry);
            char32_t target = 0;
            if (Decode(bytes, 0, target) != bytes.size() || target >= all.size()) continue;
            const Entry next = all[target];
            if ((next & kReplaced) && next != entry && ClassOf(next) == ClassOf(entry)) {
                entry = next;
                changed = true;
            }
        }
    }

    for (char32_t c = 0; c < all.size(); ++c)
        if (ClassOf(all[c]) == kIgnored || IsCompositionSecond(c))
            joining_blocks_[c >> 12] |= std::uint64_t{1} << ((c >> 6) & 63);

    for (std::size_t c = 0; c < 128; ++c) {
        const Entry entry = all[c];
        ascii_folded_[c] = ClassOf(entry) == kSeparator ? '\0'
                           : (entry & kReplaced)          ? static_cast<char>(entry >> 8)
                                                          : static_cast<char>(c);
    }
    for (std::size_t page = 0; page < 256; ++page) {
        const Entry* begin = &all[page << 8];
        bool uniform = true;
        for (std::size_t i = 1; i < 256 && uniform; ++i) uniform = begin[i] == begin[0];
        if (uniform) {
            page_class_[page] = begin[0];
            continue;
        }
        pages_.emplace_back();
        std::copy(begin, begin + 256, pages_.back().begin());
        page_index_[page] = static_cast<std::uint8_t>(pages_.size());
    }
}

}  // namespace mappa::search
