// The Windows halves of the text and path utilities. Text and paths are UTF-8
// here as everywhere in the program; they become UTF-16 only at the API call.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace mappa {

// The full file name of a module (the executable when `module` is null).
std::string ModuleFileName(HMODULE module = nullptr);

// `directory` + `name` with each component of `name` spelled as stored on disk.
std::string TrueCasePath(std::string_view directory, std::string_view name);

// Start-up step: numbers convert with "." as the decimal separator and ","
// for thousands whatever the user's regional settings say.
void FixNumberFormat();

// Between the program's own text (UTF-8) and the API's. A malformed sequence
// on either side becomes U+FFFD.
std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);

// A window's whole text, however long.
std::wstring WideWindowText(HWND window);

// Text for readers of the system's ANSI code page: a character that the code
// page does not hold becomes "?" (never a look-alike letter).
std::string WideToAnsi(std::wstring_view text);
// Whether the code page holds every character of `text`.
bool FitsAnsiCodePage(std::wstring_view text);

}  // namespace mappa
