#include "ZoomBench.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "MapFixture.h"
#include "OfficeFile.h"
#include "Report.h"
#include "Stopwatch.h"
#include "mapdata/DataFile.h"
#include "ui/MapViewport.h"

namespace mappa::winbench {
namespace {

constexpr double kBudget = 1.5;  // 100k offices against 100
constexpr std::size_t kManyOffices = 100000;

// The scale at which the steps are taken, and the picture point they are
// taken about: central Europe at scale 4 steps to 8 and back.
constexpr int kStepsIn = 2;
constexpr POINT kAbout{330, 70};

void Wheel(HWND picture, int delta)
{
    POINT at = kAbout;
    ClientToScreen(picture, &at);
    SendMessageW(picture, WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(at.x, at.y));
    UpdateWindow(picture);
}

// Seconds per wheel step with `offices` offices.
Timing WheelSteps(const char* size, std::size_t offices)
{
    ScratchFolder folder;
    folder.write(kDataFileName, MakeOfficeFile(offices));
    QuietSource source(folder.path());
    auto map = OpenMap(source);
    Pump();
    // A user's first step comes once the window has settled: the offices are
    // grouped then, after the first paint, if not yet at the first step.
    Sleep(50);
    Pump();
    HWND picture = map->control(MapControl::Image1);
    const double first = Now();
    Wheel(picture, WHEEL_DELTA);
    const double first_step = Now() - first;
    PrintRow(size, "first wheel step, 50 ms after showing", {first_step, first_step, first_step, 1, 1});
    for (int i = 1; i < kStepsIn; ++i) Wheel(picture, WHEEL_DELTA);
    const int scale = map->parts().view.navigation().viewport().scale();
    Timing timing = Measure([&](std::int64_t n) {
        const double start = Now();
        for (std::int64_t i = 0; i < n; ++i) {
            Wheel(picture, WHEEL_DELTA);
            Wheel(picture, -WHEEL_DELTA);
        }
        return Now() - start;
    });
    timing.median /= 2;
    timing.min /= 2;
    timing.max /= 2;
    PrintRow(size, "wheel step (scale " + std::to_string(scale) + " and back)", timing);
    if (map->parts().view.navigation().viewport().scale() != scale)
        std::printf("WARNING: the steps did not come back to scale %d\n", scale);
    map.reset();
    Pump();
    return timing;
}

}  // namespace

bool RunWheelSteps()
{
    const Timing few = WheelSteps("100", 100);
    const Timing many = WheelSteps("100k", kManyOffices);
    const double ratio = many.median / few.median;
    std::printf("wheel step 100k: %s, %.2fx the step with 100 offices (%s)%s\n", Milliseconds(many.median).c_str(),
                ratio, Milliseconds(few.median).c_str(), ratio <= kBudget ? "" : "  OVER BUDGET");
    return ratio <= kBudget;
}

}  // namespace mappa::winbench
