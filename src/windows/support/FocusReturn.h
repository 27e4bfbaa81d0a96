// As a dialog does: the control that had the focus in a window has it again
// when the window is activated again.
#pragma once

#include <windows.h>

namespace mappa {

class FocusReturn {
public:
    // WM_ACTIVATE of `window`: notes the focused control as the window goes
    // inactive, gives it the focus back as the window returns. True when it did.
    bool activated(HWND window, WPARAM wParam)
    {
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus && IsChild(window, focus)) control_ = focus;
            return false;
        }
        if (!control_ || !IsWindow(control_) || IsIconic(window)) return false;
        SetFocus(control_);
        return true;
    }

    // Gives `control` the focus, now when `window` is the active one, otherwise when it is activated.
    void moveTo(HWND window, HWND control)
    {
        control_ = control;
        if (GetActiveWindow() == window) SetFocus(control_);
    }

private:
    HWND control_ = nullptr;
};

}  // namespace mappa
