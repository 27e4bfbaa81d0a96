// Saving and restoring a top-level window's position, size and state per
// user and window class.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support/Support2Placement.h"

namespace mappa {

// A control that follows the right or bottom edge of its window.
struct AnchoredControl {
    HWND handle;
    bool right;
    bool bottom;
};

struct PlacementWindow {
    HWND handle = nullptr;
    std::string className;
    BorderStyle border = BorderStyle::Single;
    bool scaled = true;       // the layout follows the screen density
    bool autoScroll = false;
    // The window lays itself out for the density of the monitor it is on: the
    // density it saves and compares is that one, not the screen's.
    bool perMonitorDensity = false;
    std::vector<AnchoredControl> anchored;
};

// The screens as they are now; the density is the one read at start-up.
ScreenMetrics CurrentScreenMetrics();
// The screens as a window's placement sees them: for a window that follows
// its monitor's density, that density stands for the screen's.
ScreenMetrics PlacementScreen(const PlacementWindow& window);

void CenterOverParent(HWND window, const ScreenMetrics& screen = CurrentScreenMetrics());
void ApplyPlacement(const PlacementWindow& window, const std::string& text, bool useSaved,
                    const ScreenMetrics& screen = CurrentScreenMetrics());
std::string PlacementText(HWND window, const ScreenMetrics& screen = CurrentScreenMetrics());

// Read and write the placement in the user's tool store, value "Window." + class name.
void RestorePlacement(const PlacementWindow& window, bool useSaved);
void SavePlacement(const PlacementWindow& window);

// A setting of the program's own, per user, beside the windows' placements;
// `fallback` when there is none or no store.
std::string ReadToolSetting(const std::string& name, const std::string& fallback);
void WriteToolSetting(const std::string& name, const std::string& value);

}  // namespace mappa
