// The map window at its monitor's display density: its size, and laying
// itself out anew when the density changes (another monitor, another scaling).
#include "ui/MapWindowParts.h"

#include "support/DisplayDpi.h"
#include "ui/MapLayout.h"

namespace mappa {

void ChangeMapDensity(HWND window, MapWindowParts& parts, int dpi, const RECT& suggested)
{
    // Any density that another program may send is not one to lay out for.
    if (!MapScale::IsUsableDpi(dpi) || dpi == parts.scale.dpi()) return;
    // The new picture first: when it cannot be made, the window stays as it was.
    const MapScale old_scale = parts.scale;
    parts.scale = MapScale(dpi);
    try {
        parts.view.loadPicture();
    } catch (...) {
        parts.scale = old_scale;
        throw;
    }
    parts.controls.setScale(parts.scale);
    parts.view.rescale(old_scale.dpi());
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    // The suggested place; the size is the window's own at that density, which
    // is what the system suggests when it has asked (WM_GETDPISCALEDSIZE).
    SIZE frame = MapFrameSize(parts.scale);
    SetWindowPos(window, nullptr, suggested.left, suggested.top, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    // A system that keeps the frame as it was (Wine does) leaves the client area
    // off by the difference: the window grows or shrinks by it.
    RECT client{};
    GetClientRect(window, &client);
    const int wider = parts.scale(kClientWidth) - client.right, higher = parts.scale(kClientHeight) - client.bottom;
    if (wider != 0 || higher != 0) {
        frame.cx += wider;
        frame.cy += higher;
        SetWindowPos(window, nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace mappa
