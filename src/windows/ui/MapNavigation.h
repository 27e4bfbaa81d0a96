// Where the map picture looks and which offices it shows: zooming about a
// point, panning, the whole world again, the filter of office kinds, and a
// zoomed view following the selection. The picture is drawn anew by whoever
// hears of each change.
#pragma once

#include <cstdint>
#include <functional>

#include "mapdata/MapFunc.h"
#include "ui/MapPicture.h"
#include "ui/MapScale.h"
#include "ui/MarkerLayout.h"
#include "ui/OfficeFilter.h"

namespace mappa {

class MapNavigation {
public:
    enum class Change { View, Filter };

    // Moves the view of `layout` over `picture`; `changed` hears of every change.
    MapNavigation(MarkerLayout& layout, const MapPicture& picture, const MapScale& scale,
                  std::function<void(Change)> changed);

    // At scale 1 the view is the whole world, the designed picture.
    bool zoom(int steps, MapPoint about);
    bool pan(std::int32_t dx, std::int32_t dy);
    void resetView();
    // A zoomed view moves so that `location` is in it, with room for its ring.
    void follow(const TLocation& location);
    const MapViewport& viewport() const { return layout_.viewport(); }
    void setFilter(const OfficeFilter& filter);
    const OfficeFilter& filter() const { return layout_.filter(); }
    // Groups the offices ahead of the first zoom (at 100k offices that takes
    // tens of milliseconds), so that the first step does not wait for it.
    void prepareGroups() const { layout_.groups(); }

private:
    MarkerLayout& layout_;
    const MapPicture& picture_;
    const MapScale& scale_;
    std::function<void(Change)> changed_;
};

}  // namespace mappa
