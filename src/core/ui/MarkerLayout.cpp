#include "ui/MarkerLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "mapdata/OfficeKind.h"
#include "ui/HoverNames.h"
#include "ui/MapLogic.h"
#include "ui/PictureGeometry.h"

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
    buildGroups();
}

bool MarkerLayout::setFilter(const OfficeFilter& filter)
{
    if (filter == filter_) return false;
    filter_ = filter;
    if (offices_) buildGroups();
    return true;
}

void MarkerLayout::buildGroups()
{
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
    place();
}

void MarkerLayout::place()
{
    places_.clear();
    place_of_.clear();
    markers_.clear();
    places_ready_ = false;
    if (!offices_ || viewport_.wholeWorld()) return;
    // The markers on the picture, and a margin about it for those that reach into it.
    const double scale = viewport_.scale();
    const MapPoint origin = viewport_.origin();
    const double margin = kMarkerMargin;
    groups_.markersIn(level(),
                      {(origin.x - margin) / scale, (origin.y - margin) / scale,
                       (origin.x + viewport_.width() + margin) / scale,
                       (origin.y + viewport_.height() + margin) / scale},
                      markers_);
}

void MarkerLayout::ensurePlaces() const
{
    if (places_ready_ || !offices_) return;
    places_ready_ = true;
    places_.reserve(officeCount());
    place_of_.reserve(officeCount());
    for (std::size_t i = 0; i < officeCount(); ++i) {
        const LocationView& office = (*offices_)[i];
        if (!filter_.shows(KindOfOffice(office.OfficeType))) continue;
        places_.push_back(placeOf(office));
        place_of_.push_back(i);
    }
}

std::span<const MapPoint> MarkerLayout::places() const
{
    ensurePlaces();
    return places_;
}

std::span<const std::size_t> MarkerLayout::placedOffices() const
{
    ensurePlaces();
    return place_of_;
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

std::optional<std::size_t> MarkerLayout::nearestShown(MapPoint point) const
{
    if (!offices_) return std::nullopt;
    if (!viewport_.wholeWorld()) {
        const auto pointed = pointedAt(point);
        if (!pointed) return std::nullopt;
        return pointed->marker->isGroup() ? groups_.officesOf(pointed->marker->group).front() : pointed->marker->office;
    }
    if (filter_.showsAll()) {
        if (officeCount() == 0) return std::nullopt;
        return NearestLocation(*offices_, officeCount(), point);
    }
    ensurePlaces();
    if (places_.empty()) return std::nullopt;
    return place_of_[*NearestPlace(places_, point)];
}

std::optional<MarkerLayout::Pointed> MarkerLayout::pointedAt(MapPoint point) const
{
    if (!offices_) return std::nullopt;
    if (viewport_.wholeWorld()) {
        const auto office = nearestShown(point);
        if (!office) return std::nullopt;
        return Pointed{placeOf((*offices_)[*office]), *office, std::nullopt};
    }
    // The nearest marker anywhere in the world: the guide line may run off the picture.
    const double scale = viewport_.scale();
    const MapPoint world = viewport_.toWorld(point);
    const auto marker = groups_.nearestTo(level(), {(world.x + 0.5) / scale, (world.y + 0.5) / scale},
                                          std::numeric_limits<double>::infinity());
    if (!marker) return std::nullopt;
    const std::size_t key = marker->isGroup() ? officeCount() + marker->group.value : marker->office;
    return Pointed{markerPlace(*marker), key, marker};
}

int MarkerLayout::reachOf(const Pointed& pointed) const
{
    if (!pointed.marker || !pointed.marker->isGroup()) return scale_.handReach();
    return std::max(scale_.handReach(), GroupDiscSize(scale_, pointed.marker->count) / 2);
}

std::vector<std::size_t> MarkerLayout::officesUnder(MapPoint point) const
{
    if (!viewport_.wholeWorld()) {
        // The offices of the marker under the hand.
        const auto pointed = pointedAt(point);
        if (!pointed || !IsNearMarker(point, pointed->at, reachOf(*pointed))) return {};
        if (!pointed->marker->isGroup()) return {pointed->marker->office};
        const std::span<const std::size_t> offices = groups_.officesOf(pointed->marker->group);
        return {offices.begin(), offices.end()};
    }
    // The offices that show the hand cursor.
    ensurePlaces();
    std::vector<std::size_t> offices;
    for (const std::size_t k : OfficesUnderPointer(places_, point, scale_.handReach()))
        if (place_of_[k] < officeCount()) offices.push_back(place_of_[k]);
    return offices;
}

std::optional<std::size_t> MarkerLayout::officeInDirection(std::optional<std::size_t> from,
                                                           MapDirection direction) const
{
    ensurePlaces();
    if (places_.empty()) return std::nullopt;
    MapPoint start = PictureCentre(viewport_.width(), viewport_.height());
    if (from) {
        // The places are in table order: the office's own, if it is shown.
        const auto found = std::lower_bound(place_of_.begin(), place_of_.end(), *from);
        if (found != place_of_.end() && *found == *from)
            start = places_[static_cast<std::size_t>(found - place_of_.begin())];
    }
    const auto next = OfficeInDirection(places_, start, direction);
    if (!next) return std::nullopt;
    return place_of_[*next];
}

}  // namespace mappa
