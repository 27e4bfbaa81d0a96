// The second floor of the start-up benchmark: a bare window with the map
// window's controls, as Mappa makes them (the same classes, styles, places,
// texts and faces), and nothing else: no data, no picture, no tooltips, no
// settings, no COM. What Mappa takes beyond it is its own.
#include <windows.h>
#include <commctrl.h>

#include <array>

#include "ui/MapControlKinds.h"

namespace {

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

ATOM RegisterKind(HINSTANCE instance, const wchar_t* name, WNDPROC procedure)
{
    WNDCLASSW kind{};
    kind.lpfnWndProc = procedure;
    kind.hInstance = instance;
    kind.hCursor = LoadCursor(nullptr, IDC_ARROW);
    kind.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    kind.lpszClassName = name;
    return RegisterClassW(&kind);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    using namespace mappa;
    INITCOMMONCONTROLSEX common{sizeof common, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&common);
    if (!RegisterKind(instance, L"ControlsWindow", &FrameProc) || !RegisterKind(instance, L"ControlsChild", &DefWindowProcW))
        return 1;
    constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, kStyle, FALSE);
    HWND window = CreateWindowExW(0, L"ControlsWindow", L"Controls window", kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    std::array<HFONT, std::size(kFontFaces)> fonts{};
    for (std::size_t i = 0; i < fonts.size(); ++i)
        fonts[i] = MakeFont(kFontFaces[i].height, kFontFaces[i].layoutFace, kFontFaces[i].bold, kFontFaces[i].underline);
    std::array<HWND, kMapControlCount> made{};
    for (const ControlLayout& layout : kMapControls) {
        const WindowKind kind = KindOf(layout.kind);
        const DWORD style = WS_CHILD | kind.style | ((layout.traits & kStartsHidden) ? 0 : WS_VISIBLE);
        wchar_t text[128] = {};
        MultiByteToWideChar(CP_UTF8, 0, layout.text, -1, text, static_cast<int>(std::size(text)));
        // Sized to its text in Mappa: a label's usual size here.
        const int width = layout.width ? layout.width : 100, height = layout.height ? layout.height : 13;
        HWND parent = layout.parent ? made[static_cast<std::size_t>(*layout.parent)] : window;
        HWND control = CreateWindowExW(layout.kind == ControlKind::Panel ? WS_EX_CONTROLPARENT : 0,
                                       kind.windowClass ? kind.windowClass : L"ControlsChild", text, style, layout.left,
                                       layout.top, width, height, parent, nullptr, instance, nullptr);
        if (!control) return 1;
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts[static_cast<std::size_t>(layout.font)]), FALSE);
        made[static_cast<std::size_t>(layout.id)] = control;
    }
    ShowWindow(window, SW_SHOWNORMAL);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
    for (HFONT font : fonts) DeleteObject(font);
    return 0;
}
