#include "ui/MapPictureDrawing.h"

#include "ui/MapLayout.h"
#include "ui/MapLogic.h"
#include "ui/PictureGeometry.h"
#include "ui/VectorMapDrawing.h"
#include "ui/WorldMapPicture.h"

namespace mappa {
namespace {

// Offices this far off the picture cannot reach it with their markers.
constexpr int kMarkerMargin = 64;

}  // namespace

MapPictureDrawing::MapPictureDrawing(HINSTANCE instance, const MapScale& scale, const MarkerLayout& layout)
    : instance_(instance), scale_(scale), layout_(layout), stamps_(scale)
{
}

void MapPictureDrawing::loadWorldMap()
{
    picture_.loadWorldMap(instance_, scale_(kPictureWidth), scale_(kPictureHeight), scale_.lineWidth());
    bare_world_.reset();
    picture_.copyTo(bare_world_);
}

void MapPictureDrawing::drawView(const TMapFunc* table)
{
    const MapViewport& view = layout_.viewport();
    if (view.wholeWorld()) {
        picture_.copyFrom(bare_world_);
    } else {
        if (!vectors_) vectors_ = WorldVectors::Parse(WorldVectorBytes(instance_));
        DrawVectorView(*vectors_, view, picture_.pixels());
    }
    drawMap(table);
}

void MapPictureDrawing::drawMap(const TMapFunc* table)
{
    const MapViewport& view = layout_.viewport();
    if (view.wholeWorld() && layout_.filter().showsAll()) {
        const std::size_t count = layout_.officeCount();
        for (std::size_t i = 0; i < count; ++i) {
            const LocationView& location = table->Locations[i];
            const MarkerStyle marker = scale_.markerFor(KindOfOffice(location.OfficeType));
            plotLocation(location, marker.colour, marker.size);
        }
        return;
    }
    if (!view.wholeWorld()) {
        // Groups over single offices, so that a count is never hidden.
        for (const bool groups : {false, true})
            for (const OfficeMarker& marker : layout_.markers()) {
                if (marker.isGroup() != groups) continue;
                const MapPoint at = layout_.markerPlace(marker);
                if (groups) {
                    picture_.stamp(stamps_.group(marker.count), at.x, at.y);
                    continue;
                }
                LocationView location = table->Locations[marker.office];
                location.MapX = at.x;
                location.MapY = at.y;
                const MarkerStyle style = scale_.markerFor(KindOfOffice(location.OfficeType));
                plotLocation(location, style.colour, style.size);
            }
        GdiFlush();
        return;
    }
    // The shown offices at their places in the view.
    const std::span<const MapPoint> places = layout_.finder().places();
    const std::span<const std::size_t> offices = layout_.finder().placedOffices();
    for (std::size_t k = 0; k < places.size(); ++k) {
        const MapPoint at = places[k];
        if (at.x < -kMarkerMargin || at.y < -kMarkerMargin || at.x >= picture_.width() + kMarkerMargin ||
            at.y >= picture_.height() + kMarkerMargin)
            continue;
        LocationView location = table->Locations[offices[k]];
        location.MapX = at.x;
        location.MapY = at.y;
        const MarkerStyle marker = scale_.markerFor(KindOfOffice(location.OfficeType));
        plotLocation(location, marker.colour, marker.size);
    }
}

void MapPictureDrawing::plotLocation(const LocationView& location, Rgb colour, int size)
{
    picture_.stamp(stamps_.office(colour, size), location.MapX, location.MapY);
}

}  // namespace mappa
