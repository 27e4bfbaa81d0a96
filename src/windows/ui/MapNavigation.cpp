#include "ui/MapNavigation.h"

#include "ui/MapLogic.h"

namespace mappa {

MapNavigation::MapNavigation(MarkerLayout& layout, const MapPicture& picture, const MapScale& scale,
                             std::function<void(Change)> changed)
    : layout_(layout), picture_(picture), scale_(scale), changed_(std::move(changed))
{
}

bool MapNavigation::zoom(int steps, MapPoint about)
{
    if (!layout_.viewport().zoom(steps, about)) return false;
    changed_(Change::View);
    return true;
}

bool MapNavigation::pan(std::int32_t dx, std::int32_t dy)
{
    if (!layout_.viewport().pan(dx, dy)) return false;
    changed_(Change::View);
    return true;
}

void MapNavigation::resetView()
{
    if (layout_.viewport().wholeWorld()) return;
    layout_.viewport().reset();
    changed_(Change::View);
}

void MapNavigation::follow(const TLocation& location)
{
    MapViewport& view = layout_.viewport();
    if (view.wholeWorld()) return;
    const MapPoint place =
        LocationTable::projectLocation(location, picture_.width() * view.scale(), picture_.height() * view.scale());
    if (view.bringIntoView(place, scale_.ringSizeFor(KindOfOffice(location.OfficeType)))) changed_(Change::View);
}

void MapNavigation::setFilter(const OfficeFilter& filter)
{
    if (layout_.setFilter(filter)) changed_(Change::Filter);
}

}  // namespace mappa
