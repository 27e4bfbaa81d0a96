// Where the map's markers stand in the present view: the offices that the
// filter shows, each at its own place at the whole world, and above it the
// markers of the offices' groups at the view's scale.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "mapdata/LocationTable.h"
#include "ui/MapScale.h"
#include "ui/MarkerFinder.h"
#include "ui/MapViewport.h"
#include "ui/OfficeFilter.h"
#include "ui/OfficeGroups.h"

namespace mappa {

// The width of a group's disc that holds `count` offices.
int GroupDiscSize(const MapScale& scale, std::uint32_t count);

class MarkerLayout {
public:
    explicit MarkerLayout(const MapScale& scale) : scale_(scale) {}
    // Its finder looks at this layout.
    MarkerLayout(const MarkerLayout&) = delete;

    // The offices whose markers are laid out (none until given), projected on
    // the view's picture; places them, grouped for every scale.
    void setOffices(const LocationSlots* offices);
    const LocationSlots* offices() const { return offices_; }
    std::size_t officeCount() const { return offices_ ? offices_->dataCount() : 0; }

    MapViewport& viewport() { return viewport_; }
    const MapViewport& viewport() const { return viewport_; }
    const OfficeFilter& filter() const { return filter_; }
    // False when the filter was already this one.
    bool setFilter(const OfficeFilter& filter);

    // Has the shown offices grouped again, as a new density or filter asks; then place().
    // The grouping is made when it is first needed: at the whole world no
    // marker stands for a group, and grouping 100k offices takes tens of milliseconds.
    void regroup();
    // Places the markers for the viewport as it now is.
    void place();

    // The grouping's level of the view's scale.
    int level() const;
    const OfficeGroups& groups() const;
    // Above scale 1: the markers on the picture and about it, singles and groups.
    const std::vector<OfficeMarker>& markers() const { return markers_; }
    MapPoint markerPlace(const OfficeMarker& marker) const;
    MapPoint placeOf(const LocationView& office) const;

    // What the pointer and the keys find among the markers.
    const MarkerFinder& finder() const { return finder_; }

private:
    const MapScale& scale_;
    const LocationSlots* offices_ = nullptr;
    MapViewport viewport_;
    OfficeFilter filter_;
    mutable OfficeGroups groups_;
    mutable bool grouped_ = false;
    std::vector<OfficeMarker> markers_;
    MarkerFinder finder_{*this, scale_};
};

}  // namespace mappa
