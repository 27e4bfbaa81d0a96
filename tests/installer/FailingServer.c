// Stands in for Mappa.exe in a setup program built for the installer test: an
// automation server whose /RegServer fails, so that the installer must stop and
// take back what it had copied.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show)
{
    (void)instance;
    (void)previous;
    (void)command_line;
    (void)show;
    return 3;
}
