#include "ui/PictureGeometry.h"

#include <cstdlib>

namespace mappa {

ScreenRect PictureScreenRect(const ScreenRect& outer, std::int32_t clientHeight, MapPoint panel, std::int32_t width,
                             std::int32_t height)
{
    const std::int32_t frameHeight = (outer.bottom - outer.top) - clientHeight;
    ScreenRect picture;
    picture.left = outer.left + panel.x;
    picture.top = outer.top + panel.y + frameHeight;
    picture.right = picture.left + width;
    picture.bottom = picture.top + height;
    return picture;
}

bool StrictlyInside(const ScreenRect& rect, std::int32_t x, std::int32_t y)
{
    return rect.left < x && x < rect.right && rect.top < y && y < rect.bottom;
}

bool IsNearMarker(MapPoint pointer, MapPoint office, std::int32_t reach)
{
    const auto apart = [](std::int32_t a, std::int32_t b) { return std::llabs(std::int64_t{a} - b); };
    return apart(pointer.x, office.x) <= reach && apart(pointer.y, office.y) <= reach;
}

}  // namespace mappa
