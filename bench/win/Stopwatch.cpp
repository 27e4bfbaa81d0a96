#include "Stopwatch.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace mappa::winbench {

double Now()
{
    static const double frequency = [] {
        LARGE_INTEGER value{};
        QueryPerformanceFrequency(&value);
        return static_cast<double>(value.QuadPart);
    }();
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / frequency;
}

Timing Measure(const std::function<double(std::int64_t)>& body, const TimingPlan& plan,
               const std::function<void()>& between)
{
    // Warm-up, which also tells how many repetitions make a sample.
    if (between) between();
    double once = body(1);
    if (once < plan.minSampleSeconds / 4) {
        if (between) between();
        once = std::min(once, body(1));
    }
    std::int64_t repetitions = 1;
    if (once < plan.minSampleSeconds)
        repetitions = static_cast<std::int64_t>(std::ceil(plan.minSampleSeconds / std::max(once, 1e-7)));

    std::vector<double> per_repetition;
    double total = 0;
    while (static_cast<int>(per_repetition.size()) < plan.maxSamples &&
           (static_cast<int>(per_repetition.size()) < plan.minSamples || total < plan.minTotalSeconds)) {
        if (between) between();
        const double seconds = body(repetitions);
        total += seconds;
        per_repetition.push_back(seconds / static_cast<double>(repetitions));
    }

    std::sort(per_repetition.begin(), per_repetition.end());
    Timing timing;
    const std::size_t n = per_repetition.size();
    timing.median = n % 2 ? per_repetition[n / 2] : (per_repetition[n / 2 - 1] + per_repetition[n / 2]) / 2;
    timing.min = per_repetition.front();
    timing.max = per_repetition.back();
    timing.samples = static_cast<int>(n);
    timing.repetitions = repetitions;
    return timing;
}

}  // namespace mappa::winbench
