// Window placement arithmetic: centring, adapting to the screen density,
// applying a saved placement text and keeping the window on the desktop.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace mappa {

inline constexpr int kDesignPixelsPerInch = 96;

struct Bounds {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Bounds&) const = default;
};

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

enum class WindowState { Normal, Minimized, Maximized };
enum class BorderStyle { None, Single, Sizeable, Dialog, ToolWindow, SizeToolWin };

// What the placement needs to know of the screens.
struct ScreenMetrics {
    int pixelsPerInch = kDesignPixelsPerInch;
    int primaryWidth = 0;
    int primaryHeight = 0;
    int desktopLeft = 0, desktopTop = 0, desktopWidth = 0, desktopHeight = 0;  // the virtual desktop
};

// a * b / c in 64 bits, rounded half away from zero; -1 when c is 0 or the
// result does not fit, as the Windows MulDiv does.
int MulDivRounded(int a, int b, int c);

// A decimal integer: optional sign and digits, fitting 32 bits.
std::optional<int> ParseDecimalInt(std::string_view text);

// The six fields of a saved placement text "left,top,width,height,ppi,state".
struct SavedPlacement {
    std::optional<int> left, top, width, height, pixelsPerInch;
    bool minimized = false;
    bool maximized = false;
};
SavedPlacement ParsePlacementText(std::string text);

std::string FormatPlacementText(const Bounds& bounds, int pixelsPerInch, WindowState state);

// A minimized window's own bounds are off screen; what it will come back to is
// its normal position, which Windows keeps relative to the work area of its
// monitor. The saved text holds screen coordinates.
Bounds WorkspaceToScreen(const Rect& normal, const Rect& monitor, const Rect& workArea);

// Centre of `parent` (or of the primary screen when the parent's rectangle is
// unknown), kept on the primary screen.
Bounds CenterOver(const std::optional<Rect>& parent, const Bounds& window, const ScreenMetrics& screen);

struct PlacementRequest {
    Bounds centred;  // the window's bounds after centring
    BorderStyle border = BorderStyle::Single;
    bool scaled = true;
    bool useSaved = false;
    std::string text;
    // Asked only when a saved placement would be used: the global switch.
    std::function<bool()> restorePositions;
    // For a window laid out for the density of the monitor it is on: the
    // density at which it would be shown with these bounds. A saved placement
    // is then applied when it was saved at that density. Unset: the screen's.
    std::function<int(const Bounds&)> densityAt;
};

struct PlacementResult {
    Bounds bounds;
    std::optional<WindowState> state;  // a state to set, when the text asked for one
};

// Everything of applying a placement that needs no window: density, saved
// text, desktop clamp and state.
PlacementResult ComputePlacement(const PlacementRequest& request, const ScreenMetrics& screen);

}  // namespace mappa
