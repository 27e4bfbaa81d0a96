#include "app/HiddenDlg.h"

#include "support/WinError.h"

namespace mappa {

THiddenForm::THiddenForm(HINSTANCE instance, HWND owner, HWND mapWindow) : map_window_(mapWindow)
{
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = &WindowProc;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = kClassName;
    WNDCLASSEXA existing{};
    if (!GetClassInfoExA(instance, kClassName, &existing)) RegisterClassExA(&window_class);

    constexpr DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
    constexpr DWORD extended = WS_EX_DLGMODALFRAME;
    RECT bounds{0, 0, 274, 53};
    AdjustWindowRectEx(&bounds, style, FALSE, extended);
    window_ = CreateWindowExA(extended, kClassName, "Kestrelon - Worldwide Locations.", style, 32, 103,
                              bounds.right - bounds.left, bounds.bottom - bounds.top, owner, nullptr, instance, this);
    if (!window_) throw WindowsError(HRESULT_FROM_WIN32(GetLastError()), "Cannot create the companion window");
    font_ = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                        CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
    HWND label = CreateWindowExA(0, "STATIC", "This window should not appear", WS_CHILD | WS_VISIBLE | SS_LEFT, 8, 8,
                                 147, 13, window_, nullptr, instance, nullptr);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    ShowWindow(window_, SW_SHOWNA);
}

THiddenForm::~THiddenForm()
{
    if (window_) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    if (font_) DeleteObject(font_);
}

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

LRESULT CALLBACK THiddenForm::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<THiddenForm*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<THiddenForm*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_ACTIVATE:
        if (self && LOWORD(wParam) != WA_INACTIVE) self->FormActivate();
        break;
    case WM_CLOSE:
        // Closing it from its system menu only hides it.
        ShowWindow(window, SW_HIDE);
        return 0;
    default: break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace mappa
