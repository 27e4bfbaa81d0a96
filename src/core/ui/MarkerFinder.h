// What the pointer and the arrow keys find among the markers that a layout
// places: the marker or the shown office nearest a point, the offices under
// the hand, the next office in a direction. At the whole world it keeps the
// places of the shown offices, worked out when first needed.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "mapdata/LocationTable.h"
#include "ui/MapKeyboard.h"
#include "ui/MapScale.h"
#include "ui/OfficeGroups.h"

namespace mappa {

class MarkerLayout;

class MarkerFinder {
public:
    MarkerFinder(const MarkerLayout& layout, const MapScale& scale) : layout_(layout), scale_(scale) {}

    // The layout has placed its markers anew: the places are worked out again when next needed.
    void forget();

    // At scale 1 with some offices hidden: the places of the shown ones, and their offices.
    std::span<const MapPoint> places() const;
    std::span<const std::size_t> placedOffices() const;

    // What the pointer at `point` points at: the nearest shown marker, where it is, and a
    // key that tells markers apart (an office's index, or past them a group's).
    struct Pointed {
        MapPoint at;
        std::size_t key;
        std::optional<OfficeMarker> marker;  // above scale 1
    };
    std::optional<Pointed> pointedAt(MapPoint point) const;
    // How near the marker the pointer shows the hand.
    int reachOf(const Pointed& pointed) const;
    // The offices under the hand at `point`, which its tooltip names.
    std::vector<std::size_t> officesUnder(MapPoint point) const;
    // The shown office nearest to `point` (a group's first office stands for it).
    std::optional<std::size_t> nearestShown(MapPoint point) const;
    // The next shown office from `from` (the picture's centre when none) in `direction`.
    std::optional<std::size_t> officeInDirection(std::optional<std::size_t> from, MapDirection direction) const;

private:
    void ensurePlaces() const;

    const MarkerLayout& layout_;
    const MapScale& scale_;
    mutable std::vector<MapPoint> places_;
    mutable std::vector<std::size_t> place_of_;
    mutable bool places_ready_ = false;
};

}  // namespace mappa
