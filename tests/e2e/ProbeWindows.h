// The probe's view of the running program: its windows by title, and texts
// between the program's UTF-16 and the console's UTF-8.
#pragma once

#include <windows.h>

#include <string>

namespace mappa::probe {

inline constexpr const wchar_t* kMapTitle = L"Norvantic - Worldwide Locations";
inline constexpr const wchar_t* kFindTitle = L"Find an office";

std::string Utf8(const std::wstring& text);
std::wstring Wide(const char* text);
// The text and a line break on standard output, in UTF-8.
void Print(const std::wstring& text);
// The shown window with that title; null when there is none.
HWND Shown(const wchar_t* title);
HWND WaitShown(const wchar_t* title, int seconds);

}  // namespace mappa::probe
