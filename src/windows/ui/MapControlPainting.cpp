#include "ui/MapControlPainting.h"

#include "support/Support2Win.h"
#include "support/WindowBase.h"
#include "ui/MapLayout.h"

namespace mappa {
namespace {

constexpr Rgb kLinkColour{0, 0, 255};

}  // namespace

MapControlPainting::MapControlPainting(HINSTANCE instance, const MapControls& controls, MapPictureView& view,
                                       std::function<void()> panelMouseMove)
    : controls_(controls), view_(view), panel_mouse_move_(std::move(panelMouseMove))
{
    static const bool registered =
        (RegisterWindowClass(instance, {kClassName, IDC_ARROW, COLOR_BTNFACE}, &ChildProc), true);
    (void)registered;
    face_brush_ = GetSysColorBrush(COLOR_BTNFACE);
    hand_cursor_ = LoadCursor(nullptr, IDC_HAND);
}

LRESULT MapControlPainting::colourStatic(HDC dc, HWND control) const
{
    const ControlLayout* layout = controls_.layoutOf(control);
    const bool link = layout && (layout->traits & kLinkStyle);
    SetTextColor(dc, link ? ToColorRef(kLinkColour) : GetSysColor(COLOR_BTNTEXT));
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(face_brush_);
}

bool MapControlPainting::setCursor(HWND control, UINT hitTest) const
{
    const ControlLayout* layout = controls_.layoutOf(control);
    if (!layout || !(layout->traits & kLinkStyle) || hitTest != HTCLIENT) return false;
    SetCursor(hand_cursor_);
    return true;
}

LRESULT CALLBACK MapControlPainting::ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<MapControlPainting*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    return GuardedMessage([&] { return self->handleChild(window, message, wParam, lParam); });
}

LRESULT MapControlPainting::handleChild(HWND child, UINT message, WPARAM wParam, LPARAM lParam)
{
    const ControlLayout* layout = controls_.layoutOf(child);
    if (!layout) return DefWindowProcW(child, message, wParam, lParam);

    switch (layout->kind) {
    case ControlKind::Picture: return view_.handleMessage(child, message, wParam, lParam);
    case ControlKind::Panel:
        if (message == WM_MOUSEMOVE) {
            if (panel_mouse_move_) panel_mouse_move_();
            return 0;
        }
        if (message == WM_ERASEBKGND) {
            RECT bounds{};
            GetClientRect(child, &bounds);
            FillRect(reinterpret_cast<HDC>(wParam), &bounds, face_brush_);
            return 1;
        }
        break;
    case ControlKind::Shape:
        if (message == WM_NCHITTEST) return HTTRANSPARENT;
        if (message == WM_ERASEBKGND) return 1;
        if (message == WM_PAINT) {
            const PaintDc paint(child);
            controls_.paintShape(child, paint.get(), face_brush_);
            return 0;
        }
        break;
    default: break;
    }
    return DefWindowProcW(child, message, wParam, lParam);
}

}  // namespace mappa
