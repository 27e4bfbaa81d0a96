#include "ui/PictureCursor.h"

namespace mappa {

PictureCursor::PictureCursor(const MapControls& controls)
    : controls_(controls), arrow_(LoadCursor(nullptr, IDC_ARROW)), hand_(LoadCursor(nullptr, IDC_HAND)), current_(arrow_)
{
}

void PictureCursor::show(bool hand, const POINT* pointer)
{
    const HCURSOR cursor = hand ? hand_ : arrow_;
    if (cursor == current_) return;
    current_ = cursor;
    POINT now{};
    if (!pointer) {
        GetCursorPos(&now);
        pointer = &now;
    }
    if (WindowFromPoint(*pointer) == controls_.handle(MapControl::Image1)) SetCursor(cursor);
}

}  // namespace mappa
