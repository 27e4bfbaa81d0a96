// The time-zone map: which IANA zone a point of the Earth lies in, from the
// compact quadtree that tools/make-zone-map.mjs writes from the
// timezone-boundary-builder polygons. Points in the sea take the zone of the
// nearest land within about 200 km, else the nautical zone of their
// longitude ("Etc/GMT-9" for 135 E).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace mappa::localtime {

class ZoneMap {
public:
    // Throws std::runtime_error when the data are not in the expected form.
    // The map reads the data in place: they must outlive it.
    static ZoneMap Parse(std::span<const unsigned char> data);

    // Latitude -90..90 (north positive), longitude -180..180 (east positive);
    // values outside are clamped. The name stays valid as long as the map.
    std::string_view ZoneAt(double latitude, double longitude) const;

    std::size_t ZoneCount() const { return names_.size(); }
    // Every zone the map names, the nautical zones aside.
    const std::vector<std::string>& ZoneNames() const { return names_; }

private:
    std::vector<std::string> names_;
    int topDepth_ = 0;
    int finestDepth_ = 0;
    const unsigned char* topCells_ = nullptr;
    const unsigned char* nodes_ = nullptr;
    std::uint32_t nodeCount_ = 0;
};

// The nautical zone of a longitude: "Etc/GMT", "Etc/GMT-1" (15 degrees east) ...
// "Etc/GMT+12"; POSIX signs, so west of Greenwich is "+".
std::string_view NauticalZone(double longitude);

}  // namespace mappa::localtime
