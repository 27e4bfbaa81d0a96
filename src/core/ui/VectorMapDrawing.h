// Zoomed views of the world map, drawn from the vector map in the colours
// of the map picture, antialiased by our own rasterizer.
#pragma once

#include <cstdint>

#include "ui/MapViewport.h"
#include "ui/WorldVectors.h"

namespace mappa {

// The map picture's colours (0x00RRGGBB).
inline constexpr std::uint32_t kMapSea = 0x7AA2CE;     // (122, 162, 206)
inline constexpr std::uint32_t kMapLand = 0xB8C298;    // (184, 194, 152)
inline constexpr std::uint32_t kMapCoast = 0x86906C;   // (134, 144, 108)
inline constexpr std::uint32_t kMapBorder = 0x767676;  // national borders

// Draws what `view` shows into `pixels` (view.width() x view.height(), top-down
// rows of 0x00RRGGBB): the sea, the land with its lakes, a coast band on
// the land side of every shore as wide as the map picture's (one pixel at
// 96 dpi, view.width() / 640 in general), and the national borders as
// lines as wide again. The level of detail follows the zoomed world's width.
// Same projection as the map picture: column x of the zoomed world covers
// longitudes [-180 + x * 360 / W, -180 + (x + 1) * 360 / W), north up.
void DrawVectorView(const WorldVectors& world, const MapViewport& view, std::uint32_t* pixels);

}  // namespace mappa
