// Which office the pointer and the keys select on the map picture: the one
// nearest to a point, the one that a click picks (zooming in on a group that
// a deeper scale parts, or offering a group's offices by name when none
// does), and the nearest one in the direction of an arrow key.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>

#include "mapdata/MapFunc.h"
#include "ui/MapControls.h"
#include "ui/MapKeyboard.h"
#include "ui/MapNavigation.h"
#include "ui/MapPicturePointer.h"
#include "ui/MarkerLayout.h"

namespace mappa {

class OfficePicker {
public:
    OfficePicker(const MapControls& controls, const MarkerLayout& layout, MapPicturePointer& pointer,
                 MapNavigation& navigation);

    // The window that owns the menu of a group's offices, once it exists.
    void create(HWND window) { window_ = window; }
    // The window's office table, once shown.
    void setTable(const TMapFunc* table) { table_ = table; }

    // The shown office nearest to `point`; resets the cursor. 0 without offices.
    std::size_t nearestLocation(MapPoint point);
    // The office that a click at the last pointer position selects; resets the cursor.
    std::optional<std::size_t> clickedOffice();
    // The nearest office that way from office `from` (from the picture's centre when none).
    std::optional<std::size_t> officeInDirection(std::optional<std::size_t> from, MapDirection direction) const;

private:
    // A group whose offices no scale parts: the user picks one of them by name.
    std::optional<std::size_t> chooseFromGroup(GroupId group);

    const MapControls& controls_;
    const MarkerLayout& layout_;
    MapPicturePointer& pointer_;
    MapNavigation& navigation_;
    HWND window_ = nullptr;
    const TMapFunc* table_ = nullptr;
};

}  // namespace mappa
