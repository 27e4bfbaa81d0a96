// A probe that drives and reads a running Mappa.exe from another process under
// Wine, as a user and a screen reader would: keys and clicks through
// SendInput, controls read through MSAA (AccessibleObjectFromWindow), the find
// dialog's list read back. One command per run:
//
//   wait TITLE          waits up to 20 s for a shown window with that title
//   gone TITLE          waits up to 10 s until no window with that title shows
//   keys KEY...         presses each key or chord: ctrl+f, tab, shift+tab, down, return, escape, space, ...
//   type TEXT           types the text (UTF-8) as Unicode characters
//   click X Y           clicks at client point X, Y of the map window
//   point X Y           moves the pointer to client point X, Y of the map window
//   focus               the focused control: name | role | value
//   msaa                every control of the map window: name | role | value
//   do NAME             the default action of the map window's control with that accessible name
//   list                the find dialog: "rows N selected I", then the first rows, cells joined by " | "
//   dblclick ROW        double-clicks a row of the find dialog's list
//   tooltip             the text of the shown tooltip of the map window
//
// Exit code 0 when the command did what it says, 1 otherwise.
#include <windows.h>
#include <shellapi.h>
#include <ole2.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ProbeInput.h"
#include "ProbeReading.h"
#include "ProbeWindows.h"

using namespace mappa::probe;

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    const std::string command = argv[1];
    // Texts as given, whatever the code page: the narrow arguments hold only
    // what the code page can.
    int wide_count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &wide_count);
    std::vector<std::wstring> wide_args(wide, wide ? wide + wide_count : wide);
    LocalFree(wide);
    const auto arg = [&](int i) { return i < static_cast<int>(wide_args.size()) ? wide_args[i] : Wide(argv[i]); };
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int status = 2;
    if (command == "wait" && argc == 3) status = WaitShown(arg(2).c_str(), 20) ? 0 : 1;
    else if (command == "gone" && argc == 3) {
        status = 1;
        for (int i = 0; i < 100 && status; ++i) {
            if (!Shown(arg(2).c_str())) status = 0;
            else Sleep(100);
        }
    } else if (command == "keys") {
        status = 0;
        for (int i = 2; i < argc; ++i)
            if (!PressChord(argv[i])) status = 2;
    } else if (command == "type" && argc == 3) {
        TypeText(arg(2));
        status = 0;
    } else if (command == "click" && argc == 4) {
        HWND map = Shown(kMapTitle);
        POINT at{std::atoi(argv[2]), std::atoi(argv[3])};
        status = 1;
        if (map && ClientToScreen(map, &at)) {
            ClickAt(at, 1);
            status = 0;
        }
    } else if (command == "point" && argc == 4) {
        HWND map = Shown(kMapTitle);
        POINT at{std::atoi(argv[2]), std::atoi(argv[3])};
        status = 1;
        if (map && ClientToScreen(map, &at)) {
            MoveTo({at.x - 3, at.y - 3});
            MoveTo(at);
            status = 0;
        }
    } else if (command == "focus") status = FocusCommand();
    else if (command == "msaa") status = MsaaCommand();
    else if (command == "do" && argc == 3) status = DoCommand(arg(2));
    else if (command == "list") status = ListCommand();
    else if (command == "dblclick" && argc == 3) status = DoubleClickRow(std::atoi(argv[2]));
    else if (command == "tooltip") status = TooltipCommand();
    std::fflush(stdout);
    CoUninitialize();
    return status;
}
