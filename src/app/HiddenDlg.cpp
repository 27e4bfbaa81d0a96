#include "app/HiddenDlg.h"

#include "support/WinError.h"

namespace mappa {

THiddenForm::THiddenForm(HINSTANCE instance, HWND owner, HWND mapWindow) : map_window_(mapWindow)
{
    constexpr DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
    constexpr DWORD extended = WS_EX_DLGMODALFRAME;
    RECT bounds{0, 0, 274, 53};
    AdjustWindowRectEx(&bounds, style, FALSE, extended);
    createWindow(instance, extended, "Kestrelon - Worldwide Locations.", style, 32, 103, bounds.right - bounds.left,
                 bounds.bottom - bounds.top, owner);
    if (!window_) throw WindowsError(HRESULT_FROM_WIN32(GetLastError()), "Cannot create the companion window");
    font_.reset(CreateFontW(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"MS Sans Serif"));
    HWND label = CreateWindowExW(0, L"STATIC", L"This window should not appear", WS_CHILD | WS_VISIBLE | SS_LEFT, 8, 8,
                                 147, 13, window_, nullptr, instance, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    ShowWindow(window_, SW_SHOWNA);
}

// The window goes before the font that its label uses.
THiddenForm::~THiddenForm() { destroyWindow(); }

void THiddenForm::FormActivate()
{
    if (map_window_) SetWindowPos(map_window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void THiddenForm::moveTo(int left, int top)
{
    if (!window_) return;
    RECT bounds{};
    GetWindowRect(window_, &bounds);
    SetWindowPos(window_, nullptr, left, bounds.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT THiddenForm::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) FormActivate();
        break;
    case WM_CLOSE:
        // Closing it from its system menu only hides it.
        ShowWindow(window_, SW_HIDE);
        return 0;
    default: break;
    }
    return defaultHandling(message, wParam, lParam);
}

}  // namespace mappa
