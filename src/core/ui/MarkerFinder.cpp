#include "ui/MarkerFinder.h"

#include <algorithm>
#include <limits>

#include "mapdata/OfficeKind.h"
#include "ui/HoverNames.h"
#include "ui/MapLogic.h"
#include "ui/MarkerLayout.h"
#include "ui/PictureGeometry.h"

namespace mappa {

void MarkerFinder::forget()
{
    places_.clear();
    place_of_.clear();
    places_ready_ = false;
}

void MarkerFinder::ensurePlaces() const
{
    if (places_ready_ || !layout_.offices()) return;
    places_ready_ = true;
    places_.reserve(layout_.officeCount());
    place_of_.reserve(layout_.officeCount());
    for (std::size_t i = 0; i < layout_.officeCount(); ++i) {
        const LocationView& office = (*layout_.offices())[i];
        if (!layout_.filter().shows(KindOfOffice(office.OfficeType))) continue;
        places_.push_back(layout_.placeOf(office));
        place_of_.push_back(i);
    }
}

std::span<const MapPoint> MarkerFinder::places() const
{
    ensurePlaces();
    return places_;
}

std::span<const std::size_t> MarkerFinder::placedOffices() const
{
    ensurePlaces();
    return place_of_;
}

std::optional<std::size_t> MarkerFinder::nearestShown(MapPoint point) const
{
    if (!layout_.offices()) return std::nullopt;
    if (!layout_.viewport().wholeWorld()) {
        const auto pointed = pointedAt(point);
        if (!pointed) return std::nullopt;
        return pointed->marker->isGroup() ? layout_.groups().officesOf(pointed->marker->group).front()
                                          : pointed->marker->office;
    }
    if (layout_.filter().showsAll()) {
        if (layout_.officeCount() == 0) return std::nullopt;
        return NearestLocation(*layout_.offices(), layout_.officeCount(), point);
    }
    ensurePlaces();
    if (places_.empty()) return std::nullopt;
    return place_of_[*NearestPlace(places_, point)];
}

std::optional<MarkerFinder::Pointed> MarkerFinder::pointedAt(MapPoint point) const
{
    if (!layout_.offices()) return std::nullopt;
    if (layout_.viewport().wholeWorld()) {
        const auto office = nearestShown(point);
        if (!office) return std::nullopt;
        return Pointed{layout_.placeOf((*layout_.offices())[*office]), *office, std::nullopt};
    }
    // The nearest marker anywhere in the world: the guide line may run off the picture.
    const double scale = layout_.viewport().scale();
    const MapPoint world = layout_.viewport().toWorld(point);
    const auto marker = layout_.groups().nearestTo(layout_.level(), {(world.x + 0.5) / scale, (world.y + 0.5) / scale},
                                                   std::numeric_limits<double>::infinity());
    if (!marker) return std::nullopt;
    const std::size_t key = marker->isGroup() ? layout_.officeCount() + marker->group.value : marker->office;
    return Pointed{layout_.markerPlace(*marker), key, marker};
}

int MarkerFinder::reachOf(const Pointed& pointed) const
{
    if (!pointed.marker || !pointed.marker->isGroup()) return scale_.handReach();
    return std::max(scale_.handReach(), GroupDiscSize(scale_, pointed.marker->count) / 2);
}

std::vector<std::size_t> MarkerFinder::officesUnder(MapPoint point) const
{
    if (!layout_.viewport().wholeWorld()) {
        // The offices of the marker under the hand.
        const auto pointed = pointedAt(point);
        if (!pointed || !IsNearMarker(point, pointed->at, reachOf(*pointed))) return {};
        if (!pointed->marker->isGroup()) return {pointed->marker->office};
        const std::span<const std::size_t> offices = layout_.groups().officesOf(pointed->marker->group);
        return {offices.begin(), offices.end()};
    }
    // The offices that show the hand cursor.
    ensurePlaces();
    std::vector<std::size_t> offices;
    for (const std::size_t k : OfficesUnderPointer(places_, point, scale_.handReach()))
        if (place_of_[k] < layout_.officeCount()) offices.push_back(place_of_[k]);
    return offices;
}

std::optional<std::size_t> MarkerFinder::officeInDirection(std::optional<std::size_t> from,
                                                           MapDirection direction) const
{
    ensurePlaces();
    if (places_.empty()) return std::nullopt;
    MapPoint start = PictureCentre(layout_.viewport().width(), layout_.viewport().height());
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
