// The "Find an office" dialog over a shown map window: its first opening, its
// later openings and one typed key, each beside a baseline from the same run.
#pragma once

#include <string>

#include "ui/UMapUI.h"

namespace mappa::winbench {

// Prints the rows and a summary line; false when a figure misses its budget.
bool RunFindDialog(const char* size, TMapUI& map);

}  // namespace mappa::winbench
