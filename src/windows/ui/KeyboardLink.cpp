#include "ui/KeyboardLink.h"

#include "support/WindowSubclass.h"

namespace mappa {
namespace {

bool IsActivationKey(WPARAM key) { return key == VK_RETURN || key == VK_SPACE; }

LRESULT KeyboardLinkProcedure(const SubclassCall& call, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND window = call.window();
    switch (message) {
    case WM_GETDLGCODE: {
        // Enter would otherwise go to the window as its default command.
        const auto* queued = reinterpret_cast<const MSG*>(lParam);
        LRESULT code = call.next(message, wParam, lParam);
        if (queued && queued->message == WM_KEYDOWN && queued->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
        return code;
    }
    case WM_KEYDOWN:
        // A key held down opens the link once.
        if (IsActivationKey(wParam) && !(lParam & (1 << 30))) {
            PostMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), STN_CLICKED),
                         reinterpret_cast<LPARAM>(window));
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == L' ' || wParam == L'\r') return 0;
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(window, nullptr, TRUE); break;
    case WM_PAINT: {
        const LRESULT result = call.next(message, wParam, lParam);
        if (GetFocus() == window && !wParam) {
            RECT bounds{};
            GetClientRect(window, &bounds);
            if (HDC dc = GetDC(window)) {
                DrawFocusRect(dc, &bounds);
                ReleaseDC(window, dc);
            }
        }
        return result;
    }
    default: break;
    }
    return call.next(message, wParam, lParam);
}

}  // namespace

void MakeKeyboardLink(HWND control) { SubclassWindow(control, &KeyboardLinkProcedure, nullptr); }

}  // namespace mappa
