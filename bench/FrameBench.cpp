// One whole frame of a zoomed view with 100 000 offices, as the map window
// makes it: the map drawn from the vector world map, the markers of the view
// found among the groups of its scale, placed on the picture and copied into
// it (a disc for an office, a larger one for a group, as the window copies
// the stamps that GDI drew once). A frame may take 16 ms at 640 x 320 and
// 40 ms at 1280 x 640.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "GroupBench.h"
#include "VectorMapBench.h"
#include "ui/OfficeGroups.h"
#include "ui/VectorMapDrawing.h"

namespace mappa::bench {
namespace {

struct Place {
    const char* name;
    double latitude, longitude;
};
const Place kPlaces[] = {{"europe", 50.0, 10.0}, {"ocean", -30.0, -130.0}};
constexpr int kScales[] = {2, 16, 256};
constexpr std::int32_t kWidths[] = {640, 1280};

// A disc `size` pixels across as runs of rows, as a stamp holds it.
struct Disc {
    explicit Disc(int size) : half(size / 2)
    {
        for (int dy = -half; dy <= half; ++dy)
            widths.push_back(static_cast<int>(std::sqrt(double(half * half - dy * dy))));
    }
    void copyInto(std::uint32_t* pixels, std::int32_t width, std::int32_t height, MapPoint at, std::uint32_t colour) const
    {
        for (int dy = -half; dy <= half; ++dy) {
            const std::int32_t y = at.y + dy;
            if (y < 0 || y >= height) continue;
            const int w = widths[static_cast<std::size_t>(dy + half)];
            for (std::int32_t x = std::max(at.x - w, 0); x <= std::min(at.x + w, width - 1); ++x)
                pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] = colour;
        }
    }
    int half;
    std::vector<int> widths;
};

const OfficeGroups& Groups(std::int32_t width)
{
    // The window groups at the picture's own size, with a radius of a group's marker.
    static OfficeGroups groups[2];
    OfficeGroups& made = groups[width > 640 ? 1 : 0];
    if (made.markerCount(0) == 0) {
        const double times = width / 640.0;
        std::vector<PlacedOffice> offices = GroupBenchOffices();
        for (PlacedOffice& office : offices) office.place = {office.place.x * times, office.place.y * times};
        made.build(offices, 16.0 * times);
    }
    return made;
}

std::string Name(const Place& place, std::int32_t width, int scale)
{
    return std::string("BM_Frame/") + place.name + "/" + std::to_string(width) + "x" + std::to_string(width / 2) +
           "/scale:" + std::to_string(scale);
}

void BM_Frame(benchmark::State& state, const Place& place, std::int32_t width, int scale)
{
    const WorldVectors& world = VectorBenchWorld();
    const OfficeGroups& groups = Groups(width);
    const std::int32_t height = width / 2;
    MapViewport view(width, height);
    const int level = static_cast<int>(std::lround(std::log2(scale)));
    view.zoom(level, {width / 2, height / 2});
    const double x = (place.longitude + 180) / 360 * static_cast<double>(view.worldWidth());
    const double y = (90 - place.latitude) / 180 * static_cast<double>(view.worldHeight());
    view.pan(static_cast<std::int32_t>(x) - view.origin().x - width / 2,
             static_cast<std::int32_t>(y) - view.origin().y - height / 2);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    std::vector<OfficeMarker> markers;
    const Disc office(width / 640 * 6), group(width / 640 * 18);
    const double margin = 64.0;
    std::size_t shown = 0;
    for (auto _ : state) {
        DrawVectorView(world, view, pixels.data());
        markers.clear();
        const MapPoint origin = view.origin();
        groups.markersIn(level, {(origin.x - margin) / scale, (origin.y - margin) / scale,
                                 (origin.x + width + margin) / scale, (origin.y + height + margin) / scale},
                         markers);
        for (const OfficeMarker& marker : markers) {
            const MapPoint at = view.toPicture({static_cast<std::int32_t>(std::floor(marker.place.x * scale)),
                                                static_cast<std::int32_t>(std::floor(marker.place.y * scale))});
            (marker.isGroup() ? group : office).copyInto(pixels.data(), width, height, at, marker.count);
        }
        shown = markers.size();
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    state.counters["markers"] = static_cast<double>(shown);
}

const bool kRegistered = [] {
    for (const Place& place : kPlaces)
        for (const std::int32_t width : kWidths)
            for (const int scale : kScales)
                benchmark::RegisterBenchmark(Name(place, width, scale).c_str(), BM_Frame, place, width, scale)
                    ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace

void PrintFrameSummary(const SummaryReporter& reporter)
{
    bool heading = false;
    for (const Place& place : kPlaces)
        for (const std::int32_t width : kWidths)
            for (const int scale : kScales) {
                const std::string name = Name(place, width, scale);
                const auto t = reporter.time(name);
                if (t.real <= 0.0) continue;
                if (!heading) {
                    std::printf("\nWhole frames with 100 000 offices: map, groups and markers\n  %-40s %9s %8s\n", "",
                                "time ms", "budget");
                    heading = true;
                }
                const double budget = width <= 640 ? 16.0 : 40.0;
                std::printf("  %-40s %9.2f %5.0f ms  %.2fx  %s\n", name.c_str(), t.real * 1e3, budget,
                            t.real * 1e3 / budget, t.real * 1e3 <= budget ? "ok" : "OVER BUDGET");
            }
}

}  // namespace mappa::bench
