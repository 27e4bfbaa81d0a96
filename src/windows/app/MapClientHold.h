// The map window's side of runMap: the window keeps the object a client hands
// it (`mapClient`) until it closes; an earlier object's hold is let go.
#pragma once

#include <stdexcept>

#include "ui/UMapUI.h"

namespace mappa {

inline void HoldInMapWindow(IUnknown* client)
{
    if (!MapUI) throw std::runtime_error("The map window does not exist");
    MapUI->mapClient = client;
}

}  // namespace mappa
