// The map window's messages, each handed to the handler or the part that it is for.
#include "ui/UMapUI.h"

#include <windowsx.h>

#include "support/DisplayDpi.h"
#include "ui/MapLinkHandover.h"

namespace mappa {
namespace {

using Handler = void (TMapUI::*)();

// The handler of the control whose layout names an event.
Handler HandlerOf(MapControl control)
{
    switch (control) {
    case MapControl::ComboBox1: return &TMapUI::ComboBox1Click;
    case MapControl::bCopy: return &TMapUI::bCopyClick;
    case MapControl::bExit: return &TMapUI::bExitClick;
    case MapControl::ldEmail: return &TMapUI::ldEmailClick;
    case MapControl::lsWebLink: return &TMapUI::lsWebLinkClick;
    case MapControl::lsWebLink2: return &TMapUI::lsWebLink2Click;
    default: return nullptr;
    }
}

// The notification that stands for a control's event: a click of a button or
// of a static control (BN_CLICKED and STN_CLICKED are both 0), a choice in a combo box.
bool IsEvent(ControlEvent event, UINT notification)
{
    switch (event) {
    case ControlEvent::Click: return notification == BN_CLICKED;
    case ControlEvent::Selection: return notification == CBN_SELCHANGE;
    case ControlEvent::None: break;
    }
    return false;
}

}  // namespace

LRESULT TMapUI::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COPYDATA: {
        // A link that another copy of Mappa hands over; it is read again here,
        // as anything from another process is.
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (!hooks.onLink || !data || data->dwData != MapLinkHandover::kDataTag || !data->lpData || data->cbData > MapLinkHandover::kDataLimit)
            return FALSE;
        return hooks.onLink(std::string(static_cast<const char*>(data->lpData), data->cbData)) ? TRUE : FALSE;
    }
    case WM_SHOWWINDOW:
        if (wParam && !shown_) {
            shown_ = true;
            FormShow();
        }
        break;
    case WM_CLOSE:
        FormClose();
        RequestTerminate();
        return 0;
    case WM_MOUSEMOVE: FormMouseMove(); return 0;
    case kGetDpiScaledSizeMessage: {
        if (!MapScale::IsUsableDpi(static_cast<int>(wParam))) break;
        *reinterpret_cast<SIZE*>(lParam) = MapFrameSize(MapScale(static_cast<int>(wParam)));
        return TRUE;
    }
    case kDpiChangedMessage: ChangeMapDensity(window_, parts_, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_MOVE:
        if (hooks.onMove) hooks.onMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        break;
    case WM_TIMER:
        if (wParam == kGroupingTimer) {
            KillTimer(window_, kGroupingTimer);
            parts_.view.navigation().prepareGroups();
            return 0;
        }
        if (parts_.localTime.ownsTimer(wParam)) {
            parts_.localTime.refresh(parts_.table.get());
            return 0;
        }
        if (wParam != HoverTip::kTimerId) break;
        parts_.view.pointer().hoverTip().onTimer();
        return 0;
    case WM_SYSCOMMAND:
        if (handleCommand(static_cast<UINT>(wParam & 0xFFF0))) return 0;
        break;
    case WM_ACTIVATE:
        if (parts_.focus.activated(window_, wParam)) return 0;
        break;
    case WM_INITMENUPOPUP:
        if (HIWORD(lParam)) parts_.commands.updateMenu(parts_.selection.office().has_value());
        break;
    case WM_COMMAND: {
        // Ctrl+F and Ctrl+S come as commands without a control.
        if (lParam == 0 && handleCommand(LOWORD(wParam))) return 0;
        const ControlLayout* layout = parts_.controls.layoutOf(reinterpret_cast<HWND>(lParam));
        if (layout && IsEvent(layout->event, HIWORD(wParam)))
            if (const Handler handler = HandlerOf(layout->id)) (this->*handler)();
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        return parts_.painting.colourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_SETCURSOR:
        if (parts_.painting.setCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam))) return TRUE;
        break;
    default: break;
    }
    return defaultHandling(message, wParam, lParam);
}

}  // namespace mappa
