#include "support/Application.h"

#include <windows.h>

#include "support/Support2Win.h"
#include "support/UiText.h"

namespace mappa {
namespace {

void PostQuit() { PostQuitMessage(0); }

TerminateHandler terminate_handler = &PostQuit;
HWND application_window = nullptr;

}  // namespace

HWND ApplicationWindow() { return application_window; }
void SetApplicationWindow(HWND window) { application_window = window; }

void ShowMessage(const std::string& text)
{
    MessageBoxW(GetActiveWindow(), Utf8ToWide(text).c_str(), Utf8ToWide(kApplicationTitle).c_str(),
                MB_OK | MessageBoxReading());
}

void ShowErrorMessage(const std::string& text)
{
    MessageBoxW(GetActiveWindow(), Utf8ToWide(text).c_str(), Utf8ToWide(kApplicationTitle).c_str(),
                MB_OK | MB_ICONERROR | MessageBoxReading());
}

void RequestTerminate() { terminate_handler(); }

TerminateHandler SetTerminateHandler(TerminateHandler handler)
{
    const TerminateHandler previous = terminate_handler;
    terminate_handler = handler ? handler : &PostQuit;
    return previous;
}

}  // namespace mappa
