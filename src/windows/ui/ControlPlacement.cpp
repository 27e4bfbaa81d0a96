#include "ui/ControlPlacement.h"

namespace mappa {

ControlBounds ControlPlacement::boundsOf(const ControlLayout& layout) const
{
    ControlBounds bounds = scale_.bounds(layout);
    // The drop-down list of the combo box needs room below its edit part.
    if (layout.kind == ControlKind::ComboBox) bounds.height = scale_(300);
    return bounds;
}

ControlBounds ControlPlacement::boundsIn(const ControlLayout& layout, HWND window) const
{
    ControlBounds bounds = boundsOf(layout);
    if (mirrored_ && layout.kind == ControlKind::Panel) {
        // Placed from the mirrored window's right edge, so that it stays where it is.
        RECT client{};
        GetClientRect(window, &client);
        bounds.left = client.right - bounds.left - bounds.width;
    }
    return bounds;
}

}  // namespace mappa
