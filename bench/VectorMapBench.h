// Benchmarks of drawing zoomed views of the map from the vector world map,
// registered with the others; their summary against the frame budget.
#pragma once

#include "SummaryReporter.h"
#include "ui/WorldVectors.h"

namespace mappa::bench {

void PrintVectorMapSummary(const SummaryReporter& reporter);
// The whole frames of zoomed views with 100 000 offices (FrameBench.cpp).
void PrintFrameSummary(const SummaryReporter& reporter);

// The bundled vector world map, read once.
const WorldVectors& VectorBenchWorld();

}  // namespace mappa::bench
