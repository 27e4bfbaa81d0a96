// Benchmarks of finding offices' time zones in the bundled zone map, and of
// their local time, registered with the others; their summary against the
// budget of 20 ms for 100 000 offices.
#pragma once

#include "SummaryReporter.h"

namespace mappa::bench {

void RegisterZoneBenchmarks();
void PrintZoneSummary(const SummaryReporter& reporter);

}  // namespace mappa::bench
