// Where the map window's time goes, step by step (see WindowSteps.cpp).
#pragma once

#include <cstddef>

#include "MapFixture.h"

namespace mappa::winbench {

// Traces the window's own start over several starts and prints the median of each step.
void TraceReadySteps(const char* size, QuietSource& source, std::size_t offices);

// Times each window-system call that one mouse move over the shown window makes.
void TimeMouseMoveCalls(const char* size, TMapUI& map);

}  // namespace mappa::winbench
