#include "support/Support2Placement.h"

#include <algorithm>
#include <limits>

#include "support/Support2.h"

namespace mappa {

int MulDivRounded(int a, int b, int c)
{
    if (c == 0) return -1;
    long long multiplicand = a;
    long long divisor = c;
    if (divisor < 0) {
        multiplicand = -multiplicand;
        divisor = -divisor;
    }
    const long long product = multiplicand * b;
    const long long result = (product >= 0) ? (product + divisor / 2) / divisor : (product - divisor / 2) / divisor;
    if (result > std::numeric_limits<int>::max() || result < -std::numeric_limits<int>::max()) return -1;
    return static_cast<int>(result);
}

std::optional<int> ParseDecimalInt(std::string_view text)
{
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 2147483648LL) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<int>::max() || value < std::numeric_limits<int>::min()) return std::nullopt;
    return static_cast<int>(value);
}

SavedPlacement ParsePlacementText(std::string text)
{
    SavedPlacement saved;
    saved.left = ParseDecimalInt(NextField(text));
    saved.top = ParseDecimalInt(NextField(text));
    saved.width = ParseDecimalInt(NextField(text));
    saved.height = ParseDecimalInt(NextField(text));
    saved.pixelsPerInch = ParseDecimalInt(NextField(text));
    const std::string state = NextField(text);
    const auto same = [&](std::string_view word) { return state.size() == word.size() && StartsWithText(state, word); };
    saved.minimized = same("Min");
    saved.maximized = same("Max");
    return saved;
}

std::string FormatPlacementText(const Bounds& bounds, int pixelsPerInch, WindowState state)
{
    const char* name = state == WindowState::Minimized ? "Min" : state == WindowState::Maximized ? "Max" : "Normal";
    return std::to_string(bounds.left) + "," + std::to_string(bounds.top) + "," + std::to_string(bounds.width) + "," +
           std::to_string(bounds.height) + "," + std::to_string(pixelsPerInch) + "," + name;
}

Bounds WorkspaceToScreen(const Rect& normal, const Rect& monitor, const Rect& workArea)
{
    return {normal.left + (workArea.left - monitor.left), normal.top + (workArea.top - monitor.top),
            normal.right - normal.left, normal.bottom - normal.top};
}

Bounds CenterOver(const std::optional<Rect>& parent, const Bounds& window, const ScreenMetrics& screen)
{
    const Rect area = parent ? *parent : Rect{0, 0, screen.primaryWidth - 1, screen.primaryHeight - 1};
    int x = static_cast<int>((static_cast<long long>(area.left) + area.right - window.width) / 2);
    int y = static_cast<int>((static_cast<long long>(area.top) + area.bottom - window.height) / 2);
    x = std::max(0, std::min(screen.primaryWidth - window.width, x));
    y = std::max(0, std::min(screen.primaryHeight - window.height, y));
    return {x, y, window.width, window.height};
}

PlacementResult ComputePlacement(const PlacementRequest& request, const ScreenMetrics& screen)
{
    Bounds result = request.centred;
    const int density = screen.pixelsPerInch;
    bool minimized = false;
    bool maximized = false;

    const bool sizeable = request.border == BorderStyle::Sizeable || request.border == BorderStyle::SizeToolWin;
    if (density != kDesignPixelsPerInch && request.scaled && sizeable) {
        result.width = MulDivRounded(result.width, density, kDesignPixelsPerInch);
        result.height = MulDivRounded(result.height, density, kDesignPixelsPerInch);
    }

    if (request.useSaved && (!request.restorePositions || request.restorePositions())) {
        const SavedPlacement saved = ParsePlacementText(request.text);
        minimized = saved.minimized;
        maximized = saved.maximized;
        const int saved_density = saved.pixelsPerInch.value_or(0);
        if (saved_density != 0 && !minimized && !maximized) {
            Bounds there = result;
            there.left = saved.left.value_or(result.left);
            there.top = saved.top.value_or(result.top);
            if (request.border == BorderStyle::Sizeable) {
                there.width = saved.width.value_or(result.width);
                there.height = saved.height.value_or(result.height);
            }
            if (saved_density == (request.densityAt ? request.densityAt(there) : density)) result = there;
        }
    }

    // Keep the window on the virtual desktop; when it is larger, its left and top edges win.
    const long long right = static_cast<long long>(screen.desktopLeft) + screen.desktopWidth;
    const long long bottom = static_cast<long long>(screen.desktopTop) + screen.desktopHeight;
    if (right < static_cast<long long>(result.left) + result.width) result.left = static_cast<int>(right - result.width);
    if (result.left < screen.desktopLeft) result.left = screen.desktopLeft;
    if (bottom < static_cast<long long>(result.top) + result.height) result.top = static_cast<int>(bottom - result.height);
    if (result.top < screen.desktopTop) result.top = screen.desktopTop;

    PlacementResult placement{result, std::nullopt};
    if (minimized) placement.state = WindowState::Minimized;
    else if (maximized) placement.state = WindowState::Maximized;
    return placement;
}

}  // namespace mappa
