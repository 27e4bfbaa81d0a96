// How the map window's controls look: those that the program draws itself
// (the panel's face and the shapes; the picture's messages go on to the
// view), the colours of the static texts and links, and the hand cursor
// over a link.
#pragma once

#include <windows.h>

#include <functional>

#include "ui/MapControls.h"
#include "ui/MapPictureView.h"

namespace mappa {

class MapControlPainting {
public:
    // The window class of the controls that the program draws itself.
    static constexpr const char* kClassName = "MappaControl";

    // `panelMouseMove` runs when the pointer moves over the panel.
    MapControlPainting(HINSTANCE instance, const MapControls& controls, MapPictureView& view,
                       std::function<void()> panelMouseMove);

    // WM_CTLCOLORSTATIC: the colours of a static control, and the brush of its background.
    LRESULT colourStatic(HDC dc, HWND control) const;
    // WM_SETCURSOR: the hand over a link; false when the cursor is left as it is.
    bool setCursor(HWND control, UINT hitTest) const;

private:
    static LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleChild(HWND child, UINT message, WPARAM wParam, LPARAM lParam);

    const MapControls& controls_;
    MapPictureView& view_;
    std::function<void()> panel_mouse_move_;
    HBRUSH face_brush_ = nullptr;  // the system's, not ours to delete
    HCURSOR hand_cursor_ = nullptr;
};

}  // namespace mappa
