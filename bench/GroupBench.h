// Benchmarks of the grouping of crowded offices, registered with the others;
// their summary, with supercluster's load of the same points beside it.
#pragma once

#include "SummaryReporter.h"

namespace mappa::bench {

void PrintGroupSummary(const SummaryReporter& reporter);

}  // namespace mappa::bench
