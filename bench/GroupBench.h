// Benchmarks of the grouping of crowded offices, registered with the others;
// their summary, with supercluster's load of the same points beside it.
#pragma once

#include <vector>

#include "SummaryReporter.h"
#include "ui/OfficeGroups.h"

namespace mappa::bench {

void PrintGroupSummary(const SummaryReporter& reporter);

// 100 000 offices as a company's lie, on the 640 x 320 picture of scale 1.
const std::vector<PlacedOffice>& GroupBenchOffices();

}  // namespace mappa::bench
