#include "ui/MapKeyboard.h"

#include <cstdint>
#include <cstdlib>

namespace mappa {

MapPoint PictureCentre(std::int32_t width, std::int32_t height) { return {width / 2, height / 2}; }

std::optional<std::size_t> OfficeInDirection(std::span<const MapPoint> positions, MapPoint from,
                                             MapDirection direction)
{
    // Squared distances of positions anywhere in the 32-bit range need 66 bits.
    using Square = unsigned __int128;
    std::optional<std::size_t> best;
    Square best_distance = 0;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const std::int64_t dx = std::int64_t{positions[i].x} - from.x;
        const std::int64_t dy = std::int64_t{positions[i].y} - from.y;
        std::int64_t ahead = 0;  // distance along the direction
        std::int64_t aside = 0;  // distance across it
        switch (direction) {
        case MapDirection::Left: ahead = -dx, aside = dy; break;
        case MapDirection::Right: ahead = dx, aside = dy; break;
        case MapDirection::Up: ahead = -dy, aside = dx; break;
        case MapDirection::Down: ahead = dy, aside = dx; break;
        }
        if (ahead <= 0 || std::llabs(aside) > ahead) continue;
        const Square distance = Square(ahead) * Square(ahead) + Square(std::llabs(aside)) * Square(std::llabs(aside));
        if (!best || distance < best_distance) {
            best_distance = distance;
            best = i;
        }
    }
    return best;
}

}  // namespace mappa
