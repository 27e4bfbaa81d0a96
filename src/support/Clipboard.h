// Putting text on the clipboard.
#pragma once

#include <windows.h>

#include <string_view>

namespace mappa {

// Replaces what the clipboard holds with `text` as plain 8-bit text (CF_TEXT).
// Fails with a WindowsError when the clipboard cannot be had or memory runs out.
void PutTextOnClipboard(HWND owner, std::string_view text);

}  // namespace mappa
