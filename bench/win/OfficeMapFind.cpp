// Find from a client in another process against the same search in process.
#include <windows.h>
#include <psapi.h>
#include <wrl/client.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "MapFixture.h"
#include "OfficeMapBench.h"
#include "Report.h"
#include "ScriptCalls.h"
#include "mapdata/MapFunc.h"
#include "ui/OfficeSearch.h"

#ifndef FIND_SCRIPT
#error "FIND_SCRIPT: the Windows path of FindTimes.vbs"
#endif

namespace mappa::winbench {

using Microsoft::WRL::ComPtr;

namespace {

constexpr double kFindTarget = 2.0;

// Queries that each keep a few thousand offices, none the extension of another.
const char* const kQueries[] = {"country 42", "city 17", "office 93", "country 8"};
constexpr int kQueryCount = sizeof kQueries / sizeof kQueries[0];

}  // namespace

bool RunFind(Server& server, IDispatch* map)
{
    std::printf("\nFind over %zu offices: a client in another process against the search in process\n", kOffices);
    QuietSource source(server.folder());
    TMapFunc table(source);
    if (table.Locations.dataCount() != kOffices) throw std::runtime_error("the office list did not load");
    OfficeSearch search(table.Locations.dataCount(),
                        [&](std::size_t i) { return SearchFieldsOf(table.Locations[i]); });

    const DISPID find = IdOf(map, L"Find"), version = IdOf(map, L"Version");
    const DISPID count = [&] {
        ComPtr<IDispatch> found = AsObject(Call(map, find, DISPATCH_METHOD, {Text(kQueries[0])}));
        return IdOf(found.Get(), L"Count");
    }();
    // The same answers on both sides.
    for (const char* query : kQueries) {
        ComPtr<IDispatch> found = AsObject(Call(map, find, DISPATCH_METHOD, {Text(query)}));
        const LONG remote = AsLong(Call(found.Get(), count, DISPATCH_PROPERTYGET));
        const std::size_t local = search.filter(query).size();
        std::printf("  \"%s\": %ld offices\n", query, static_cast<long>(remote));
        if (remote != static_cast<LONG>(local) || local == 0 || local == kOffices)
            throw std::runtime_error(std::string("the two sides disagree on \"") + query + "\"");
    }

    volatile std::size_t sink = 0;
    std::vector<double> local, call, remote, ratios;
    for (int round = 0; round < kRounds; ++round) {
        const double l = PerCall([&](int i) { sink = sink + search.filter(kQueries[i % kQueryCount]).size(); }, 0.1);
        const double v = PerCall([&](int) { VARIANT text = Call(map, version, DISPATCH_PROPERTYGET); VariantClear(&text); }, 0.1);
        // The result is released at once, as a script's `map.Find(x).Count` releases it.
        const double r = PerCall([&](int i) { AsObject(Call(map, find, DISPATCH_METHOD, {Text(kQueries[i % kQueryCount])})); }, 0.2);
        local.push_back(l);
        call.push_back(v);
        remote.push_back(r);
        ratios.push_back(r / (l + v));
    }
    const double ratio = Median(ratios);
    PrintFigure("search in process (OfficeSearch::filter)", Median(local));
    PrintFigure("one cross-process call (Version)", Median(call));
    PrintFigure("Find from another process (result released)", Median(remote));
    std::printf("  Find / (search + one call): %.2fx%s\n", ratio, Verdict(ratio, kFindTarget, "x").c_str());

    // The same from VBScript, through cscript: Find and Version as a script
    // calls them (it asks for the member's id at each call), timed in the script.
    std::vector<double> scriptFind, scriptCall, scriptRatios;
    constexpr int kScriptCalls = 400;
    for (int round = 0; round < kRounds / 2 + 1; ++round) {
        const double l = PerCall([&](int i) { sink = sink + search.filter(kQueries[i % kQueryCount]).size(); }, 0.1);
        const std::string output =
            OutputOf("cscript.exe //nologo " + Quoted(WindowsForm(FIND_SCRIPT)) + " " + std::to_string(kScriptCalls), 120000);
        long findMicros = -1, versionMicros = -1;
        if (std::sscanf(output.c_str(), "find %ld version %ld", &findMicros, &versionMicros) != 2 || findMicros <= 0 ||
            versionMicros <= 0) {
            std::printf("  VBScript through cscript gave no times: %s\n", output.c_str());
            break;
        }
        scriptFind.push_back(findMicros * 1e-6 / kScriptCalls);
        scriptCall.push_back(versionMicros * 1e-6 / kScriptCalls);
        scriptRatios.push_back(scriptFind.back() / (l + scriptCall.back()));
    }
    if (!scriptRatios.empty()) {
        const double scriptRatio = Median(scriptRatios);
        PrintFigure("VBScript: map.Version", Median(scriptCall));
        PrintFigure("VBScript: Set found = map.Find(text)", Median(scriptFind));
        std::printf("  VBScript Find / (search + one Version): %.2fx%s\n", scriptRatio,
                    Verdict(scriptRatio, kFindTarget, "x").c_str());
    }

    // Where the difference goes: the calls that one Find makes.
    g_counter.reset();
    {
        ComPtr<IDispatch> found = AsObject(Call(map, find, DISPATCH_METHOD, {Text(kQueries[1])}));
        const long calls = g_counter.calls;
        found.Reset();
        std::printf("  cross-process calls per Find: %ld, and %ld more to release its result\n", calls,
                    g_counter.calls.load() - calls);
    }
    // What the server keeps of results that its client released (Wine reports
    // no private usage; the working set holds what the results wrote).
    const auto privateBytes = [&] {
        PROCESS_MEMORY_COUNTERS_EX counters{};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(server.process(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
        return static_cast<double>(counters.WorkingSetSize);
    };
    constexpr int kReleasedFinds = 300;
    const double before = privateBytes();
    for (int i = 0; i < kReleasedFinds; ++i) AsObject(Call(map, find, DISPATCH_METHOD, {Text(kQueries[3])}));
    std::printf("  the server's working set after %d more Finds of %zu offices, each released: %+.1f MB (of %.0f MB)\n",
                kReleasedFinds, search.filter(kQueries[3]).size(), (privateBytes() - before) / 1048576.0,
                before / 1048576.0);
    return ratio <= kFindTarget;
}

}  // namespace mappa::winbench
