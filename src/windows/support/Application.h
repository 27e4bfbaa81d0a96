// What every part of the program shares about the running application: its
// title and version, its plain message boxes and the request to end it.
#pragma once

#include <windows.h>

#include <string>

namespace mappa {

inline constexpr const char* kApplicationTitle = "Mappa.exe";

// The version that the suite's programs read from the map (SupportMap's Version).
inline constexpr const char* kMapVersionText = "1";

// The application's invisible owner window, which carries the title and owns
// the program's windows; null until the shell creates it.
HWND ApplicationWindow();
void SetApplicationWindow(HWND window);

// A plain message box with one line of text and an OK button, captioned with
// the application title and owned by the active window.
void ShowMessage(const std::string& text);

// The same box with an error icon, for failures that escape a handler.
void ShowErrorMessage(const std::string& text);

// Asks the application to end once the message loop next runs. The shell
// installs its own handler (which may refuse); until then the request posts
// the quit message.
using TerminateHandler = void (*)();
void RequestTerminate();
TerminateHandler SetTerminateHandler(TerminateHandler handler);

}  // namespace mappa
