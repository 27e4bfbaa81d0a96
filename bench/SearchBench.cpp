// The office search over 100 000 generated offices in mixed scripts. The
// floor is a bare scan: a byte-for-byte search for a word in every searched
// field of every office, without folding. Building the index counts toward
// the find dialog's 50 ms to open; every typed key may take 16 ms.
#include "SearchBench.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "MixedOffices.h"
#include "ui/OfficeSearch.h"

namespace mappa::bench {
namespace {

constexpr std::size_t kOffices = 100000;
constexpr double kOpenBudget = 0.050;
constexpr double kKeyBudget = 0.016;
constexpr int kKeyIterations = 40;

const std::vector<MixedOffice>& Offices()
{
    static const std::vector<MixedOffice> offices = MakeMixedOffices(kOffices);
    return offices;
}

OfficeSearch BuildIndex()
{
    const auto& offices = Offices();
    return OfficeSearch(offices.size(), [&](std::size_t i) {
        const MixedOffice& o = offices[i];
        return OfficeSearchFields{o.name, o.city, o.country, o.phone, o.email};
    });
}

void BM_SearchFloor(benchmark::State& state)
{
    const auto& offices = Offices();
    const std::string_view word = "qzx";
    for (auto _ : state) {
        std::size_t found = 0;
        for (const MixedOffice& o : offices)
            for (const std::string* field : {&o.name, &o.city, &o.country, &o.phone, &o.email})
                found += field->find(word) != std::string::npos;
        benchmark::DoNotOptimize(found);
    }
}

void BM_SearchBuild(benchmark::State& state)
{
    Offices();
    for (auto _ : state) {
        OfficeSearch search = BuildIndex();
        benchmark::DoNotOptimize(search.size());
    }
}

// One key: the box held `before`, the user's key makes it `query`.
void SearchKey(benchmark::State& state, std::string_view before, std::string_view query)
{
    static OfficeSearch search = BuildIndex();
    std::size_t found = 0;
    for (auto _ : state) {
        state.PauseTiming();
        search.filter(before);
        state.ResumeTiming();
        found = search.filter(query).size();
    }
    state.counters["found"] = static_cast<double>(found);
}

struct KeyCase {
    const char* name;
    const char* before;
    const char* query;
};

// The worst cases: one letter (nearly everything matches), a word that
// matches nothing, refining a large result, a deleted letter (no reuse), a
// character of a script without spaces (may match anywhere), many words.
constexpr KeyCase kKeyCases[] = {
    {"one_letter", "", "s"},
    {"one_ideograph", "", "京"},
    {"no_match", "", "qzx"},
    {"no_match_refined", "qz", "qzx"},
    {"refine_s_sa", "s", "sa"},
    {"refine_sa_sao", "sa", "sao"},
    {"backspace_sao_sa", "sao", "sa"},
    {"second_word", "nor", "nor k"},
    {"five_letters", "a e i o", "a e i o u"},
    {"five_letters_fresh", "", "a e i o u"},
};

const bool kRegistered = [] {
    benchmark::RegisterBenchmark("BM_SearchFloor", BM_SearchFloor)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_SearchBuild", BM_SearchBuild)->Unit(benchmark::kMillisecond);
    for (const KeyCase& key : kKeyCases)
        // A fixed count: the untimed set-up of each key may cost far more than the key.
        benchmark::RegisterBenchmark((std::string("BM_SearchKey/") + key.name).c_str(), SearchKey, key.before,
                                     key.query)
            ->Iterations(kKeyIterations)
            ->Unit(benchmark::kMillisecond);
    return true;
}();

}  // namespace

void PrintSearchSummary(const SummaryReporter& reporter)
{
    const auto floor = reporter.time("BM_SearchFloor");
    if (floor.real <= 0.0 || floor.cpu <= 0.0) return;
    std::printf("\nOffice search, %zu offices, against the floor (bare scan: %.2f ms, CPU %.2f ms, same run)\n",
                kOffices, floor.real * 1e3, floor.cpu * 1e3);
    std::printf("  %-48s %9s %7s %9s %7s %8s\n", "", "time ms", "ratio", "CPU ms", "ratio", "budget");
    const auto row = [&](const std::string& name, double budget) {
        const auto t = reporter.time(name);
        if (t.real <= 0.0 || t.cpu <= 0.0) return;
        std::printf("  %-48s %9.2f %6.2fx %9.2f %6.2fx %5.0f ms  %s\n", name.c_str(), t.real * 1e3,
                    t.real / floor.real, t.cpu * 1e3, t.cpu / floor.cpu, budget * 1e3,
                    t.real <= budget ? "ok" : "OVER BUDGET");
    };
    row("BM_SearchBuild", kOpenBudget);
    for (const KeyCase& key : kKeyCases)
        row(std::string("BM_SearchKey/") + key.name + "/iterations:" + std::to_string(kKeyIterations), kKeyBudget);
}

}  // namespace mappa::bench
