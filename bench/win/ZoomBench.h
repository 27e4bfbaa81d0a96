// A wheel step over the shown map window: one notch in and one out, each the
// message sent to the picture, the view drawn anew (map, groups and markers)
// and painted. With 100k offices a step may cost 1.5x what it costs with 100.
#pragma once

namespace mappa::winbench {

// Prints the rows and the ratio; false when the ratio misses its budget.
bool RunWheelSteps();

}  // namespace mappa::winbench
