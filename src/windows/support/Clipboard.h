// Putting text on the clipboard.
#pragma once

#include <windows.h>

#include <string_view>

namespace mappa {

// Replaces what the clipboard holds with the UTF-8 `text`, in two formats:
// CF_UNICODETEXT, and CF_TEXT in the system's code page for readers of 8-bit
// text, where a character that the code page does not hold becomes "?".
// Fails with a WindowsError when the clipboard cannot be had or memory runs out.
void PutTextOnClipboard(HWND owner, std::string_view text);

}  // namespace mappa
