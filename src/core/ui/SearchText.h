// Text folded for searching: letter case and accents taken away, every word
// of the text preceded by one space, so that "Zürich, São Paulo" becomes
// " zurich sao paulo".
//
// A word is a run of letters and digits (combining marks and format characters
// belong to the word they stand in; punctuation, symbols and spaces separate
// words). Scripts that are written without spaces between words (Chinese,
// Japanese kana, Thai, Lao, Khmer, Myanmar, Tibetan, Yi) form runs of their
// own, and a match may start at any character of such a run.
//
// Folding covers Latin (with its extended blocks), Greek, Cyrillic, Armenian,
// Georgian and the fullwidth forms: upper case becomes lower case, a letter
// with an accent becomes its base letter (ß and ẞ become ss, æ ae, œ oe, þ th,
// ø o, ł l, đ d, ı and İ i, the Armenian ligature և եվ), Greek tonos and breathings are dropped and final
// sigma becomes sigma, Cyrillic ё becomes е (й stays a letter of its own),
// Hebrew and Arabic vowel points are dropped (Arabic alef with hamza or
// madda becomes alef), and decimal digits of the
// Arabic, Devanagari, Bengali, Thai and fullwidth forms become 0 to 9.
// A text stored decomposed folds as the same text composed: Hangul jamo
// become syllables, and Cyrillic, Arabic, Indic and kana letters take the
// marks that compose with them (и with its breve is й).
// Bytes that are not valid UTF-8 separate words.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace mappa {

// Appends the folded form of `text` to `out`: " word word ...". When `starts`
// is given, also appends the offsets in `out` where a match may begin: the
// first character of every word, and every character of a run without spaces.
void AppendSearchText(std::string_view text, std::string& out, std::vector<std::uint32_t>* starts = nullptr);

// Decodes the character at text[index] into `character` and returns its length
// in bytes; 0 when the bytes there are not valid UTF-8 (overlong, surrogate,
// beyond U+10FFFF, cut short, or a lone continuation byte).
std::size_t DecodeUtf8(std::string_view text, std::size_t index, char32_t& character);

// The room that folding `size` bytes of text may take: no character, with the
// space that may go before it, grows to more than three times its length
// (the two bytes of the ligature և fold to the four of եվ).
constexpr std::size_t SearchTextRoom(std::size_t size) { return 3 * size; }

// The same, written at `out`, which must have room for
// SearchTextRoom(text.size()) bytes; returns the end of what was written.
// Offsets in `starts` count from `origin`.
char* FoldSearchText(std::string_view text, char* out, const char* origin, std::vector<std::uint32_t>* starts);

// The folded words of what the user typed, in order.
std::vector<std::string> SearchWords(std::string_view query);

}  // namespace mappa
