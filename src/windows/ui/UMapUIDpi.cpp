// The map window at its monitor's display density: its size, and laying
// itself out anew when the density changes (another monitor, another scaling).
#include "ui/UMapUI.h"

#include "support/DisplayDpi.h"
#include "ui/MapLayout.h"

namespace mappa {

LRESULT TMapUI::dpiChanged(int dpi, const RECT& suggested)
{
    // Any density that another program may send is not one to lay out for.
    if (!MapScale::IsUsableDpi(dpi) || dpi == scale_.dpi()) return 0;
    // The new picture first: when it cannot be made, the window stays as it was.
    const MapScale old_scale = scale_;
    scale_ = MapScale(dpi);
    try {
        view_.loadPicture();
    } catch (...) {
        scale_ = old_scale;
        throw;
    }
    controls_.setScale(scale_);
    view_.rescale(old_scale.dpi());
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
    // The suggested place; the size is the window's own at that density, which
    // is what the system suggests when it has asked (WM_GETDPISCALEDSIZE).
    SIZE frame = MapFrameSize(scale_);
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, frame.cx, frame.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    // A system that keeps the frame as it was (Wine does) leaves the client area
    // off by the difference: the window grows or shrinks by it.
    RECT client{};
    GetClientRect(window_, &client);
    const int wider = scale_(kClientWidth) - client.right, higher = scale_(kClientHeight) - client.bottom;
    if (wider != 0 || higher != 0) {
        frame.cx += wider;
        frame.cy += higher;
        SetWindowPos(window_, nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return 0;
}

}  // namespace mappa
