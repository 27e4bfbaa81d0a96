// What a control tells a screen reader (MSAA): its name, role and value, and
// for links the action behind them. The rest (place, state, parent, children,
// focus) comes from the object that the system makes for any window.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace mappa {

struct AccessibleTraits {
    long role = 0;            // ROLE_SYSTEM_...
    std::wstring name;        // empty: the window's text
    bool valueIsText = false;  // the window's text is the value (the name then comes from `name`)
    DWORD state = 0;          // STATE_SYSTEM_... added to the system's
    // Links: the default action "Jump" (in the language in use) sends the parent a click notification
    // (STN_CLICKED), as a click on the control does.
    bool jumps = false;
    // What the control's description is at the time it is asked; none: the system's.
    std::function<std::wstring()> description;
    // The name at the time it is asked (in the language then in use); none: `name`.
    std::function<std::wstring()> currentName;
    // A check box: checked or not as the control says at the time it is asked (BM_GETCHECK).
    bool checkBox = false;
};

// Makes `control` answer screen readers with `traits`, for the rest of its
// life; a second call for the same control changes nothing. Window thread only.
void MakeAccessible(HWND control, AccessibleTraits traits);

}  // namespace mappa
