// Text that acts as a link from the keyboard too: it takes the focus with
// Tab, shows a focus rectangle, and opens with Enter or Space.
#pragma once

#include <windows.h>

namespace mappa {

// `control` is a static control with SS_NOTIFY and WS_TABSTOP; Enter or Space
// sends its parent the same STN_CLICKED notification as a click.
void MakeKeyboardLink(HWND control);

}  // namespace mappa
