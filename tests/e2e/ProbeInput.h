// Keys and clicks as a user gives them, through SendInput.
#pragma once

#include <windows.h>

#include <string>

namespace mappa::probe {

// Presses a key or a chord such as "ctrl+f", "shift+tab", "down", "a"; false
// for a name that it does not know.
bool PressChord(const std::string& chord);
// Types the text as Unicode characters.
void TypeText(const std::wstring& text);
void MoveTo(POINT screen);
void ClickAt(POINT screen, int clicks);

}  // namespace mappa::probe
