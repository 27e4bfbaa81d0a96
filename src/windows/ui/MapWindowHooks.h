// What the application hooks into the map window; each runs, when set, as its
// event happens.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace mappa {

struct MapWindowHooks {
    // The window has moved: its client area's screen position.
    std::function<void(int x, int y)> onMove;
    // An office was selected (by the user or through the selection):
    // its index in the table.
    std::function<void(std::size_t index)> onOfficeSelected;
    // The window is closing.
    std::function<void()> onClosing;
    // A link handed over by another copy (WM_COPYDATA, MapLinkHandover);
    // true when it was taken.
    std::function<bool(const std::string& link)> onLink;
};

}  // namespace mappa
