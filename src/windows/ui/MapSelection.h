// Which office the map window has selected, and showing an office: its ring on
// the picture, its contact details in the panels and its local time.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>

#include "mapdata/MapFunc.h"
#include "ui/LocalTimePanel.h"
#include "ui/MapPanels.h"
#include "ui/MapPictureView.h"
#include "ui/MapWindowHooks.h"

namespace mappa {

class MapSelection {
public:
    // `table` holds the window's table once it is loaded; `hooks` hears of each office selected.
    MapSelection(MapPictureView& view, MapPanels& panels, LocalTimePanel& localTime, const MapWindowHooks& hooks,
                 const std::unique_ptr<TMapFunc>& table)
        : view_(view), panels_(panels), local_time_(localTime), hooks_(hooks), table_(table)
    {
    }

    // Shows office `index` as clicking its marker does, and makes it the selected office.
    void select(std::size_t index);
    // Shows what the country list found, `location`, and selects office `found`
    // when it is one of the table; otherwise none is selected.
    void choose(const TLocation& location, std::optional<std::size_t> found);
    // Shows `location`, office `index` of the table when it is one, leaving the selection as it is.
    void show(const TLocation& location, std::optional<std::size_t> index);
    // The office shown last by a click, the country list, the find dialog or the keys.
    std::optional<std::size_t> office() const { return selected_; }

private:
    MapPictureView& view_;
    MapPanels& panels_;
    LocalTimePanel& local_time_;
    const MapWindowHooks& hooks_;
    const std::unique_ptr<TMapFunc>& table_;
    std::optional<std::size_t> selected_;
};

}  // namespace mappa
