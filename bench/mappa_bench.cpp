// Benchmarks of the core: loading the office list against the bare cost of
// reading it and finding its lines, positioning the offices on the map, and
// finding an office by country.
//
// The floor is physical: the file's bytes read from disk and every line end
// found with memchr (what `wc -l` does). Loading a file should take no more
// than four times the floor of that same file, in each encoding; the ratios
// are printed after the table.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "GroupBench.h"
#include "OfficeListWriter.h"
#include "SearchBench.h"
#include "SummaryReporter.h"
#include "VectorMapBench.h"
#include "ZoneBench.h"
#include "mapdata/DataFile.h"
#include "mapdata/DataFileEncoding.h"
#include "mapdata/LocationTable.h"

namespace {

namespace fs = std::filesystem;
using mappa::bench::OfficeListShape;
using mappa::bench::SummaryReporter;

constexpr std::size_t kSmall = 1000;
constexpr std::size_t kLarge = 100000;
constexpr double kLoadTarget = 4.0;  // Load may take at most this many floors

struct DataSet {
    std::string name;  // what the benchmarks are called after
    fs::path path;
    OfficeListShape shape;
};
std::vector<DataSet> g_data;  // the first one is the small list, the second the large one in ASCII

std::string ReadBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("cannot open " + path.string());
    file.seekg(0, std::ios::end);
    const auto size = static_cast<std::size_t>(file.tellg());
    file.seekg(0, std::ios::beg);
    std::string bytes(size, '\0');
    file.read(bytes.data(), static_cast<std::streamsize>(size));
    if (!file) throw std::runtime_error("cannot read " + path.string());
    return bytes;
}

// The platform as the loader sees it, with the file on disk.
class DiskSource final : public mappa::DataFileSource {
public:
    explicit DiskSource(fs::path path) : path_(std::move(path)) {}
    std::string defaultPath() override { return path_.string(); }
    bool finderRegistered() override { return false; }
    bool fileExists(const std::string& path) override { return fs::exists(path); }
    std::string resolveWithFinder(const std::string&, std::int32_t) override { return {}; }
    std::string readFile(const std::string& path) override { return ReadBytes(path); }
    void showMessage(const std::string& text) override { message = text; }
    void requestTerminate() override {}

    std::string message;  // the last one shown

private:
    fs::path path_;
};

// Loads the table for the benchmarks that work on one; false (and the
// benchmark skipped) when that fails.
bool LoadTable(benchmark::State& state, const DataSet& data, mappa::LocationTable& table)
{
    try {
        mappa::ReadDataBytes(ReadBytes(data.path), mappa::Windows1252(), table);
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return false;
    }
    if (table.Locations.dataCount() != data.shape.offices) {
        state.SkipWithError("the loader lost offices");
        return false;
    }
    return true;
}

void SetFileCounters(benchmark::State& state, const DataSet& data)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(data.shape.bytes));
    state.counters["lines"] = static_cast<double>(data.shape.lines);
}

// The floor: the file's bytes from disk, and every line end found.
void BM_Floor(benchmark::State& state, const DataSet& data)
{
    for (auto _ : state) {
        const std::string bytes = ReadBytes(data.path);
        std::size_t lines = 0;
        const char* const end = bytes.data() + bytes.size();
        for (const char* p = bytes.data(); (p = static_cast<const char*>(std::memchr(p, '\n', end - p))); ++p) ++lines;
        benchmark::DoNotOptimize(lines);
        benchmark::ClobberMemory();
    }
    SetFileCounters(state, data);
}

// The same bytes read into a fresh table.
void BM_Load(benchmark::State& state, const DataSet& data)
{
    for (auto _ : state) {
        mappa::LocationTable table;
        try {
            mappa::ReadDataBytes(ReadBytes(data.path), mappa::Windows1252(), table);
        } catch (const std::exception& error) {
            state.SkipWithError(error.what());
            break;
        }
        benchmark::DoNotOptimize(table.Locations.storedCount());
        benchmark::ClobberMemory();
    }
    SetFileCounters(state, data);
}

// The whole of loadDataFile, with the platform reduced to the disk.
void BM_LoadDataFile(benchmark::State& state, const DataSet& data)
{
    DiskSource source(data.path);
    for (auto _ : state) {
        mappa::LocationTable table;
        mappa::loadDataFile(table, source);
        benchmark::DoNotOptimize(table.Locations.storedCount());
        benchmark::ClobberMemory();
    }
    if (!source.message.empty()) state.SkipWithError(("loader says: " + source.message).c_str());
    SetFileCounters(state, data);
}

void BM_ComputePositions(benchmark::State& state, const DataSet& data)
{
    mappa::LocationTable table;
    if (!LoadTable(state, data, table)) return;
    for (auto _ : state) {
        table.computePositions(640, 320);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(table.Locations.storedCount()));
}

// Looks for the country of the office in the middle of the table, or for a
// country that no office has.
void BM_FindByCountry(benchmark::State& state, const DataSet& data, bool absent)
{
    mappa::LocationTable table;
    if (!LoadTable(state, data, table)) return;
    const std::string country = absent ? mappa::bench::kAbsentCountry : mappa::bench::kMiddleCountry;
    mappa::TLocation record;
    table.findByCountry(country, record);
    if ((record.Country == country) == absent) {
        state.SkipWithError("findByCountry found the wrong office");
        return;
    }

    for (auto _ : state) {
        mappa::TLocation found;
        table.findByCountry(country, found);
        benchmark::DoNotOptimize(found.MapX);
    }
    state.SetLabel(absent ? "absent" : "middle");
}

void RegisterBenchmarks()
{
    for (const DataSet& data : g_data) {
        benchmark::RegisterBenchmark(("BM_Floor/" + data.name).c_str(), BM_Floor, data)->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("BM_Load/" + data.name).c_str(), BM_Load, data)->Unit(benchmark::kMicrosecond);
    }
    for (const DataSet& data : {g_data[0], g_data[1]}) {
        benchmark::RegisterBenchmark(("BM_LoadDataFile/" + data.name).c_str(), BM_LoadDataFile, data)
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("BM_ComputePositions/" + data.name).c_str(), BM_ComputePositions, data)
            ->Unit(benchmark::kMicrosecond);
        for (const bool absent : {false, true}) {
            benchmark::RegisterBenchmark(("BM_FindByCountry/" + data.name + (absent ? "/absent" : "/middle")).c_str(),
                                         BM_FindByCountry, data, absent)
                ->Unit(benchmark::kMicrosecond);
        }
    }
}

void PrintSummary(const SummaryReporter& reporter)
{
    bool printed_heading = false;
    for (const DataSet& data : g_data) {
        const auto floor = reporter.time("BM_Floor/" + data.name);
        if (floor.real <= 0.0 || floor.cpu <= 0.0) continue;
        if (!printed_heading) {
            std::printf("\nLoad against the floor (read + memchr for every line end) of the same file; "
                        "target with %zu offices: at most %.1fx\n", kLarge, kLoadTarget);
            std::printf("  %-36s %12s %12s %7s  %12s %12s %7s\n", "", "time us", "floor us", "ratio", "CPU us",
                        "floor CPU", "ratio");
            printed_heading = true;
        }
        for (const char* load_name : {"BM_Load/", "BM_LoadDataFile/"}) {
            const auto load = reporter.time(load_name + data.name);
            if (load.real <= 0.0 || load.cpu <= 0.0) continue;
            const double ratio = load.real / floor.real;
            const double cpu_ratio = load.cpu / floor.cpu;
            std::printf("  %-36s %12.1f %12.1f %6.2fx  %12.1f %12.1f %6.2fx  %s\n", (load_name + data.name).c_str(),
                        load.real * 1e6, floor.real * 1e6, ratio, load.cpu * 1e6, floor.cpu * 1e6, cpu_ratio,
                        data.shape.offices != kLarge ? "no target at this size"
                        : ratio <= kLoadTarget     ? "ok"
                                                   : "OVER TARGET");
        }
    }
}

}  // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    const fs::path directory = fs::temp_directory_path() / ("mappa_bench_" + std::to_string(::getpid()));
    fs::create_directories(directory);
    int status = 0;
    try {
        using mappa::bench::OfficeLetters;
        const std::string ascii_small = mappa::bench::MakeOfficeList(kSmall);
        OfficeListShape western_shape;
        const std::string western = mappa::bench::MakeOfficeList(kLarge, &western_shape, OfficeLetters::Western);
        OfficeListShape ascii_shape;
        const std::string ascii = mappa::bench::MakeOfficeList(kLarge, &ascii_shape);
        const struct {
            const char* name;
            std::string bytes;
            OfficeListShape shape;
        } files[] = {
            {"ansi-ascii/1000", ascii_small, {}},
            {"ansi-ascii/100000", ascii, ascii_shape},
            {"ansi-western/100000", mappa::bench::ToWindows1252(western), western_shape},
            {"utf8-western/100000", mappa::bench::WithUtf8Mark(western), western_shape},
            {"utf16-western/100000", mappa::bench::ToUtf16WithMark(western), western_shape},
        };
        for (const auto& file : files) {
            DataSet data;
            data.name = file.name;
            data.shape = file.shape;
            if (data.shape.offices == 0) mappa::bench::MakeOfficeList(kSmall, &data.shape);
            data.shape.bytes = file.bytes.size();
            data.path = directory / ("Mappa2_" + std::to_string(g_data.size()) + ".dat");
            std::ofstream(data.path, std::ios::binary)
                .write(file.bytes.data(), static_cast<std::streamsize>(file.bytes.size()));
            std::printf("data file %s: %s, %zu offices, %zu lines, %.1f KiB\n", data.name.c_str(), data.path.c_str(),
                        data.shape.offices, data.shape.lines, static_cast<double>(data.shape.bytes) / 1024.0);
            g_data.push_back(std::move(data));
        }
        RegisterBenchmarks();
        mappa::bench::RegisterZoneBenchmarks();
        std::fflush(stdout);

        SummaryReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        PrintSummary(reporter);
        mappa::bench::PrintSearchSummary(reporter);
        mappa::bench::PrintGroupSummary(reporter);
        mappa::bench::PrintVectorMapSummary(reporter);
        mappa::bench::PrintFrameSummary(reporter);
        mappa::bench::PrintZoneSummary(reporter);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "mappa_bench: %s\n", error.what());
        status = 1;
    }
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(directory, ignored);
    return status;
}
