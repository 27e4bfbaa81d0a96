// The Windows halves of the text and path utilities.
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

std::string WideToAnsi(std::wstring_view text);
std::wstring AnsiToWide(std::string_view text);

// Between the program's own text (UTF-8) and the API's. A malformed sequence
// on either side becomes U+FFFD.
std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);
// For the ANSI (A) calls that remain: a letter outside the code page becomes "?".
std::string Utf8ToAnsi(std::string_view text);

}  // namespace mappa
