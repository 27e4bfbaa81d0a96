#include "ui/MarkerStamps.h"

#include <algorithm>
#include <cwchar>

#include "support/Support2Win.h"
#include "ui/MarkerLayout.h"

namespace mappa {
namespace {

// Group pictures kept at most: more sizes and counts than any view shows.
constexpr std::size_t kMaxGroupStamps = 4096;

}  // namespace

const MarkerStamp& MarkerStamps::office(Rgb colour, int size)
{
    const int outline = scale_.lineWidth();
    auto stamp = std::find_if(offices_.begin(), offices_.end(), [&](const MarkerStamp& made) {
        return made.colour() == colour && made.size() == size && made.outline() == outline;
    });
    if (stamp == offices_.end()) stamp = offices_.insert(offices_.end(), MarkerStamp(colour, size, outline));
    return *stamp;
}

const MarkerStamp& MarkerStamps::group(std::uint32_t count)
{
    const int size = GroupDiscSize(scale_, count);
    const std::uint32_t shown = count < 1000 ? count : count / 1000 * 1000;
    auto stamp = groups_.find({size, shown});
    if (stamp != groups_.end()) return stamp->second;
    if (groups_.size() >= kMaxGroupStamps) groups_.clear();
    if (!count_font_) {
        count_font_.reset(CreateFontW(scale_(-9), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH,
                                      Utf8ToWide(scale_.sansSerifFace()).c_str()));
    }
    const MarkerStamp disc(size, [&](HDC dc, int centre) {
        const int left = centre - size / 2;
        SelectObject(dc, GetStockObject(WHITE_BRUSH));
        const PenHandle pen(CreatePen(PS_SOLID, scale_.lineWidth(), RGB(0, 0, 0)));
        SelectObject(dc, pen.get());
        Ellipse(dc, left, left, left + size, left + size);
        wchar_t text[16];
        if (count < 1000) swprintf(text, 16, L"%u", count);
        else swprintf(text, 16, L"%uk", count / 1000);
        SelectObject(dc, count_font_.get());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        RECT box{left, left, left + size, left + size};
        DrawTextW(dc, text, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, GetStockObject(BLACK_PEN));
    });
    return groups_.emplace(std::pair{size, shown}, disc).first->second;
}

void MarkerStamps::clear()
{
    offices_.clear();
    groups_.clear();
    count_font_.reset();
}

}  // namespace mappa
