// Where the map window's controls stand: their layout at the window's scale,
// mirrored for a language written right to left.
#pragma once

#include <windows.h>

#include "ui/MapLayout.h"
#include "ui/MapScale.h"

namespace mappa {

class ControlPlacement {
public:
    const MapScale& scale() const { return scale_; }
    void setScale(const MapScale& scale) { scale_ = scale; }
    bool mirrored() const { return mirrored_; }
    void setMirrored(bool mirrored) { mirrored_ = mirrored; }

    // The control's bounds at the scale.
    ControlBounds boundsOf(const ControlLayout& layout) const;
    // Its bounds in `window` as it is now laid out.
    ControlBounds boundsIn(const ControlLayout& layout, HWND window) const;

private:
    MapScale scale_;
    bool mirrored_ = false;
};

}  // namespace mappa
