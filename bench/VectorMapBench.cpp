// One frame of the map picture drawn from the vector world map, over Europe
// (coasts, lakes and borders everywhere), over open ocean (next to nothing
// to draw) and over the Canadian Arctic (the densest coasts there are), at
// the picture's size at 96 and at 192 dpi. A frame, markers included, may
// take 16 ms at 640 x 320 and 40 ms at 1280 x 640; the map's own share
// should be well below: half of that.
#include "VectorMapBench.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "ui/VectorMapDrawing.h"

namespace mappa::bench {
namespace {

struct Place {
    const char* name;
    double latitude, longitude;
    std::vector<int> scales;
};

const Place kPlaces[] = {
    {"europe", 50.0, 10.0, {2, 16, 256}},
    {"ocean", -30.0, -130.0, {2, 16, 256}},
    {"arctic", 70.0, -85.0, {4, 8}},
};
constexpr std::int32_t kWidths[] = {640, 1280};

double Budget(std::int32_t width) { return width <= 640 ? 0.016 : 0.040; }

const WorldVectors& World() { return VectorBenchWorld(); }

std::string Name(const Place& place, std::int32_t width, int scale)
{
    return std::string("BM_VectorView/") + place.name + "/" + std::to_string(width) + "x" +
           std::to_string(width / 2) + "/scale:" + std::to_string(scale);
}

void BM_VectorView(benchmark::State& state, const Place& place, std::int32_t width, int scale)
{
    const WorldVectors& world = World();
    const std::int32_t height = width / 2;
    MapViewport view(width, height);
    view.zoom(static_cast<int>(std::lround(std::log2(scale))), {width / 2, height / 2});
    const double x = (place.longitude + 180) / 360 * static_cast<double>(view.worldWidth());
    const double y = (90 - place.latitude) / 180 * static_cast<double>(view.worldHeight());
    view.pan(static_cast<std::int32_t>(x) - view.origin().x - width / 2,
             static_cast<std::int32_t>(y) - view.origin().y - height / 2);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (auto _ : state) {
        DrawVectorView(world, view, pixels.data());
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
}

const bool kRegistered = [] {
    for (const Place& place : kPlaces)
        for (const std::int32_t width : kWidths)
            for (const int scale : place.scales)
                benchmark::RegisterBenchmark(Name(place, width, scale).c_str(), BM_VectorView, place, width, scale)
                    ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace

const WorldVectors& VectorBenchWorld()
{
    static const std::vector<std::uint8_t> bytes = [] {
        std::ifstream in(MAPPA_RESOURCES "/worldmap-vectors.bin", std::ios::binary);
        std::vector<std::uint8_t> read((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (read.empty()) throw std::runtime_error("cannot read " MAPPA_RESOURCES "/worldmap-vectors.bin");
        return read;
    }();
    static const WorldVectors world = WorldVectors::Parse(bytes);
    return world;
}

void PrintVectorMapSummary(const SummaryReporter& reporter)
{
    bool heading = false;
    for (const Place& place : kPlaces) {
        for (const std::int32_t width : kWidths) {
            for (const int scale : place.scales) {
                const std::string name = Name(place, width, scale);
                const auto t = reporter.time(name);
                if (t.real <= 0.0 || t.cpu <= 0.0) continue;
                if (!heading) {
                    std::printf("\nVector map views: one frame against the frame budget, of which the map's share "
                                "is half\n  %-44s %9s %9s %8s\n", "", "time ms", "CPU ms", "budget");
                    heading = true;
                }
                const double budget = Budget(width);
                std::printf("  %-44s %9.2f %9.2f %5.0f ms  %s\n", name.c_str(), t.real * 1e3, t.cpu * 1e3,
                            budget * 1e3,
                            t.real <= budget / 2 ? "ok"
                            : t.real <= budget   ? "within the frame, above the map's share"
                                                 : "OVER BUDGET");
            }
        }
    }
}

}  // namespace mappa::bench
