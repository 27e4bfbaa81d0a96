// The map picture and the pointer: the dotted guide line to the marker nearest
// to it, the hand cursor near a marker and the names on hover.
#pragma once

#include <windows.h>

#include <string>

#include "mapdata/MapFunc.h"
#include "ui/HoverTip.h"
#include "ui/MapControls.h"
#include "ui/MapPicture.h"
#include "ui/MarkerLayout.h"
#include "ui/PictureCursor.h"
#include "ui/PictureGeometry.h"

namespace mappa {

// The guide line: from where the pointer was (`lastMouse`) to the office it
// was nearest to (`hoverLoc`), while `lineShown`; `curMouse` is the latest
// pointer position over the picture, in picture pixels.
struct GuideState {
    bool lineShown = false;
    MapPoint lastMouse;
    MapPoint curMouse;
    MapPoint hoverLoc;
};

class MapPicturePointer {
public:
    // Draws on `picture` (the `Image1` control of `controls`) to the markers of `layout`.
    MapPicturePointer(const MapControls& controls, MapPicture& picture, const MarkerLayout& layout);

    // Once the controls exist: the names on hover.
    void create(HINSTANCE instance, HWND window);
    // The window's office table, once shown.
    void setTable(TMapFunc* table) { table_ = table; }

    // The pointer moved to (x, y) in the picture: the guide line and the cursor.
    void track(int x, int y, POINT pointer);
    // The pointer left the picture for the window: the clean map, no line.
    void clearGuide();
    // The picture was drawn anew (the view moved): no line on it, no tip.
    void pictureRedrawn();
    // The density changed from `oldDpi` to `newDpi`.
    void rescale(int oldDpi, int newDpi);
    void resetCursor() { cursor_.show(false); }

    const GuideState& guide() const { return guide_; }
    HCURSOR cursor() const { return cursor_.current(); }
    HoverTip& hoverTip() { return hover_tip_; }
    const HoverTip& hoverTip() const { return hover_tip_; }
    // The screen rectangle inside which a move draws the guide line: from the
    // window's outer rectangle, the panel's place and the frame's height.
    RECT onScreen() const;
    // The hover tooltip's text for the pointer at `picture`: the names (and
    // local times) of the offices under it.
    std::string hoverTextAt(MapPoint picture) const;

private:
    ScreenRect rectOnScreen() const;

    const MapControls& controls_;
    MapPicture& picture_;
    const MarkerLayout& layout_;
    HWND window_ = nullptr;
    TMapFunc* table_ = nullptr;
    GuideState guide_;
    PictureCursor cursor_;
    HoverTip hover_tip_;
};

}  // namespace mappa
