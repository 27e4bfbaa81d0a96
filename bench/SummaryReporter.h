// A console reporter that also keeps each benchmark's time per iteration, for
// the summaries printed after the table.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace mappa::bench {

// Prints the usual table and keeps each benchmark's time per iteration (the
// median when repeated) for the summary.
class SummaryReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const auto& run : runs) {
            if (run.error_occurred) continue;
            const Times times{run.GetAdjustedRealTime() / UnitsPerSecond(run.time_unit),
                              run.GetAdjustedCPUTime() / UnitsPerSecond(run.time_unit)};
            const std::string name = run.run_name.str();
            if (run.run_type == Run::RT_Iteration) {
                if (!has_median_.count(name)) times_[name] = times;
            } else if (run.aggregate_name == "median") {
                has_median_.insert(name);
                times_[name] = times;
            }
        }
    }

    struct Times {
        double real = -1.0;  // seconds per iteration; negative when it did not run
        double cpu = -1.0;
    };
    Times time(const std::string& name) const
    {
        const auto found = times_.find(name);
        return found == times_.end() ? Times{} : found->second;
    }

private:
    static double UnitsPerSecond(benchmark::TimeUnit unit)
    {
        switch (unit) {
        case benchmark::kSecond: return 1.0;
        case benchmark::kMillisecond: return 1e3;
        case benchmark::kMicrosecond: return 1e6;
        case benchmark::kNanosecond: return 1e9;
        }
        return 1e9;
    }

    std::map<std::string, Times> times_;
    std::set<std::string> has_median_;
};

}  // namespace mappa::bench
