// The picture control's messages: painting, the keys on the focused map, the
// mouse (clicks, drags, the wheel) and the context menu. Zooming, panning and
// the filter go to the navigation; a pointer move, a click, an arrow key and Enter
// go on to the window.
#pragma once

#include <windows.h>

#include <functional>

#include "ui/MapKeyboard.h"
#include "ui/MapNavigation.h"
#include "ui/MapPicture.h"
#include "ui/MapPicturePointer.h"
#include "ui/OfficeFilter.h"
#include "ui/PictureGeometry.h"
#include "ui/SelectionRing.h"

namespace mappa {

class MapPictureInput {
public:
    // What the picture hands on to its window: a pointer move to (x, y) in
    // the picture, with the pointer at `pointer` on the screen; a click; an
    // arrow key; Enter; the user's new filter.
    struct Events {
        std::function<void(int x, int y, POINT pointer)> moved;
        std::function<void()> clicked;
        std::function<void(MapDirection)> arrow;
        std::function<void()> enter;
        std::function<void(const OfficeFilter&)> filterChanged;
    };

    MapPictureInput(const MapPicture& picture, MapNavigation& navigation, const SelectionRing& ring,
                    MapPicturePointer& pointer)
        : picture_(picture), navigation_(navigation), ring_(ring), pointer_(pointer)
    {
    }
    void setEvents(Events events) { events_ = std::move(events); }

    LRESULT handleMessage(HWND picture, UINT message, WPARAM wParam, LPARAM lParam);

private:
    LRESULT handleKey(HWND picture, UINT message, WPARAM wParam, LPARAM lParam);
    bool zoomKey(WPARAM key);
    void openMenu(HWND picture, POINT screen);
    // Where keys zoom about and the keyboard's menu opens.
    MapPoint anchor() const;
    // A screen point on the picture, kept inside it.
    MapPoint onPicture(HWND picture, POINT screen) const;

    const MapPicture& picture_;
    MapNavigation& navigation_;
    const SelectionRing& ring_;
    MapPicturePointer& pointer_;
    Events events_;
    int wheel_ = 0;  // wheel rotation not yet used, below WHEEL_DELTA
    POINT press_{};
    bool pressed_ = false;
    bool dragging_ = false;
};

}  // namespace mappa
