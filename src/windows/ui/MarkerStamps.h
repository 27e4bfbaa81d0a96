// The markers' pictures, each drawn once with GDI for the present density and
// then copied wherever it stands: an office's dot by colour and size, and a
// group's disc by the count it shows.
#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "support/WinHandles.h"
#include "ui/MapPicture.h"
#include "ui/MapScale.h"

namespace mappa {

class MarkerStamps {
public:
    explicit MarkerStamps(const MapScale& scale) : scale_(scale) {}

    const MarkerStamp& office(Rgb colour, int size);
    // A white disc with a black outline and the count in it ("1k" and so on from a thousand).
    const MarkerStamp& group(std::uint32_t count);
    // Forgets every picture, for a new density.
    void clear();

private:
    const MapScale& scale_;
    std::vector<MarkerStamp> offices_;
    std::map<std::pair<int, std::uint32_t>, MarkerStamp> groups_;  // by size and count shown
    FontHandle count_font_;
};

}  // namespace mappa
