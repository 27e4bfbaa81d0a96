// A small timing harness on QueryPerformanceCounter: one warm-up call, then
// samples of enough repetitions to be measurable, and the median of them.
#pragma once

#include <cstdint>
#include <functional>

namespace mappa::winbench {

// Seconds on the performance counter.
double Now();

struct Timing {
    double median = 0;  // seconds per repetition
    double min = 0;
    double max = 0;
    int samples = 0;
    std::int64_t repetitions = 0;  // per sample
};

struct TimingPlan {
    double minSampleSeconds = 0.02;  // a sample repeats the body until it takes at least this long
    double minTotalSeconds = 0.3;    // samples are taken until all of them took at least this long...
    int minSamples = 7;              // ...and there are at least this many
    int maxSamples = 41;
};

// `body(n)` runs n repetitions and returns the seconds they took, so that it
// can keep its own setup and cleanup out of the time. `between` runs before
// every sample, untimed.
Timing Measure(const std::function<double(std::int64_t)>& body, const TimingPlan& plan = {},
               const std::function<void()>& between = {});

}  // namespace mappa::winbench
