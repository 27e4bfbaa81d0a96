// Opening a mappa: link: in the copy of Mappa that runs, handed over as a
// window message, or in this copy once its map is up. A link only selects an
// office or opens the find dialog with a text.
#pragma once

#include "automation/MappaLink.h"
#include "ui/UMapUI.h"

namespace mappa {

// Hands `link` to a running copy's map window; false when none took it.
bool OpenInRunningCopy(const ParsedLink& link);
// Shows what `link` asks for in `map`, and brings the window to the front.
void OpenLink(TMapUI& map, const ParsedLink& link);
// A refused link's reason, in a message box.
void ShowRefusedLink(const RefusedLink& refused);

}  // namespace mappa
