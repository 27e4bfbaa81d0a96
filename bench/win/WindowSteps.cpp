// The window's start traced step by step, and the window-system calls of a
// mouse move timed one by one: where the map window's time goes.
#include "WindowSteps.h"

#include <windows.h>

#include <cstdio>
#include <functional>
#include <vector>

#include "Report.h"
#include "Stopwatch.h"
#include "ui/MapLayout.h"
#include "ui/UMapUI.h"

namespace mappa::winbench {

namespace {
volatile unsigned long g_callSink = 0;
}  // namespace

void TraceReadySteps(const char* size, QuietSource& source, std::size_t offices)
{
    const int runs = offices >= 50000 ? 7 : 21;
    std::vector<ReadyTrace> traces;
    for (int i = 0; i < runs; ++i) traces.push_back(TraceReady(source));
    const auto phase = [&](const char* name, double ReadyTrace::*from, double ReadyTrace::*to) {
        std::vector<double> values;
        for (const ReadyTrace& trace : traces) values.push_back(trace.*to - trace.*from);
        std::printf("%-7s %-40s %12s\n", size, name, Duration(Median(values)).c_str());
    };
    std::printf("%-7s ready, traced over %d starts (medians):\n", size, runs);
    phase("  whole start", &ReadyTrace::start, &ReadyTrace::end);
    phase("  create window (constructor)", &ReadyTrace::start, &ReadyTrace::created);
    phase("  ShowWindow until FormShow", &ReadyTrace::created, &ReadyTrace::showEnter);
    phase("  FormShow until load", &ReadyTrace::showEnter, &ReadyTrace::loadStart);
    phase("  load (TMapFunc)", &ReadyTrace::loadStart, &ReadyTrace::loadEnd);
    phase("  computePositions + sort countries", &ReadyTrace::loadEnd, &ReadyTrace::fillStart);
    phase("  fill country list", &ReadyTrace::fillStart, &ReadyTrace::fillEnd);
    phase("  drawMap + clean copy", &ReadyTrace::fillEnd, &ReadyTrace::linkText);
    phase("  links, then FormShow returns", &ReadyTrace::linkText, &ReadyTrace::showExit);
    phase("  ShowWindow after FormShow", &ReadyTrace::showExit, &ReadyTrace::end);
    std::fflush(stdout);

}

void TimeMouseMoveCalls(const char* size, TMapUI& map)
{
    HWND window = map.handle();
    HWND panel = map.control(MapControl::Panel1);
    HWND image = map.control(MapControl::Image1);
    const auto step = [&](const char* name, const std::function<void()>& body) {
        const Timing timing = Measure([&](std::int64_t n) {
            const double start = Now();
            for (std::int64_t i = 0; i < n; ++i) body();
            return Now() - start;
        });
        PrintRow(size, name, timing);
    };
    step("  call: GetWindowRect + GetClientRect", [&] {
        RECT outer{}, client{};
        GetWindowRect(window, &outer);
        GetClientRect(window, &client);
    });
    step("  call: Panel1 rect (GetWindowRect+Map..)", [&] {
        RECT rect{};
        GetWindowRect(panel, &rect);
        MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
    });
    step("  call: GetCursorPos", [&] {
        POINT pointer{};
        GetCursorPos(&pointer);
    });
    step("  call: GetMessagePos", [&] { g_callSink = g_callSink + GetMessagePos(); });
    step("  call: cursor change (WindowFromPoint..)", [&] {
        POINT pointer{};
        GetCursorPos(&pointer);
        if (WindowFromPoint(pointer) == image) SetCursor(LoadCursor(nullptr, IDC_ARROW));
    });
    HDC dc = map.parts().view.picture().dc();
    step("  call: guide line, erase + draw (GDI)", [&] {
        HPEN pen = CreatePen(PS_DOT, 1, RGB(255, 255, 255));
        HGDIOBJ previous = SelectObject(dc, pen);
        SetROP2(dc, R2_XORPEN);
        SetBkMode(dc, TRANSPARENT);
        MoveToEx(dc, 10, 10, nullptr);
        LineTo(dc, 600, 300);
        MoveToEx(dc, 10, 10, nullptr);
        LineTo(dc, 600, 300);
        SetROP2(dc, R2_COPYPEN);
        SelectObject(dc, previous);
        DeleteObject(pen);
    });
    step("  call: InvalidateRect(Image1)", [&] { InvalidateRect(image, nullptr, FALSE); });
    Pump();

}

}  // namespace mappa::winbench
