#include "ZoneBench.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "localtime/OfficeClock.h"
#include "localtime/ZoneMap.h"
#include "localtime/ZoneRules.h"

namespace mappa::bench {
namespace {

constexpr std::size_t kOffices = 100000;
constexpr double kBudgetSeconds = 0.020;

std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot open " + path);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct ZoneData {
    std::vector<unsigned char> mapBytes = ReadBytes(MAPPA_RESOURCES "/zone-map.bin");
    std::vector<unsigned char> rulesBytes = ReadBytes(MAPPA_ZONE_RULES);
    localtime::ZoneMap map = localtime::ZoneMap::Parse(mapBytes);
    localtime::ZoneDatabase rules = localtime::ZoneDatabase::Parse(rulesBytes);
};

const ZoneData& Data()
{
    static const ZoneData data;
    return data;
}

struct Point {
    double latitude, longitude;
};

// Points spread evenly over the sphere; for "land", only those the map puts in
// a zone of its own (land, its coasts and the sea near them).
std::vector<Point> Offices(bool land)
{
    std::mt19937_64 random(land ? 7 : 11);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<Point> points;
    while (points.size() < kOffices) {
        const Point point{std::asin(2 * unit(random) - 1) * 180 / 3.14159265358979323846, unit(random) * 360 - 180};
        if (land && Data().map.ZoneAt(point.latitude, point.longitude).starts_with("Etc/")) continue;
        points.push_back(point);
    }
    return points;
}

const std::vector<Point>& OfficesOf(bool land)
{
    static const std::vector<Point> world = Offices(false), onLand = Offices(true);
    return land ? onLand : world;
}

// The floor: every office's coordinates read and turned into a zone by
// arithmetic alone (the nautical zone of its longitude).
void BM_ZoneFloor(benchmark::State& state, bool land)
{
    const auto& offices = OfficesOf(land);
    for (auto _ : state) {
        std::size_t total = 0;
        for (const Point& office : offices) total += localtime::NauticalZone(office.longitude).size();
        benchmark::DoNotOptimize(total);
    }
}

void BM_ZoneMap(benchmark::State& state, bool land)
{
    const auto& offices = OfficesOf(land);
    const auto& map = Data().map;
    for (auto _ : state) {
        std::size_t total = 0;
        for (const Point& office : offices) total += map.ZoneAt(office.latitude, office.longitude).size();
        benchmark::DoNotOptimize(total);
    }
}

// What the window does for each office: its zone, with the rules found by name.
void BM_ZoneOfOffice(benchmark::State& state, bool land)
{
    const auto& offices = OfficesOf(land);
    const auto& data = Data();
    for (auto _ : state) {
        std::size_t total = 0;
        for (const Point& office : offices) {
            total += localtime::ZoneOfOffice(data.rules, data.map, office.latitude, office.longitude, "").name.size();
        }
        benchmark::DoNotOptimize(total);
    }
}

// And then its local time now.
void BM_LocalTime(benchmark::State& state, bool land)
{
    const auto& offices = OfficesOf(land);
    const auto& data = Data();
    std::vector<const localtime::ZoneRules*> zones;
    for (const Point& office : offices) {
        zones.push_back(localtime::ZoneOfOffice(data.rules, data.map, office.latitude, office.longitude, "").rules);
    }
    const std::int64_t now = 1796904000;  // 2026-12-10 12:00 UTC
    for (auto _ : state) {
        int total = 0;
        for (const auto* zone : zones) total += localtime::ReadOfficeClock(*zone, nullptr, now).local.minute;
        benchmark::DoNotOptimize(total);
    }
}

}  // namespace

void RegisterZoneBenchmarks()
{
    for (const bool land : {false, true}) {
        const std::string set = land ? "/land" : "/world";
        benchmark::RegisterBenchmark(("BM_ZoneFloor" + set).c_str(), BM_ZoneFloor, land)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_ZoneMap" + set).c_str(), BM_ZoneMap, land)->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_ZoneOfOffice" + set).c_str(), BM_ZoneOfOffice, land)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("BM_LocalTime" + set).c_str(), BM_LocalTime, land)->Unit(benchmark::kMillisecond);
    }
}

void PrintZoneSummary(const SummaryReporter& reporter)
{
    std::printf("\nTime zones of %zu offices (budget %.0f ms), against the floor of the same offices:\n", kOffices,
                kBudgetSeconds * 1e3);
    for (const char* set : {"world", "land"}) {
        const double floor = reporter.time(std::string("BM_ZoneFloor/") + set).real;
        for (const char* name : {"BM_ZoneMap", "BM_ZoneOfOffice", "BM_LocalTime"}) {
            const double seconds = reporter.time(std::string(name) + "/" + set).real;
            if (seconds < 0 || floor <= 0) continue;
            std::printf("  %-16s %-6s %8.2f ms  %6.1f x floor  %s\n", name, set, seconds * 1e3, seconds / floor,
                        seconds <= kBudgetSeconds ? "within budget" : "OVER BUDGET");
        }
    }
    std::printf("  zone map: %zu bytes (budget 1.5 MB = 1572864 bytes)\n", Data().mapBytes.size());
}

}  // namespace mappa::bench
