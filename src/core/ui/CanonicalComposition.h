// Canonical composition of the pairs that search folding composes before it
// folds, so that a text stored decomposed, as macOS stores it, folds as the
// same text composed: Hangul jamo into syllables, and Cyrillic, Arabic,
// Indic, Myanmar, Balinese and kana letters with the marks that compose
// with them.
#pragma once

namespace mappa::search {

// Whether `c` may be the second half of a composed pair; cheaply ruled out for
// almost every character.
constexpr bool MayCompose(char32_t c)
{
    return (c >= 0x0300 && c <= 0x030F) || (c >= 0x0653 && c <= 0x0655) || (c >= 0x093C && c <= 0x0DDF) ||
           c == 0x102E || c == 0x1B35 || c == 0x3099 || c == 0x309A || (c >= 0x1161 && c <= 0x11C2);
}

// The character that `first` followed by `second` composes to; 0 when they do not.
char32_t Composed(char32_t first, char32_t second);

// Whether `c` is the second half of some pair: Composed(x, c) is 0 for every
// x when it is not.
bool IsCompositionSecond(char32_t c);

}  // namespace mappa::search
