// Moving the selection on the map with the arrow keys.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

#include "mapdata/LocationTable.h"

namespace mappa {

enum class MapDirection { Left, Right, Up, Down };

// Where the arrow keys start when no office is selected.
MapPoint PictureCentre(std::int32_t width, std::int32_t height);

// The office to select when an arrow key is pressed at `from` (the selected
// office's position, or the picture's centre): the nearest office, by
// straight-line distance in picture pixels, among those that lie within 45
// degrees either side of `direction` (y grows downwards, so Up means a smaller
// y). An office exactly on a diagonal belongs to both directions that meet
// there, so that no office is left out of every direction; one on the same
// pixel as `from` lies in no direction. Of equally near offices the one
// earlier in `positions` wins. Nothing when no office lies that way.
std::optional<std::size_t> OfficeInDirection(std::span<const MapPoint> positions, MapPoint from,
                                             MapDirection direction);

}  // namespace mappa
