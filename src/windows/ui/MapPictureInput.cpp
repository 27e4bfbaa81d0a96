#include "ui/MapPictureInput.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "support/UiText.h"
#include "ui/MapLayout.h"

namespace mappa {
namespace {

std::optional<MapDirection> DirectionOf(WPARAM key)
{
    switch (key) {
    case VK_LEFT: return MapDirection::Left;
    case VK_RIGHT: return MapDirection::Right;
    case VK_UP: return MapDirection::Up;
    case VK_DOWN: return MapDirection::Down;
    default: return std::nullopt;
    }
}

// The context menu's commands.
enum MenuCommand : UINT { kZoomIn = 1, kZoomOut, kWholeWorld, kShowSales, kShowSupport, kShowOther };

bool CtrlDown() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }
bool ShiftDown() { return (GetKeyState(VK_SHIFT) & 0x8000) != 0; }

}  // namespace

MapPoint MapPictureInput::anchor() const
{
    // The ringed office when it is in view, else the picture's centre.
    return ring_.where().value_or(PictureCentre(picture_.width(), picture_.height()));
}

MapPoint MapPictureInput::onPicture(HWND picture, POINT screen) const
{
    ScreenToClient(picture, &screen);
    return {std::clamp<std::int32_t>(screen.x, 0, picture_.width() - 1),
            std::clamp<std::int32_t>(screen.y, 0, picture_.height() - 1)};
}

bool MapPictureInput::zoomKey(WPARAM key)
{
    const MapPoint about = anchor();
    switch (key) {
    case VK_ADD:
    case VK_OEM_PLUS: navigation_.zoom(1, about); return true;
    case VK_SUBTRACT:
    case VK_OEM_MINUS: navigation_.zoom(-1, about); return true;
    case VK_HOME: navigation_.resetView(); return true;
    default: return false;
    }
}

void MapPictureInput::openMenu(HWND picture, POINT screen)
{
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    const auto checked = [&](OfficeKind kind) { return navigation_.filter().shows(kind) ? MF_CHECKED : MF_UNCHECKED; };
    AppendMenuW(menu, MF_STRING | (navigation_.viewport().scale() < MapViewport::kMaxScale ? 0 : MF_GRAYED), kZoomIn, UiText(IDS_MENU_ZOOM_IN).c_str());
    AppendMenuW(menu, MF_STRING | (navigation_.viewport().wholeWorld() ? MF_GRAYED : 0), kZoomOut, UiText(IDS_MENU_ZOOM_OUT).c_str());
    AppendMenuW(menu, MF_STRING | (navigation_.viewport().wholeWorld() ? MF_GRAYED : 0), kWholeWorld, UiText(IDS_MENU_WHOLE_WORLD).c_str());
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | checked(OfficeKind::Sales), kShowSales, UiText(IDS_MENU_SALES_OFFICES).c_str());
    AppendMenuW(menu, MF_STRING | checked(OfficeKind::Support), kShowSupport, UiText(IDS_MENU_SUPPORT_OFFICES).c_str());
    AppendMenuW(menu, MF_STRING | checked(OfficeKind::Other), kShowOther, UiText(IDS_MENU_OTHER_OFFICES).c_str());
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y, 0,
                       GetAncestor(picture, GA_ROOT), nullptr));
    DestroyMenu(menu);

    // Zooming from the menu goes about where it was opened.
    const MapPoint about = onPicture(picture, screen);
    OfficeFilter filter = navigation_.filter();
    switch (command) {
    case kZoomIn: navigation_.zoom(1, about); return;
    case kZoomOut: navigation_.zoom(-1, about); return;
    case kWholeWorld: navigation_.resetView(); return;
    case kShowSales: filter.show(OfficeKind::Sales, !filter.shows(OfficeKind::Sales)); break;
    case kShowSupport: filter.show(OfficeKind::Support, !filter.shows(OfficeKind::Support)); break;
    case kShowOther: filter.show(OfficeKind::Other, !filter.shows(OfficeKind::Other)); break;
    default: return;
    }
    navigation_.setFilter(filter);
    if (events_.filterChanged) events_.filterChanged(navigation_.filter());
}

LRESULT MapPictureInput::handleKey(HWND picture, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETDLGCODE) {
        // The arrows move the selection, and Enter shows it, rather than moving between controls.
        const auto* queued = reinterpret_cast<const MSG*>(lParam);
        LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
        if (queued && queued->message == WM_KEYDOWN && queued->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
        return code;
    }
    if (const auto direction = DirectionOf(wParam)) {
        if (CtrlDown()) {
            // A quarter of the picture that way.
            const std::int32_t dx = picture_.width() / 4, dy = picture_.height() / 4;
            switch (*direction) {
            case MapDirection::Left: navigation_.pan(-dx, 0); break;
            case MapDirection::Right: navigation_.pan(dx, 0); break;
            case MapDirection::Up: navigation_.pan(0, -dy); break;
            case MapDirection::Down: navigation_.pan(0, dy); break;
            }
        } else {
            events_.arrow(*direction);
        }
        return 0;
    }
    if (zoomKey(wParam)) return 0;
    if (wParam == VK_RETURN) {
        events_.enter();
        return 0;
    }
    return DefWindowProcW(picture, message, wParam, lParam);
}

LRESULT MapPictureInput::handleMessage(HWND picture, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        const PaintDc paint(picture);
        picture_.paint(paint.get());
        if (GetFocus() == picture) {
            RECT bounds{};
            GetClientRect(picture, &bounds);
            DrawFocusRect(paint.get(), &bounds);
        }
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(picture, nullptr, FALSE); return 0;
    case WM_GETDLGCODE:
    case WM_KEYDOWN: return handleKey(picture, message, wParam, lParam);
    case WM_CHAR:
        // The keys' characters: + and - are handled as keys.
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F10 && ShiftDown()) return 0;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        // The context menu from the keyboard opens at the ring, or at the picture's centre.
        if (wParam == VK_APPS || (wParam == VK_F10 && ShiftDown())) {
            const MapPoint at = anchor();
            POINT screen{at.x, at.y};
            ClientToScreen(picture, &screen);
            openMenu(picture, screen);
            return 0;
        }
        break;
    case WM_CONTEXTMENU: {
        POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (screen.x == -1 && screen.y == -1) {
            const MapPoint at = anchor();
            screen = {at.x, at.y};
            ClientToScreen(picture, &screen);
        }
        openMenu(picture, screen);
        return 0;
    }
    case WM_MOUSEWHEEL: {
        // Each notch doubles or halves the scale about the pointer; smaller turns add up.
        wheel_ += GET_WHEEL_DELTA_WPARAM(wParam);
        const int steps = wheel_ / WHEEL_DELTA;
        wheel_ -= steps * WHEEL_DELTA;
        if (steps != 0) navigation_.zoom(steps, onPicture(picture, {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
        return 0;
    }
    case WM_MOUSELEAVE: pointer_.hoverTip().pointerLeft(); return 0;
    case WM_MOUSEMOVE: {
        const POINT now{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (pressed_ && !dragging_) {
            // A drag once the pointer leaves the system's drag rectangle about the press.
            const int cx = GetSystemMetrics(SM_CXDRAG), cy = GetSystemMetrics(SM_CYDRAG);
            dragging_ = std::abs(now.x - press_.x) > cx / 2 || std::abs(now.y - press_.y) > cy / 2;
            if (dragging_) pointer_.hoverTip().hide();
        }
        if (dragging_) {
            navigation_.pan(press_.x - now.x, press_.y - now.y);
            press_ = now;
            return 0;
        }
        // Where the pointer was when it moved; asking the system again
        // costs a round trip to the display under Wine.
        const DWORD at = GetMessagePos();
        events_.moved(now.x, now.y, {GET_X_LPARAM(at), GET_Y_LPARAM(at)});
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetFocus(picture);
        pressed_ = true;
        dragging_ = false;
        press_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        SetCapture(picture);
        return 0;
    case WM_LBUTTONUP: {
        const bool pressed = pressed_;
        const bool dragged = dragging_;
        pressed_ = false;
        dragging_ = false;
        ReleaseCapture();
        RECT bounds{};
        GetClientRect(picture, &bounds);
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        // A drag is never a click.
        if (pressed && !dragged && PtInRect(&bounds, at)) events_.clicked();
        return 0;
    }
    case WM_CAPTURECHANGED:
        pressed_ = false;
        dragging_ = false;
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(pointer_.cursor());
            return TRUE;
        }
        break;
    default: break;
    }
    return DefWindowProcW(picture, message, wParam, lParam);
}

}  // namespace mappa
