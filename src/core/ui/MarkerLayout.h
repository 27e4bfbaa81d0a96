// Where the map's markers stand in the present view: the offices that the
// filter shows, each at its own place at the whole world, and above it the
// markers of the offices' groups at the view's scale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "mapdata/LocationTable.h"
#include "ui/MapKeyboard.h"
#include "ui/MapScale.h"
#include "ui/MapViewport.h"
#include "ui/OfficeFilter.h"
#include "ui/OfficeGroups.h"

namespace mappa {

// The width of a group's disc that holds `count` offices.
int GroupDiscSize(const MapScale& scale, std::uint32_t count);

class MarkerLayout {
public:
    explicit MarkerLayout(const MapScale& scale) : scale_(scale) {}

    // The offices whose markers are laid out (none until given), projected on
    // the view's picture; groups them for every scale and places them.
    void setOffices(const LocationSlots* offices);
    std::size_t officeCount() const { return offices_ ? offices_->dataCount() : 0; }

    MapViewport& viewport() { return viewport_; }
    const MapViewport& viewport() const { return viewport_; }
    const OfficeFilter& filter() const { return filter_; }
    // False when the filter was already this one.
    bool setFilter(const OfficeFilter& filter);

    // Groups the shown offices again, as a new density or filter asks; then place().
    void buildGroups();
    // Places the markers for the viewport as it now is.
    void place();

    // The grouping's level of the view's scale.
    int level() const;
    const OfficeGroups& groups() const { return groups_; }
    // Above scale 1: the markers on the picture and about it, singles and groups.
    const std::vector<OfficeMarker>& markers() const { return markers_; }
    // At scale 1 with some offices hidden: the places of the shown ones, and their offices.
    std::span<const MapPoint> places() const;
    std::span<const std::size_t> placedOffices() const;

    MapPoint markerPlace(const OfficeMarker& marker) const;
    MapPoint placeOf(const LocationView& office) const;

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

    const MapScale& scale_;
    const LocationSlots* offices_ = nullptr;
    MapViewport viewport_;
    OfficeFilter filter_;
    OfficeGroups groups_;
    std::vector<OfficeMarker> markers_;
    // Worked out when first needed at scale 1.
    mutable std::vector<MapPoint> places_;
    mutable std::vector<std::size_t> place_of_;
    mutable bool places_ready_ = false;
};

}  // namespace mappa
