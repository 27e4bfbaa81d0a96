// Benchmarks of the office search ("Find an office"), registered with the
// others; their summary against a bare scan of the same offices.
#pragma once

#include "SummaryReporter.h"

namespace mappa::bench {

void PrintSearchSummary(const SummaryReporter& reporter);

}  // namespace mappa::bench
