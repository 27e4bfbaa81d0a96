// Where the map window takes its picture to be: the screen rectangle inside
// which a pointer move draws the guide line, and how near an office the
// pointer must be for the hand cursor.
#pragma once

#include <cstdint>

#include "mapdata/LocationTable.h"

namespace mappa {

struct ScreenRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const ScreenRect&) const = default;
};

// The picture's rectangle from the window's outer rectangle, its client
// height, the panel's place in the client area and the picture's size. The
// left frame border is not added horizontally; the whole frame height (both
// borders and the caption) is added vertically.
ScreenRect PictureScreenRect(const ScreenRect& outer, std::int32_t clientHeight, MapPoint panel, std::int32_t width,
                             std::int32_t height);

// Strictly inside: a point on an edge is outside.
bool StrictlyInside(const ScreenRect& rect, std::int32_t x, std::int32_t y);

// How near an office the pointer shows the hand, at 96 pixels per inch.
inline constexpr std::int32_t kHandReach = 4;

// Within `reach` pixels of the office both across and down.
bool IsNearMarker(MapPoint pointer, MapPoint office, std::int32_t reach = kHandReach);

}  // namespace mappa
