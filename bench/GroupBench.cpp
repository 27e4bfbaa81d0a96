// The grouping of crowded offices over 100 000 generated offices: building
// every level, and finding the markers of a 640 x 320 view at each level.
//
// Building may take at most half the time that supercluster (Node) takes to
// load the same points with the same radius, measured in the same run: after
// the benchmarks, the points go to a file, bench/peer/supercluster-bench.mjs
// loads them into supercluster, and both builds are timed the same way, in
// turns (a few runs to warm up, then several timed, ours then supercluster's,
// three times over, so that a busy spell of the machine weighs on both), each
// side's figure being the median of its timed runs. supercluster is installed
// by `make bench-groups` into build/peer (or MAPPA_PEER_DIR); without it the
// comparison is left out.
#include "GroupBench.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "ui/OfficeGroups.h"

namespace mappa::bench {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kOffices = 100000;
constexpr double kWidth = 640.0;  // the scale-1 picture at 96 dpi
constexpr double kHeight = 320.0;
constexpr double kRadius = 10.0;  // the largest marker, in pixels
constexpr double kPeerTarget = 0.5;
constexpr int kWarmUps = 3;
constexpr int kRuns = 5;  // timed, in each of kTurns
constexpr int kTurns = 3;
constexpr int kViews = 64;

// The same numbers on every platform (the standard distributions are not).
class SplitMix {
public:
    explicit SplitMix(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double unit() { return static_cast<double>(next() >> 11) * 0x1p-53; }
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(next() % n); }
    double normal()
    {
        const double u = 1.0 - unit();
        return std::sqrt(-2.0 * std::log(u)) * std::cos(6.283185307179586 * unit());
    }

private:
    std::uint64_t state_;
};

// Offices as a company's lie: most in a few hundred cities (a few large, many
// small), one in ten in the same building as an earlier one, the rest
// scattered; between latitudes 70 N and 55 S.
std::vector<PlacedOffice> MakeOffices(std::size_t count)
{
    SplitMix random(20240611);
    struct City {
        MapPlace centre;
        double spread;
    };
    std::vector<City> cities(300);
    std::vector<double> weights(cities.size());
    double total = 0.0;
    for (std::size_t i = 0; i < cities.size(); ++i) {
        cities[i].centre = {random.unit() * kWidth, (20.0 + random.unit() * 125.0) / 180.0 * kHeight};
        cities[i].spread = 0.05 * std::pow(60.0, random.unit());
        total += weights[i] = 1.0 / static_cast<double>(i + 1);
    }
    std::vector<PlacedOffice> offices;
    offices.reserve(count);
    while (offices.size() < count) {
        const double pick = random.unit();
        MapPlace place;
        if (pick < 0.1 && !offices.empty()) {
            place = offices[random.below(offices.size())].place;
        } else if (pick < 0.3) {
            place = {random.unit() * kWidth, (20.0 + random.unit() * 125.0) / 180.0 * kHeight};
        } else {
            double w = random.unit() * total;
            std::size_t city = 0;
            while (city + 1 < cities.size() && (w -= weights[city]) > 0.0) ++city;
            place = {cities[city].centre.x + random.normal() * cities[city].spread,
                     cities[city].centre.y + random.normal() * cities[city].spread};
            place = {std::clamp(place.x, 0.0, kWidth), std::clamp(place.y, 0.0, kHeight)};
        }
        offices.push_back({offices.size(), place});
    }
    return offices;
}

}  // namespace

const std::vector<PlacedOffice>& GroupBenchOffices()
{
    static const std::vector<PlacedOffice> offices = MakeOffices(kOffices);
    return offices;
}

namespace {

const std::vector<PlacedOffice>& Offices() { return GroupBenchOffices(); }

void BM_GroupBuild(benchmark::State& state)
{
    const auto& offices = Offices();
    for (auto _ : state) {
        OfficeGroups groups;
        groups.build(offices, kRadius);
        benchmark::DoNotOptimize(groups.markerCount(1));
    }
    OfficeGroups groups;
    groups.build(offices, kRadius);
    state.counters["markers_at_1"] = static_cast<double>(groups.markerCount(1));
}

// The view: the picture's 640 x 320 pixels at the level's scale, around one of
// kViews offices (so mostly where offices crowd), widened by half a marker so
// that markers cut by its edges count.
MapArea ViewAround(MapPlace centre, int level)
{
    const double scale = OfficeGroups::ScaleOf(level);
    const double half_width = (kWidth / 2 + kRadius / 2) / scale;
    const double half_height = (kHeight / 2 + kRadius / 2) / scale;
    return {centre.x - half_width, centre.y - half_height, centre.x + half_width, centre.y + half_height};
}

void BM_GroupView(benchmark::State& state, int level)
{
    const auto& offices = Offices();
    static OfficeGroups groups;
    if (groups.officeCount() == 0) groups.build(offices, kRadius);
    std::vector<MapArea> views;
    for (int i = 0; i < kViews; ++i) views.push_back(ViewAround(offices[(i * 7919u) % offices.size()].place, level));
    std::vector<OfficeMarker> markers;
    std::size_t view = 0, found = 0;
    for (auto _ : state) {
        groups.markersIn(level, views[view], markers);
        found += markers.size();
        view = (view + 1) % views.size();
        benchmark::DoNotOptimize(markers.data());
    }
    state.counters["markers"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}

// The marker nearest the pointer, within a marker's reach, around the same
// places as the views.
void BM_GroupNearest(benchmark::State& state, int level)
{
    const auto& offices = Offices();
    static OfficeGroups groups;
    if (groups.officeCount() == 0) groups.build(offices, kRadius);
    const double reach = kRadius / OfficeGroups::ScaleOf(level);
    std::vector<MapPlace> points;
    for (int i = 0; i < kViews; ++i) {
        const MapPlace place = offices[(i * 7919u) % offices.size()].place;
        points.push_back({place.x + reach / 3, place.y - reach / 4});
    }
    std::size_t point = 0, found = 0;
    for (auto _ : state) {
        found += groups.nearestTo(level, points[point], reach).has_value();
        point = (point + 1) % points.size();
    }
    state.counters["found"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}

const bool kRegistered = [] {
    benchmark::RegisterBenchmark("BM_GroupBuild/100000", BM_GroupBuild)->Unit(benchmark::kMillisecond);
    for (int level = 0; level <= OfficeGroups::kFinestLevel; ++level)
        benchmark::RegisterBenchmark(("BM_GroupView/100000/level:" + std::to_string(level)).c_str(), BM_GroupView,
                                     level)
            ->Unit(benchmark::kMicrosecond);
    for (int level = 0; level <= OfficeGroups::kFinestLevel; ++level)
        benchmark::RegisterBenchmark(("BM_GroupNearest/100000/level:" + std::to_string(level)).c_str(),
                                     BM_GroupNearest, level)
            ->Unit(benchmark::kMicrosecond);
    return true;
}();

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Our build timed as the peer script times supercluster's load; appends the
// timed runs' times and processor times, in ms.
void TimeBuilds(const std::vector<PlacedOffice>& offices, std::vector<double>& runs, std::vector<double>& cpu)
{
    for (int run = 0; run < kWarmUps + kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const std::clock_t cpu_start = std::clock();
        OfficeGroups groups;
        groups.build(offices, kRadius);
        benchmark::DoNotOptimize(groups.markerCount(1));
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        if (run < kWarmUps) continue;
        runs.push_back(took.count());
        cpu.push_back(static_cast<double>(std::clock() - cpu_start) * 1000.0 / CLOCKS_PER_SEC);
    }
}

struct PeerFigures {
    std::string version;
    std::vector<double> runs;  // ms
    std::vector<double> cpu;   // processor time of the whole process, its helper threads' too, ms
    std::array<long, OfficeGroups::kLevels> markers{};
    std::string failure;  // why there are no figures
};

fs::path PeerDirectory()
{
    const char* dir = std::getenv("MAPPA_PEER_DIR");
    return dir && *dir ? fs::path(dir) : fs::path(MAPPA_SOURCE_DIR) / "build" / "peer";
}

std::optional<fs::path> PeerInstalled(std::string& failure)
{
    const fs::path peer = PeerDirectory();
    if (fs::exists(peer / "node_modules" / "supercluster" / "package.json")) return peer;
    failure = "supercluster is not installed in " + peer.string() + " (make bench-groups installs it)";
    return std::nullopt;
}

// The points for the peer script: x, y pairs of doubles.
void WritePoints(const std::vector<PlacedOffice>& offices, const fs::path& points)
{
    std::vector<double> coordinates;
    for (const PlacedOffice& office : offices) {
        coordinates.push_back(office.place.x);
        coordinates.push_back(office.place.y);
    }
    std::ofstream(points, std::ios::binary)
        .write(reinterpret_cast<const char*>(coordinates.data()),
               static_cast<std::streamsize>(coordinates.size() * sizeof(double)));
}

// One turn of the peer script; its timed runs join figures.runs.
void RunPeer(const fs::path& peer, const fs::path& points, PeerFigures& figures)
{
    std::ostringstream command;
    command << "node '" << MAPPA_SOURCE_DIR << "/bench/peer/supercluster-bench.mjs' '" << peer.string() << "' '"
            << points.string() << "' " << kRadius << ' ' << kWidth << ' ' << kWarmUps << ' ' << kRuns << " 2>&1";
    std::string output;
    if (FILE* pipe = ::popen(command.str().c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe)) output += buffer;
        if (::pclose(pipe) != 0) figures.failure = "the peer script failed:\n" + output;
    } else {
        figures.failure = "cannot run node";
    }
    std::istringstream lines(output);
    std::string word;
    std::size_t runs = 0;
    while (lines >> word) {
        if (word == "version") {
            lines >> figures.version;
        } else if (word == "load_ms_runs") {
            lines >> runs;
            for (std::size_t i = 0; i < runs; ++i) {
                double ms = 0.0;
                if (lines >> ms) figures.runs.push_back(ms);
            }
        } else if (word == "load_cpu_ms_runs") {
            std::size_t cpu_runs = 0;
            lines >> cpu_runs;
            for (std::size_t i = 0; i < cpu_runs; ++i) {
                double ms = 0.0;
                if (lines >> ms) figures.cpu.push_back(ms);
            }
        } else if (word == "markers") {
            int level = 0;
            long count = 0;
            lines >> level >> count;
            if (level >= 0 && level < OfficeGroups::kLevels) figures.markers[level] = count;
        }
    }
    if (figures.failure.empty() && runs == 0) figures.failure = "no figure from the peer:\n" + output;
}

}  // namespace

void PrintGroupSummary(const SummaryReporter& reporter)
{
    if (reporter.time("BM_GroupBuild/100000").real <= 0.0) return;
    const auto& offices = Offices();
    OfficeGroups groups;
    groups.build(offices, kRadius);

    std::printf("\nGrouping %zu offices, radius %.0f px on a %.0f x %.0f picture, levels 1 to %d\n", kOffices, kRadius,
                kWidth, kHeight, OfficeGroups::kFinestLevel);
    std::vector<double> ours, our_cpu;
    PeerFigures peer;
    const std::optional<fs::path> installed = PeerInstalled(peer.failure);
    const fs::path points = fs::temp_directory_path() / ("mappa_group_points_" + std::to_string(::getpid()));
    if (installed) WritePoints(offices, points);
    for (int turn = 0; turn < kTurns; ++turn) {
        TimeBuilds(offices, ours, our_cpu);
        if (installed && peer.failure.empty()) RunPeer(*installed, points, peer);
    }
    if (installed) fs::remove(points);
    const double our_ms = Median(ours);
    std::printf("  build, median of %zu (%d turns of %d after %d to warm up): %.2f ms\n", ours.size(), kTurns, kRuns,
                kWarmUps, our_ms);
    if (!peer.failure.empty()) {
        std::printf("  supercluster: %s\n", peer.failure.c_str());
    } else {
        const double peer_ms = Median(peer.runs);
        const double ratio = our_ms / peer_ms;
        std::printf("  supercluster %s load(), the same way, in turns with ours: %.2f ms\n", peer.version.c_str(),
                    peer_ms);
        std::printf("  ratio %.3f (target at most %.2f)  %s\n", ratio, kPeerTarget,
                    ratio <= kPeerTarget ? "ok" : "OVER TARGET");
        if (!peer.cpu.empty())
            std::printf("  processor time, medians: ours %.2f ms, Node's %.2f ms (with its collector's and compiler's "
                        "threads), ratio %.3f\n",
                        Median(our_cpu), Median(peer.cpu), Median(our_cpu) / Median(peer.cpu));
    }
    std::printf("  %-6s %10s %14s %14s %14s\n", "level", "markers", "supercluster", "view us", "nearest us");
    for (int level = 0; level <= OfficeGroups::kFinestLevel; ++level) {
        const auto view = reporter.time("BM_GroupView/100000/level:" + std::to_string(level));
        const auto nearest = reporter.time("BM_GroupNearest/100000/level:" + std::to_string(level));
        std::printf("  %-6d %10zu %14s %14.2f %14.3f\n", level, groups.markerCount(level),
                    level == 0 || !peer.failure.empty() ? "-" : std::to_string(peer.markers[level]).c_str(),
                    view.real * 1e6, nearest.real * 1e6);
    }
}

}  // namespace mappa::bench
