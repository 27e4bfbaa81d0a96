// The picture control's messages: painting, the keys on the focused map, the
// mouse (clicks, drags, the wheel) and the context menu. Zooming, panning and
// the filter go to the view; a pointer move, a click, an arrow key and Enter
// go on to the window.
#pragma once

#include <windows.h>

#include <functional>

#include "ui/MapKeyboard.h"
#include "ui/OfficeFilter.h"
#include "ui/PictureGeometry.h"

namespace mappa {

class MapPictureView;

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

    explicit MapPictureInput(MapPictureView& view) : view_(view) {}
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

    MapPictureView& view_;
    Events events_;
    int wheel_ = 0;  // wheel rotation not yet used, below WHEEL_DELTA
    POINT press_{};
    bool pressed_ = false;
    bool dragging_ = false;
};

}  // namespace mappa
