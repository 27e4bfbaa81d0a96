// The map window at its monitor's display density: its size, and laying
// itself out anew when the density changes (another monitor, another scaling).
#include "ui/UMapUI.h"

#include "support/DisplayDpi.h"
#include "ui/MapLayout.h"

namespace mappa {

SIZE TMapUI::frameSize(const MapScale& scale) const
{
    return FrameSize(scale(kClientWidth), scale(kClientHeight), kStyle, 0, scale.dpi());
}

void TMapUI::loadPicture(const MapScale& scale)
{
    picture_.loadWorldMap(instance_, scale(kPictureWidth), scale(kPictureHeight), scale.lineWidth());
}

void TMapUI::setScale(const MapScale& scale)
{
    // The new picture first: when it cannot be made, the window stays as it was.
    const int old_dpi = scale_.dpi();
    loadPicture(scale);
    scale_ = scale;
    controls_.setScale(scale_);

    stamps_.clear();
    lineShown = false;
    curMouse = {MulDivRounded(curMouse.x, scale_.dpi(), old_dpi), MulDivRounded(curMouse.y, scale_.dpi(), old_dpi)};
    if (mapData_) {
        computePositions();
        drawMap();
        mapData_->CleanMap.reset();
        picture_.copyTo(mapData_->CleanMap);
    }
    if (ringed_) {
        const MapPoint at = TMapFunc::projectLocation(*ringed_, picture_.width(), picture_.height());
        ringed_->MapX = at.x;
        ringed_->MapY = at.y;
        overlayLocation(*ringed_, kRingColour, scale_.ringSizeFor(KindOfOffice(ringed_->OfficeType)));
    }
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

LRESULT TMapUI::dpiChanged(int dpi, const RECT& suggested)
{
    // Any density that another program may send is not one to lay out for.
    if (!MapScale::IsUsableDpi(dpi) || dpi == scale_.dpi()) return 0;
    setScale(MapScale(dpi));
    // The suggested place; the size is the window's own at that density, which
    // is what the system suggests when it has asked (WM_GETDPISCALEDSIZE).
    SIZE frame = frameSize(scale_);
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
