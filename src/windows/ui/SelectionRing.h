// The red ring on the shown office: a shaped window over the picture, on the
// office's marker, or on the group's disc that holds it in a zoomed view, and
// hidden while the office is out of view.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>

#include "mapdata/MapFunc.h"
#include "ui/MapControls.h"
#include "ui/MapPicture.h"
#include "ui/MapScale.h"
#include "ui/MarkerLayout.h"

namespace mappa {

class SelectionRing {
public:
    // The ring is the `Overlay` control of `controls`, over `picture` with the markers of `layout`.
    SelectionRing(MapControls& controls, const MapScale& scale, const MapPicture& picture, const MarkerLayout& layout);

    // The office's place in the table, when it is one, for the group that holds it.
    void setOffice(std::optional<std::size_t> office) { office_ = office; }
    // Rings `location`.
    void ring(const TLocation& location);
    // The ring where the view now shows its office.
    void place();
    // The ring on its office again, on a picture of another size.
    void reproject();
    // Where the ring is on the picture as it is now; none when out of view.
    std::optional<MapPoint> where() const;
    // The shaped window of `size` pixels in `colour`, centred on the location's place.
    void overlayLocation(const TLocation& location, Rgb colour, int size);

private:
    MapControls& controls_;
    const MapScale& scale_;
    const MapPicture& picture_;
    const MarkerLayout& layout_;
    std::optional<TLocation> ringed_;  // the office that the ring marks
    std::optional<std::size_t> office_;  // its place in the table, when known
};

}  // namespace mappa
