#include "app/ApplicationWindow.h"

#include "support/Application.h"

namespace mappa {

TApplicationWindow::TApplicationWindow(HINSTANCE instance)
{
    createWindow(instance, 0, kApplicationTitle, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                 GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr);
    SetApplicationWindow(window_);
}

TApplicationWindow::~TApplicationWindow()
{
    SetApplicationWindow(nullptr);
    destroyWindow();
}

}  // namespace mappa
