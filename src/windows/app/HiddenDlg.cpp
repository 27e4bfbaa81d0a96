#include "app/HiddenDlg.h"

#include "support/DisplayDpi.h"
#include "support/Support2Win.h"
#include "support/WinError.h"

namespace mappa {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
constexpr DWORD kExtendedStyle = WS_EX_DLGMODALFRAME;

}  // namespace

THiddenForm::THiddenForm(HINSTANCE instance, HWND owner, HWND mapWindow) : map_window_(mapWindow)
{
    RECT bounds{0, 0, 274, 53};
    AdjustWindowRectEx(&bounds, kStyle, FALSE, kExtendedStyle);
    createWindow(instance, kExtendedStyle, "Kestrelon - Worldwide Locations.", kStyle, 32, 103,
                 bounds.right - bounds.left, bounds.bottom - bounds.top, owner);
    if (!window_) throw WindowsError(HRESULT_FROM_WIN32(GetLastError()), "Cannot create the companion window");
    label_ = CreateWindowExW(0, L"STATIC", L"This window should not appear", WS_CHILD | WS_VISIBLE | SS_LEFT, 8, 8, 147,
                             13, window_, nullptr, instance, nullptr);
    layOut(MapScale(WindowDpi(window_)));
    ShowWindow(window_, SW_SHOWNA);
}

void THiddenForm::layOut(const MapScale& scale)
{
    FontHandle font(CreateFontW(scale(-11), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                Utf8ToWide(scale.sansSerifFace()).c_str()));
    SendMessageW(label_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_ = std::move(font);
    SetWindowPos(label_, nullptr, scale(8), scale(8), scale(147), scale(13), SWP_NOZORDER | SWP_NOACTIVATE);
    const SIZE frame = FrameSize(scale(274), scale(53), kStyle, kExtendedStyle, scale.dpi());
    SetWindowPos(window_, nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
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
    case kDpiChangedMessage: {
        const MapScale scale(HIWORD(wParam));
        if (scale.dpi() == HIWORD(wParam)) layOut(scale);
        return 0;
    }
    case WM_CLOSE:
        // Closing it from its system menu only hides it.
        ShowWindow(window_, SW_HIDE);
        return 0;
    default: break;
    }
    return defaultHandling(message, wParam, lParam);
}

}  // namespace mappa
