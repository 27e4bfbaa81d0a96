// The map window's controls as keyboard and screen reader users meet them:
// every control named and given its role, the panels named by their labels,
// the e-mail address and the two web links as links that take the focus.
#pragma once

#include "ui/MapControls.h"

#include <functional>
#include <string>

namespace mappa {

// To be called once the controls exist. The map's description is what
// `describeMap` gives when a screen reader asks.
void MakeMapControlsAccessible(const MapControls& controls, std::function<std::wstring()> describeMap = {});

}  // namespace mappa
