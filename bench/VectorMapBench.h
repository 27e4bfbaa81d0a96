// Benchmarks of drawing zoomed views of the map from the vector world map,
// registered with the others; their summary against the frame budget.
#pragma once

#include "SummaryReporter.h"

namespace mappa::bench {

void PrintVectorMapSummary(const SummaryReporter& reporter);

}  // namespace mappa::bench
