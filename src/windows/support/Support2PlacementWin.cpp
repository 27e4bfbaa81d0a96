#include "support/Support2PlacementWin.h"

#include "support/DisplayDpi.h"
#include "support/PolicyStore.h"
#include "support/RegHelp.h"

namespace mappa {
namespace {

Bounds WindowBounds(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

Rect RectOf(const RECT& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

// The bounds the window has when it is neither minimized nor maximized.
Bounds NormalBounds(HWND window)
{
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(window, &placement)) return WindowBounds(window);
    const Rect normal = RectOf(placement.rcNormalPosition);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    // A tool window's normal position is already in screen coordinates.
    const bool onScreen = (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0;
    if (onScreen || !GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor))
        return WorkspaceToScreen(normal, {}, {});
    return WorkspaceToScreen(normal, RectOf(monitor.rcMonitor), RectOf(monitor.rcWork));
}

void SetBounds(HWND window, const Bounds& bounds)
{
    SetWindowPos(window, nullptr, bounds.left, bounds.top, bounds.width, bounds.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Closes the store however the accesses before it ended.
class CloseOnExit {
public:
    explicit CloseOnExit(TRegWrap& store) : store_(store) {}
    ~CloseOnExit() { store_.Close(); }
    CloseOnExit(const CloseOnExit&) = delete;
    CloseOnExit& operator=(const CloseOnExit&) = delete;

private:
    TRegWrap& store_;
};

}  // namespace

ScreenMetrics PlacementScreen(const PlacementWindow& window)
{
    ScreenMetrics screen = CurrentScreenMetrics();
    if (window.perMonitorDensity) screen.pixelsPerInch = WindowDpi(window.handle);
    return screen;
}

ScreenMetrics CurrentScreenMetrics()
{
    static const int density = SystemDpi();
    ScreenMetrics screen;
    screen.pixelsPerInch = density;
    screen.primaryWidth = GetSystemMetrics(SM_CXSCREEN);
    screen.primaryHeight = GetSystemMetrics(SM_CYSCREEN);
    screen.desktopLeft = GetSystemMetrics(SM_XVIRTUALSCREEN);
    screen.desktopTop = GetSystemMetrics(SM_YVIRTUALSCREEN);
    screen.desktopWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screen.desktopHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return screen;
}

void CenterOverParent(HWND window, const ScreenMetrics& screen)
{
    HWND parent = GetParent(window);
    if (!parent) parent = GetDesktopWindow();
    RECT rect{};
    std::optional<Rect> area;
    if (GetWindowRect(parent, &rect)) area = Rect{rect.left, rect.top, rect.right, rect.bottom};
    SetBounds(window, CenterOver(area, WindowBounds(window), screen));
}

void ApplyPlacement(const PlacementWindow& window, const std::string& text, bool useSaved, const ScreenMetrics& screen)
{
    CenterOverParent(window.handle, screen);
    const int density = screen.pixelsPerInch;
    if (density != kDesignPixelsPerInch && window.scaled && window.autoScroll) {
        for (const AnchoredControl& control : window.anchored) {
            const Bounds bounds = WindowBounds(control.handle);
            const int width = control.right ? MulDivRounded(bounds.width, kDesignPixelsPerInch, density) : bounds.width;
            const int height =
                control.bottom ? MulDivRounded(bounds.height, kDesignPixelsPerInch, density) : bounds.height;
            SetWindowPos(control.handle, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }

    PlacementRequest request;
    request.centred = WindowBounds(window.handle);
    request.border = window.border;
    request.scaled = window.scaled;
    request.useSaved = useSaved;
    request.text = text;
    request.restorePositions = [] {
        return PolicySwitch(kRestorePositionsPolicy).value_or(!UserGlobalStore ||
                                                              UserGlobalStore->ReadBool("RestorePositions", true));
    };
    if (window.perMonitorDensity) {
        request.densityAt = [](const Bounds& bounds) {
            return DpiAt({bounds.left, bounds.top, bounds.left + bounds.width, bounds.top + bounds.height});
        };
    }
    const PlacementResult result = ComputePlacement(request, screen);
    SetBounds(window.handle, result.bounds);

    if (result.state) {
        const bool minimize = *result.state == WindowState::Minimized;
        if (IsWindowVisible(window.handle)) {
            ShowWindow(window.handle, minimize ? SW_MINIMIZE : SW_MAXIMIZE);
        } else {
            // Being shown right now: the state follows once the showing is done.
            PostMessageW(window.handle, WM_SYSCOMMAND, minimize ? SC_MINIMIZE : SC_MAXIMIZE, 0);
        }
    }
}

std::string PlacementText(HWND window, const ScreenMetrics& screen)
{
    const WindowState state = IsIconic(window) ? WindowState::Minimized
                              : IsZoomed(window) ? WindowState::Maximized
                                                 : WindowState::Normal;
    const Bounds bounds = state == WindowState::Minimized ? NormalBounds(window) : WindowBounds(window);
    return FormatPlacementText(bounds, screen.pixelsPerInch, state);
}

void RestorePlacement(const PlacementWindow& window, bool useSaved)
{
    if (!UserToolStore) return;
    const CloseOnExit close(*UserToolStore);
    const std::string text = UserToolStore->ReadValue("Window." + window.className);
    ApplyPlacement(window, text, useSaved, PlacementScreen(window));
}

void SavePlacement(const PlacementWindow& window)
{
    if (!UserToolStore) return;
    const CloseOnExit close(*UserToolStore);
    UserToolStore->WriteValue("Window." + window.className, PlacementText(window.handle, PlacementScreen(window)));
}

}  // namespace mappa

namespace mappa {

std::string ReadToolSetting(const std::string& name, const std::string& fallback)
{
    if (!UserToolStore) return fallback;
    const CloseOnExit close(*UserToolStore);
    return UserToolStore->ReadValue(name, fallback);
}

void WriteToolSetting(const std::string& name, const std::string& value)
{
    if (!UserToolStore) return;
    const CloseOnExit close(*UserToolStore);
    UserToolStore->WriteValue(name, value);
}

}  // namespace mappa
