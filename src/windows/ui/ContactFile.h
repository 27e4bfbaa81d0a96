// Saving a contact card: the standard Save As dialog, and a file written whole.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace mappa {

// Asks where to save a contact card, suggesting `suggestedName` (UTF-8);
// nothing when the user cancels.
std::optional<std::wstring> AskContactPath(HWND owner, std::string_view suggestedName);

// Writes `bytes` to the file at `path`. An existing file there is replaced
// only once the new one is written in full, so a failure leaves it as it was.
void WriteWholeFile(const std::wstring& path, std::string_view bytes);

}  // namespace mappa
