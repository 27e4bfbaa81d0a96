#include "MapFixture.h"

#include "Stopwatch.h"

namespace mappa::winbench {
namespace {

ReadyTrace g_trace;
WNDPROC g_mainProc = nullptr;
WNDPROC g_comboProc = nullptr;
WNDPROC g_linkProc = nullptr;

LRESULT CALLBACK TraceMain(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SHOWWINDOW && wParam && g_trace.showEnter == 0) {
        g_trace.showEnter = Now();
        const LRESULT result = CallWindowProcW(g_mainProc, window, message, wParam, lParam);
        g_trace.showExit = Now();
        return result;
    }
    return CallWindowProcW(g_mainProc, window, message, wParam, lParam);
}

LRESULT CALLBACK TraceCombo(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETREDRAW && !wParam && g_trace.fillStart == 0) g_trace.fillStart = Now();
    const LRESULT result = CallWindowProcW(g_comboProc, window, message, wParam, lParam);
    if (message == WM_SETREDRAW && wParam && g_trace.fillEnd == 0) g_trace.fillEnd = Now();
    return result;
}

LRESULT CALLBACK TraceLink(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETTEXT && g_trace.linkText == 0) g_trace.linkText = Now();
    return CallWindowProcW(g_linkProc, window, message, wParam, lParam);
}

WNDPROC Subclass(HWND window, WNDPROC procedure)
{
    return reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

}  // namespace

void Pump()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::unique_ptr<TMapUI> CreateMap(QuietSource& source)
{
    auto map = std::make_unique<TMapUI>(GetModuleHandleW(nullptr), [&source] { return std::make_unique<TMapFunc>(source); });
    map->parts().placement.setHooks({}, {});
    return map;
}

std::unique_ptr<TMapUI> OpenMap(QuietSource& source)
{
    auto map = CreateMap(source);
    ShowWindow(map->handle(), SW_SHOWNORMAL);
    return map;
}

ReadyTrace TraceReady(QuietSource& source)
{
    g_trace = {};
    g_trace.start = Now();
    auto map = std::make_unique<TMapUI>(GetModuleHandleW(nullptr), [&source] {
        g_trace.loadStart = Now();
        auto table = std::make_unique<TMapFunc>(source);
        g_trace.loadEnd = Now();
        return table;
    });
    map->parts().placement.setHooks({}, {});
    g_trace.created = Now();
    g_mainProc = Subclass(map->handle(), TraceMain);
    g_comboProc = Subclass(map->control(MapControl::ComboBox1), TraceCombo);
    g_linkProc = Subclass(map->control(MapControl::lsWebLink), TraceLink);
    const double subclassed = Now();
    ShowWindow(map->handle(), SW_SHOWNORMAL);
    g_trace.end = Now();
    // The subclassing is not part of the start.
    g_trace.start += subclassed - g_trace.created;
    g_trace.created = subclassed;
    const ReadyTrace trace = g_trace;
    map.reset();
    Pump();
    return trace;
}

bool MovePointer(POINT to)
{
    SetCursorPos(to.x, to.y);
    for (int i = 0; i < 50; ++i) {
        POINT now{};
        GetCursorPos(&now);
        if (now.x == to.x && now.y == to.y) return true;
        Sleep(20);
    }
    return false;
}

}  // namespace mappa::winbench
