// The world map picture at any size the window draws it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>
#include <vector>

#include "mapdata/MapFunc.h"

namespace mappa {

// The large world map, 1280 x 640 pixels, embedded as a PNG (RCDATA).
inline constexpr int kLargeWorldMapResource = 101;
// The vector world map that zoomed views are drawn from (RCDATA).
inline constexpr int kWorldVectorsResource = 102;

// The world map as a width x height, 32-bit top-down DIB section of
// 0x00RRGGBB pixels. Column x covers longitudes [-180 + x * 360 / width,
// -180 + (x + 1) * 360 / width), row y latitudes (90 - (y + 1) * 180 / height,
// 90 - y * 180 / height]. At 640 x 320 it is the bitmap resource
// kWorldMapResource, pixel for pixel; at every other size each pixel is the
// mean colour of the large map over the area the pixel covers.
// `instance` is the module that holds both resources.
BitmapHandle MakeWorldMapPicture(HINSTANCE instance, int width, int height);

struct Image {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;  // top-down rows of 0x??RRGGBB
};

// The large world map, decoded.
Image LargeWorldMap(HINSTANCE instance);

// The vector world map's bytes, in `instance`'s resources: they stay where
// they are for as long as the module is loaded.
std::span<const std::uint8_t> WorldVectorBytes(HINSTANCE instance);

// The header of a 32-bit top-down bitmap of the given size.
BITMAPINFO TopDown32(int width, int height);

}  // namespace mappa
