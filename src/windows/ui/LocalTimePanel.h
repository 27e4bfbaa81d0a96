// The map window's local time panel: the shown office's wall clock and
// opening state, shown again as each minute turns.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>

#include "mapdata/MapFunc.h"
#include "ui/MapControls.h"

namespace mappa {

class LocalTimePanel {
public:
    // The panel is the `ldLocalTime` control of `controls`.
    explicit LocalTimePanel(MapControls& controls) : controls_(controls) {}

    // The window whose timer turns the minutes, once it exists.
    void create(HWND window) { window_ = window; }
    // Shows the time of `location`, slot `index` of `table` when it is one (for
    // its hours and zone lines).
    void show(const TLocation& location, std::optional<std::size_t> index, const TMapFunc* table);
    // The shown office's time again: a minute has turned, or the language changed.
    void refresh(const TMapFunc* table);
    bool ownsTimer(UINT_PTR timer) const { return timer == kTimer; }

private:
    static constexpr UINT_PTR kTimer = 0x4C54;  // "LT"

    MapControls& controls_;
    HWND window_ = nullptr;
    std::optional<TLocation> office_;  // the office whose local time shows
    std::optional<std::size_t> index_;  // its slot, for its hours and zone lines
};

}  // namespace mappa
