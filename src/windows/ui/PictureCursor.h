// The map picture's cursor: the arrow, or the hand within reach of a marker;
// set at once while the pointer is over the picture.
#pragma once

#include <windows.h>

#include "ui/MapControls.h"

namespace mappa {

class PictureCursor {
public:
    // The cursor of the `Image1` control of `controls`.
    explicit PictureCursor(const MapControls& controls);

    // The hand or the arrow; `pointer` is where the pointer is on the screen, when known.
    void show(bool hand, const POINT* pointer = nullptr);
    HCURSOR current() const { return current_; }

private:
    const MapControls& controls_;
    HCURSOR arrow_ = nullptr;
    HCURSOR hand_ = nullptr;
    HCURSOR current_ = nullptr;
};

}  // namespace mappa
