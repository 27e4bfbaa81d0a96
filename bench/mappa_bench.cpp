// Benchmarks of the core: loading the office list against the bare cost of
// reading it and cutting it into lines, positioning the offices on the map,
// and finding an office by country.
//
// Loading should take no more than three times the floor (read + SplitLines)
// of the same file; the ratio is printed after the table.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "OfficeListWriter.h"
#include "SearchBench.h"
#include "SummaryReporter.h"
#include "mapdata/DataFile.h"
#include "mapdata/LocationTable.h"

namespace {

namespace fs = std::filesystem;
using mappa::bench::OfficeListShape;
using mappa::bench::SummaryReporter;

constexpr std::int64_t kSmall = 1000;
constexpr std::int64_t kLarge = 100000;
constexpr double kLoadTarget = 3.0;  // Load may take at most this many floors

struct DataSet {
    fs::path path;
    OfficeListShape shape;
};
std::map<std::int64_t, DataSet> g_data;

const DataSet& Data(std::int64_t offices)
{
    const auto found = g_data.find(offices);
    if (found == g_data.end()) throw std::logic_error("no data file for " + std::to_string(offices) + " offices");
    return found->second;
}

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
        mappa::ReadDataText(ReadBytes(data.path), table);
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

// The floor: the file's bytes from disk, cut into lines.
void BM_Floor(benchmark::State& state)
{
    const DataSet& data = Data(state.range(0));
    for (auto _ : state) {
        const std::string bytes = ReadBytes(data.path);
        const auto lines = mappa::SplitLines(bytes);
        benchmark::DoNotOptimize(lines.data());
        benchmark::ClobberMemory();
    }
    SetFileCounters(state, data);
}

// The same bytes read into a fresh table.
void BM_Load(benchmark::State& state)
{
    const DataSet& data = Data(state.range(0));
    for (auto _ : state) {
        mappa::LocationTable table;
        try {
            mappa::ReadDataText(ReadBytes(data.path), table);
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
void BM_LoadDataFile(benchmark::State& state)
{
    const DataSet& data = Data(state.range(0));
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

void BM_ComputePositions(benchmark::State& state)
{
    const DataSet& data = Data(state.range(0));
    mappa::LocationTable table;
    if (!LoadTable(state, data, table)) return;
    for (auto _ : state) {
        table.computePositions(640, 320);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(table.Locations.storedCount()));
}

// Argument 1: 0 looks for the country of the office in the middle of the
// table, 1 for a country that no office has.
void BM_FindByCountry(benchmark::State& state)
{
    const DataSet& data = Data(state.range(0));
    const bool absent = state.range(1) != 0;
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

BENCHMARK(BM_Floor)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Load)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadDataFile)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ComputePositions)->Arg(kSmall)->Arg(kLarge)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FindByCountry)
    ->Args({kSmall, 0})
    ->Args({kSmall, 1})
    ->Args({kLarge, 0})
    ->Args({kLarge, 1})
    ->Unit(benchmark::kMicrosecond);

void PrintSummary(const SummaryReporter& reporter)
{
    bool printed_heading = false;
    for (const auto& [offices, data] : g_data) {
        std::string arg = "/";  // not "/" + ...: GCC 12 warns wrongly (-Wrestrict) there
        arg += std::to_string(offices);
        const auto floor = reporter.time("BM_Floor" + arg);
        if (floor.real <= 0.0 || floor.cpu <= 0.0) continue;
        if (!printed_heading) {
            std::printf("\nLoad against the floor (read + SplitLines) of the same file; target: at most %.1fx\n",
                        kLoadTarget);
            std::printf("  %-16s %8s  %12s %12s %7s  %12s %12s %7s\n", "", "offices", "time us", "floor us",
                        "ratio", "CPU us", "floor CPU", "ratio");
            printed_heading = true;
        }
        for (const char* load_name : {"BM_Load", "BM_LoadDataFile"}) {
            const auto load = reporter.time(load_name + arg);
            if (load.real <= 0.0 || load.cpu <= 0.0) continue;
            const double ratio = load.real / floor.real;
            const double cpu_ratio = load.cpu / floor.cpu;
            std::printf("  %-16s %8lld  %12.1f %12.1f %6.2fx  %12.1f %12.1f %6.2fx  %s\n", load_name,
                        static_cast<long long>(offices), load.real * 1e6, floor.real * 1e6, ratio, load.cpu * 1e6,
                        floor.cpu * 1e6, cpu_ratio, ratio <= kLoadTarget ? "ok" : "OVER TARGET");
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
        for (const std::int64_t offices : {kSmall, kLarge}) {
            DataSet data;
            const std::string text = mappa::bench::MakeOfficeList(static_cast<std::size_t>(offices), &data.shape);
            data.path = directory / ("Mappa2_" + std::to_string(offices) + ".dat");
            std::ofstream(data.path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
            g_data[offices] = data;
            std::printf("data file: %s, %zu offices, %zu lines, %.1f KiB\n", data.path.c_str(), data.shape.offices,
                        data.shape.lines, static_cast<double>(data.shape.bytes) / 1024.0);
        }
        std::fflush(stdout);

        SummaryReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter);
        PrintSummary(reporter);
        mappa::bench::PrintSearchSummary(reporter);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "mappa_bench: %s\n", error.what());
        status = 1;
    }
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(directory, ignored);
    return status;
}
