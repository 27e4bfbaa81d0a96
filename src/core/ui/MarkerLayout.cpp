#include "ui/MarkerLayout.h"

#include <cmath>

#include "mapdata/OfficeKind.h"

namespace mappa {
namespace {

// Offices this far off the picture cannot reach it with their markers.
constexpr int kMarkerMargin = 64;

}  // namespace

int GroupDiscSize(const MapScale& scale, std::uint32_t count)
{
    return scale(count < 10 ? 16 : count < 100 ? 20 : count < 1000 ? 24 : 28);
}

void MarkerLayout::setOffices(const LocationSlots* offices)
{
    offices_ = offices;
    regroup();
}

bool MarkerLayout::setFilter(const OfficeFilter& filter)
{
    if (filter == filter_) return false;
    filter_ = filter;
    if (offices_) regroup();
    return true;
}

void MarkerLayout::regroup()
{
    grouped_ = false;
    place();
}

const OfficeGroups& MarkerLayout::groups() const
{
    if (grouped_) return groups_;
    // Markers overlap when their centres are closer than a group's marker is wide.
    std::vector<PlacedOffice> shown;
    shown.reserve(officeCount());
    constexpr int kFine = MapViewport::kMaxScale;
    for (std::size_t i = 0; i < officeCount(); ++i) {
        const LocationView& office = (*offices_)[i];
        if (!filter_.shows(KindOfOffice(office.OfficeType))) continue;
        const MapPoint fine = ZoomedPlace(office, viewport_.width(), viewport_.height(), kFine);
        shown.push_back({i, {fine.x / double(kFine), fine.y / double(kFine)}});
    }
    groups_.build(shown, GroupDiscSize(scale_, 2));
    grouped_ = true;
    return groups_;
}

void MarkerLayout::place()
{
    finder_.forget();
    markers_.clear();
    if (!offices_ || viewport_.wholeWorld()) return;
    // The markers on the picture, and a margin about it for those that reach into it.
    const double scale = viewport_.scale();
    const MapPoint origin = viewport_.origin();
    const double margin = kMarkerMargin;
    groups().markersIn(level(),
                      {(origin.x - margin) / scale, (origin.y - margin) / scale,
                       (origin.x + viewport_.width() + margin) / scale,
                       (origin.y + viewport_.height() + margin) / scale},
                      markers_);
}

int MarkerLayout::level() const
{
    int level = 0;
    while ((1 << level) < viewport_.scale()) ++level;
    return level;
}

MapPoint MarkerLayout::markerPlace(const OfficeMarker& marker) const
{
    if (!marker.isGroup()) return placeOf((*offices_)[marker.office]);
    const double scale = viewport_.scale();
    return viewport_.toPicture({static_cast<std::int32_t>(std::floor(marker.place.x * scale)),
                                static_cast<std::int32_t>(std::floor(marker.place.y * scale))});
}

MapPoint MarkerLayout::placeOf(const LocationView& office) const
{
    if (viewport_.wholeWorld()) return {office.MapX, office.MapY};
    return viewport_.toPicture(ZoomedPlace(office, viewport_.width(), viewport_.height(), viewport_.scale()));
}

}  // namespace mappa
