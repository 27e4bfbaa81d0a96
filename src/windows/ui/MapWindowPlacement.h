// Where the map window opens and what it leaves for the next start: its
// saved placement (per user), restored as it shows and saved as it closes.
#pragma once

#include <windows.h>

#include <functional>

#include "support/Support2PlacementWin.h"

namespace mappa {

class MapWindowPlacement {
public:
    using Hook = std::function<void(const PlacementWindow& window)>;

    // The window of class `className` whose handle `window` holds.
    MapWindowPlacement(const char* className, const HWND& window);

    // Replaces how the window restores and saves its placement (the tests turn it off).
    void setHooks(Hook restore, Hook save);
    // The window as the placement reads and writes it.
    PlacementWindow window() const;
    void restore() const;
    void save() const;

private:
    const char* class_name_;
    const HWND& window_;
    Hook restore_;
    Hook save_;
};

}  // namespace mappa
