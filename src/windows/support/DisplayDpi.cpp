#include "support/DisplayDpi.h"

#include "support/WinHandles.h"

namespace mappa {
namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int type, UINT* x, UINT* y);
using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD style, BOOL menu, DWORD extendedStyle, UINT dpi);

constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

template <typename Function>
Function User32Function(const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

// shcore.dll stays loaded for the life of the process once it has been asked for.
GetDpiForMonitorFunction MonitorDpiFunction()
{
    static const ModuleHandle shcore(LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    static const auto function = shcore ? reinterpret_cast<GetDpiForMonitorFunction>(reinterpret_cast<void*>(
                                              GetProcAddress(shcore.get(), "GetDpiForMonitor")))
                                        : nullptr;
    return function;
}

int MonitorDpi(HMONITOR monitor)
{
    UINT x = 0, y = 0;
    const GetDpiForMonitorFunction function = MonitorDpiFunction();
    if (monitor && function && SUCCEEDED(function(monitor, kEffectiveDpi, &x, &y)) && y != 0) return static_cast<int>(y);
    return SystemDpi();
}

}  // namespace

int SystemDpi()
{
    const WindowDc screen(nullptr);
    return GetDeviceCaps(screen.get(), LOGPIXELSY);
}

int WindowDpi(HWND window)
{
    static const auto function = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (function) {
        if (const UINT dpi = function(window)) return static_cast<int>(dpi);
    }
    return MonitorDpi(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

int DpiAt(const RECT& place) { return MonitorDpi(MonitorFromRect(&place, MONITOR_DEFAULTTONEAREST)); }

SIZE FrameSize(int clientWidth, int clientHeight, DWORD style, DWORD extendedStyle, int dpi)
{
    static const auto function = User32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    RECT bounds{0, 0, clientWidth, clientHeight};
    if (!function || !function(&bounds, style, FALSE, extendedStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&bounds, style, FALSE, extendedStyle);
    return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

}  // namespace mappa
