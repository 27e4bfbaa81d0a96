#include "mapdata/WindowsCodePage.h"

#include <windows.h>

#include <stdexcept>

#include "support/Support2Win.h"

namespace mappa {
namespace {

// Windows converts at most INT_MAX units in one call; pieces of this size
// stay far below that in any encoding.
constexpr std::size_t kPiece = 1 << 24;

// Where a piece of at most kPiece bytes may end: after a byte below 0x40,
// which in every Windows code page is a character of its own, never half of
// a double-byte character.
std::size_t PieceLength(std::string_view text)
{
    if (text.size() <= kPiece) return text.size();
    for (std::size_t end = kPiece; end > 0; --end)
        if (static_cast<unsigned char>(text[end - 1]) < 0x40) return end;
    return kPiece;
}

}  // namespace

std::string WindowsCodePageDecoder::toUtf8(std::string_view text) const
{
    std::string utf8;
    utf8.reserve(text.size() + text.size() / 4);
    std::wstring wide;
    while (!text.empty()) {
        const auto piece = static_cast<int>(PieceLength(text));
        const int units = MultiByteToWideChar(code_page_, 0, text.data(), piece, nullptr, 0);
        if (units <= 0) throw std::runtime_error("The data file cannot be read in the system's code page");
        wide.resize(static_cast<std::size_t>(units));
        MultiByteToWideChar(code_page_, 0, text.data(), piece, wide.data(), units);
        utf8 += WideToUtf8(wide);
        text.remove_prefix(static_cast<std::size_t>(piece));
    }
    return utf8;
}

}  // namespace mappa
