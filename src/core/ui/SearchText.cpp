#include "ui/SearchText.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "mapdata/DataFileEncoding.h"

namespace mappa {
namespace {

enum CharClass : std::uint8_t {
    kSeparator = 0,
    kLetter = 1,   // letters and digits of scripts written with spaces
    kNoSpace = 2,  // letters of scripts written without spaces
    kIgnored = 3,  // combining marks and format characters: dropped, no break
};

// One character's entry: bits 0-1 its class, bit 2 set when it is replaced,
// bits 3-4 the replacement's length in bytes (0 to 3), bits 8-31 its bytes.
using Entry = std::uint32_t;
constexpr Entry kReplaced = 4;

constexpr CharClass ClassOf(Entry entry) { return static_cast<CharClass>(entry & 3); }

struct ClassRange {
    char32_t first, last;
    CharClass cls;
};

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

// Outside the Basic Multilingual Plane only these differ from letters.
constexpr ClassRange kSupplementaryRanges[] = {
    {0x1F000, 0x1FAFF, kSeparator},
    {0x20000, 0x3FFFF, kNoSpace},
    {0xE0000, 0xE0FFF, kIgnored},
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

// Canonical compositions whose composite is Cyrillic, Arabic, Indic, Myanmar,
// Balinese or kana (from the Unicode Character Database; the composition
// exclusions too, so that both spellings meet in one form): a text typed
// composed and the same text stored decomposed, as macOS stores it, fold alike.
// Sorted by the pair.
struct Composition {
    char32_t first, second, composite;
};

constexpr Composition kCompositions[] = {
    {0x0406, 0x0308, 0x0407}, {0x0410, 0x0306, 0x04D0}, {0x0410, 0x0308, 0x04D2}, {0x0413, 0x0301, 0x0403},
    {0x0415, 0x0300, 0x0400}, {0x0415, 0x0306, 0x04D6}, {0x0415, 0x0308, 0x0401}, {0x0416, 0x0306, 0x04C1},
    {0x0416, 0x0308, 0x04DC}, {0x0417, 0x0308, 0x04DE}, {0x0418, 0x0300, 0x040D}, {0x0418, 0x0304, 0x04E2},
    {0x0418, 0x0306, 0x0419}, {0x0418, 0x0308, 0x04E4}, {0x041A, 0x0301, 0x040C}, {0x041E, 0x0308, 0x04E6},
    {0x0423, 0x0304, 0x04EE}, {0x0423, 0x0306, 0x040E}, {0x0423, 0x0308, 0x04F0}, {0x0423, 0x030B, 0x04F2},
    {0x0427, 0x0308, 0x04F4}, {0x042B, 0x0308, 0x04F8}, {0x042D, 0x0308, 0x04EC}, {0x0430, 0x0306, 0x04D1},
    {0x0430, 0x0308, 0x04D3}, {0x0433, 0x0301, 0x0453}, {0x0435, 0x0300, 0x0450}, {0x0435, 0x0306, 0x04D7},
    {0x0435, 0x0308, 0x0451}, {0x0436, 0x0306, 0x04C2}, {0x0436, 0x0308, 0x04DD}, {0x0437, 0x0308, 0x04DF},
    {0x0438, 0x0300, 0x045D}, {0x0438, 0x0304, 0x04E3}, {0x0438, 0x0306, 0x0439}, {0x0438, 0x0308, 0x04E5},
    {0x043A, 0x0301, 0x045C}, {0x043E, 0x0308, 0x04E7}, {0x0443, 0x0304, 0x04EF}, {0x0443, 0x0306, 0x045E},
    {0x0443, 0x0308, 0x04F1}, {0x0443, 0x030B, 0x04F3}, {0x0447, 0x0308, 0x04F5}, {0x044B, 0x0308, 0x04F9},
    {0x044D, 0x0308, 0x04ED}, {0x0456, 0x0308, 0x0457}, {0x0474, 0x030F, 0x0476}, {0x0475, 0x030F, 0x0477},
    {0x04D8, 0x0308, 0x04DA}, {0x04D9, 0x0308, 0x04DB}, {0x04E8, 0x0308, 0x04EA}, {0x04E9, 0x0308, 0x04EB},
    {0x0627, 0x0653, 0x0622}, {0x0627, 0x0654, 0x0623}, {0x0627, 0x0655, 0x0625}, {0x0648, 0x0654, 0x0624},
    {0x064A, 0x0654, 0x0626}, {0x06C1, 0x0654, 0x06C2}, {0x06D2, 0x0654, 0x06D3}, {0x06D5, 0x0654, 0x06C0},
    {0x0915, 0x093C, 0x0958}, {0x0916, 0x093C, 0x0959}, {0x0917, 0x093C, 0x095A}, {0x091C, 0x093C, 0x095B},
    {0x0921, 0x093C, 0x095C}, {0x0922, 0x093C, 0x095D}, {0x0928, 0x093C, 0x0929}, {0x092B, 0x093C, 0x095E},
    {0x092F, 0x093C, 0x095F}, {0x0930, 0x093C, 0x0931}, {0x0933, 0x093C, 0x0934}, {0x09A1, 0x09BC, 0x09DC},
    {0x09A2, 0x09BC, 0x09DD}, {0x09AF, 0x09BC, 0x09DF}, {0x09C7, 0x09BE, 0x09CB}, {0x09C7, 0x09D7, 0x09CC},
    {0x0A16, 0x0A3C, 0x0A59}, {0x0A17, 0x0A3C, 0x0A5A}, {0x0A1C, 0x0A3C, 0x0A5B}, {0x0A2B, 0x0A3C, 0x0A5E},
    {0x0A32, 0x0A3C, 0x0A33}, {0x0A38, 0x0A3C, 0x0A36}, {0x0B21, 0x0B3C, 0x0B5C}, {0x0B22, 0x0B3C, 0x0B5D},
    {0x0B47, 0x0B3E, 0x0B4B}, {0x0B47, 0x0B56, 0x0B48}, {0x0B47, 0x0B57, 0x0B4C}, {0x0B92, 0x0BD7, 0x0B94},
    {0x0BC6, 0x0BBE, 0x0BCA}, {0x0BC6, 0x0BD7, 0x0BCC}, {0x0BC7, 0x0BBE, 0x0BCB}, {0x0C46, 0x0C56, 0x0C48},
    {0x0CBF, 0x0CD5, 0x0CC0}, {0x0CC6, 0x0CC2, 0x0CCA}, {0x0CC6, 0x0CD5, 0x0CC7}, {0x0CC6, 0x0CD6, 0x0CC8},
    {0x0CCA, 0x0CD5, 0x0CCB}, {0x0D46, 0x0D3E, 0x0D4A}, {0x0D46, 0x0D57, 0x0D4C}, {0x0D47, 0x0D3E, 0x0D4B},
    {0x0DD9, 0x0DCA, 0x0DDA}, {0x0DD9, 0x0DCF, 0x0DDC}, {0x0DD9, 0x0DDF, 0x0DDE}, {0x0DDC, 0x0DCA, 0x0DDD},
    {0x1025, 0x102E, 0x1026}, {0x1B05, 0x1B35, 0x1B06}, {0x1B07, 0x1B35, 0x1B08}, {0x1B09, 0x1B35, 0x1B0A},
    {0x1B0B, 0x1B35, 0x1B0C}, {0x1B0D, 0x1B35, 0x1B0E}, {0x1B11, 0x1B35, 0x1B12}, {0x1B3A, 0x1B35, 0x1B3B},
    {0x1B3C, 0x1B35, 0x1B3D}, {0x1B3E, 0x1B35, 0x1B40}, {0x1B3F, 0x1B35, 0x1B41}, {0x1B42, 0x1B35, 0x1B43},
    {0x3046, 0x3099, 0x3094}, {0x304B, 0x3099, 0x304C}, {0x304D, 0x3099, 0x304E}, {0x304F, 0x3099, 0x3050},
    {0x3051, 0x3099, 0x3052}, {0x3053, 0x3099, 0x3054}, {0x3055, 0x3099, 0x3056}, {0x3057, 0x3099, 0x3058},
    {0x3059, 0x3099, 0x305A}, {0x305B, 0x3099, 0x305C}, {0x305D, 0x3099, 0x305E}, {0x305F, 0x3099, 0x3060},
    {0x3061, 0x3099, 0x3062}, {0x3064, 0x3099, 0x3065}, {0x3066, 0x3099, 0x3067}, {0x3068, 0x3099, 0x3069},
    {0x306F, 0x3099, 0x3070}, {0x306F, 0x309A, 0x3071}, {0x3072, 0x3099, 0x3073}, {0x3072, 0x309A, 0x3074},
    {0x3075, 0x3099, 0x3076}, {0x3075, 0x309A, 0x3077}, {0x3078, 0x3099, 0x3079}, {0x3078, 0x309A, 0x307A},
    {0x307B, 0x3099, 0x307C}, {0x307B, 0x309A, 0x307D}, {0x309D, 0x3099, 0x309E}, {0x30A6, 0x3099, 0x30F4},
    {0x30AB, 0x3099, 0x30AC}, {0x30AD, 0x3099, 0x30AE}, {0x30AF, 0x3099, 0x30B0}, {0x30B1, 0x3099, 0x30B2},
    {0x30B3, 0x3099, 0x30B4}, {0x30B5, 0x3099, 0x30B6}, {0x30B7, 0x3099, 0x30B8}, {0x30B9, 0x3099, 0x30BA},
    {0x30BB, 0x3099, 0x30BC}, {0x30BD, 0x3099, 0x30BE}, {0x30BF, 0x3099, 0x30C0}, {0x30C1, 0x3099, 0x30C2},
    {0x30C4, 0x3099, 0x30C5}, {0x30C6, 0x3099, 0x30C7}, {0x30C8, 0x3099, 0x30C9}, {0x30CF, 0x3099, 0x30D0},
    {0x30CF, 0x309A, 0x30D1}, {0x30D2, 0x3099, 0x30D3}, {0x30D2, 0x309A, 0x30D4}, {0x30D5, 0x3099, 0x30D6},
    {0x30D5, 0x309A, 0x30D7}, {0x30D8, 0x3099, 0x30D9}, {0x30D8, 0x309A, 0x30DA}, {0x30DB, 0x3099, 0x30DC},
    {0x30DB, 0x309A, 0x30DD}, {0x30EF, 0x3099, 0x30F7}, {0x30F0, 0x3099, 0x30F8}, {0x30F1, 0x3099, 0x30F9},
    {0x30F2, 0x3099, 0x30FA}, {0x30FD, 0x3099, 0x30FE},
};

// Whether `c` is the second half of any pair above, cheaply ruled out for
// almost every character.
constexpr bool MayCompose(char32_t c)
{
    return (c >= 0x0300 && c <= 0x0655) || (c >= 0x093C && c <= 0x0DDF) || c == 0x102E || c == 0x1B35 ||
           c == 0x3099 || c == 0x309A || (c >= 0x1161 && c <= 0x11C2);
}

// Hangul syllables by the Unicode algorithm: L + V, and LV + T.
constexpr char32_t kSyllableBase = 0xAC00, kLeadBase = 0x1100, kVowelBase = 0x1161, kTrailBase = 0x11A7;
constexpr char32_t kVowelCount = 21, kTrailCount = 28;

char32_t Composed(char32_t first, char32_t second)
{
    if (first >= kLeadBase && first < kLeadBase + 19 && second >= kVowelBase && second < kVowelBase + kVowelCount)
        return kSyllableBase + ((first - kLeadBase) * kVowelCount + (second - kVowelBase)) * kTrailCount;
    if (first >= kSyllableBase && first < kSyllableBase + 11172 && (first - kSyllableBase) % kTrailCount == 0 &&
        second > kTrailBase && second < kTrailBase + kTrailCount)
        return first + (second - kTrailBase);
    const Composition* end = std::end(kCompositions);
    const Composition* found = std::lower_bound(
        std::begin(kCompositions), end, Composition{first, second, 0}, [](const Composition& a, const Composition& b) {
            return a.first != b.first ? a.first < b.first : a.second < b.second;
        });
    return found != end && found->first == first && found->second == second ? found->composite : 0;
}

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
};

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

Entry ReplacedEntry(CharClass cls, std::string_view bytes)
{
    Entry entry = cls | kReplaced | static_cast<Entry>(bytes.size() << 3);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        entry |= static_cast<Entry>(static_cast<unsigned char>(bytes[i])) << (8 * (i + 1));
    return entry;
}

std::string ReplacementOf(Entry entry)
{
    std::string bytes;
    const std::size_t length = (entry >> 3) & 3;
    for (std::size_t k = 0; k < length; ++k) bytes.push_back(static_cast<char>(entry >> (8 * (k + 1))));
    return bytes;
}

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

// Two-level table over the Basic Multilingual Plane: a page of 256 entries for
// every block that holds a replacement or mixes classes, one class for the rest.
class FoldTable {
public:
    FoldTable()
    {
        std::vector<Entry> all(0x10000, kLetter);
        for (const ClassRange& range : kClassRanges)
            for (char32_t c = range.first; c <= range.last; ++c) all[c] = range.cls;

        const auto replace = [&](char32_t c, std::string_view bytes) {
            const CharClass cls = ClassOf(all[c]) == kSeparator ? kLetter : ClassOf(all[c]);
            all[c] = ReplacedEntry(cls, bytes);
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
                const std::string bytes = ReplacementOf(entry);
                char32_t target = 0;
                if (Decode(bytes, 0, target) != bytes.size() || target >= all.size()) continue;
                const Entry next = all[target];
                if ((next & kReplaced) && next != entry && ClassOf(next) == ClassOf(entry)) {
                    entry = next;
                    changed = true;
                }
            }
        }

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

private:
    std::array<char, 128> ascii_folded_{};
    std::array<std::uint8_t, 256> page_index_{};  // 0: no page of its own
    std::array<Entry, 256> page_class_{};
    std::vector<std::array<Entry, 256>> pages_;
};

const FoldTable& Table()
{
    static const FoldTable table;
    return table;
}

// Composes `c` with the marks that follow it from text[i] on, as canonical
// composition does; returns the bytes taken. Characters that folding drops
// are looked past, so that folded text folds to itself.
std::size_t ComposeFollowing(const FoldTable& table, std::string_view text, std::size_t i, char32_t& c)
{
    std::size_t taken = 0;
    for (std::size_t j = i; j < text.size() && static_cast<unsigned char>(text[j]) >= 0x80;) {
        char32_t mark = 0;
        const std::size_t length = Decode(text, j, mark);
        if (length == 0) break;
        j += length;
        const char32_t composite = MayCompose(mark) ? Composed(c, mark) : 0;
        if (composite) {
            c = composite;
            taken = j - i;
        } else if (ClassOf(table.lookup(mark)) != kIgnored) {
            break;
        }
    }
    return taken;
}

}  // namespace

std::size_t DecodeUtf8(std::string_view text, std::size_t i, char32_t& c) { return Decode(text, i, c); }

char* FoldSearchText(std::string_view text, char* out, const char* origin, std::vector<std::uint32_t>* starts)
{
    const FoldTable& table = Table();
    const char* const source = text.data();
    const std::size_t size = text.size();
    char* next = out;
    CharClass previous = kSeparator;
    for (std::size_t i = 0; i < size;) {
        auto lead = static_cast<unsigned char>(source[i]);
        if (lead < 0x80) {  // ASCII is only letters, digits and separators
            char folded = table.asciiFolded(lead);
            if (folded == 0) {
                previous = kSeparator;
                ++i;
                continue;
            }
            if (previous != kLetter) {
                *next++ = ' ';
                previous = kLetter;
                if (starts) starts->push_back(static_cast<std::uint32_t>(next - origin));
            }
            do {  // the rest of the run of ASCII letters and digits
                *next++ = folded;
                ++i;
            } while (i < size && (lead = static_cast<unsigned char>(source[i])) < 0x80 &&
                     (folded = table.asciiFolded(lead)) != 0);
            continue;
        }
        char32_t c = 0;
        std::size_t length = Decode(text, i, c);
        const std::size_t own_length = length;
        if (length) length += ComposeFollowing(table, text, i + length, c);
        const Entry entry = length ? table.lookup(c) : Entry{kSeparator};
        const CharClass cls = ClassOf(entry);
        if (cls == kSeparator) {
            previous = kSeparator;
        } else if (cls != kIgnored) {
            if (cls != previous) {
                *next++ = ' ';
                previous = cls;
            }
            if (starts && (cls == kNoSpace || next[-1] == ' '))
                starts->push_back(static_cast<std::uint32_t>(next - origin));
            if (entry & kReplaced) {
                const std::size_t replaced = (entry >> 3) & 3;
                for (std::size_t k = 0; k < replaced; ++k) *next++ = static_cast<char>(entry >> (8 * (k + 1)));
            } else if (length == own_length) {
                for (std::size_t k = 0; k < length; ++k) *next++ = source[i + k];
            } else {
                next += EncodeUtf8(c, next);
            }
        }
        i += length ? length : 1;
    }
    return next;
}

void AppendSearchText(std::string_view text, std::string& out, std::vector<std::uint32_t>* starts)
{
    const std::size_t base = out.size();
    out.resize(base + 2 * text.size());
    char* const end = FoldSearchText(text, out.data() + base, out.data(), starts);
    out.resize(static_cast<std::size_t>(end - out.data()));
}

std::vector<std::string> SearchWords(std::string_view query)
{
    std::string folded;
    AppendSearchText(query, folded);
    std::vector<std::string> words;
    std::size_t start = 0;
    while ((start = folded.find(' ', start)) != std::string::npos) {
        ++start;
        const std::size_t end = std::min(folded.find(' ', start), folded.size());
        words.push_back(folded.substr(start, end - start));
        start = end;
    }
    return words;
}

}  // namespace mappa
