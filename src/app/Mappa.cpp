// Mappa: the sales and support offices of the company on a world map.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <exception>

#include "support/Application.h"
#include "support/RegHelp.h"
#include "support/Support2Win.h"
#include "ui/UMapUI.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    mappa::CreateGlobalStores();
    mappa::FixNumberFormat();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int exit_code = 0;
    try {
        mappa::TMapUI map(instance);
        ShowWindow(map.handle(), showCommand);
        MSG message{};
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            if (IsDialogMessageA(map.handle(), &message)) continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        exit_code = static_cast<int>(message.wParam);
    } catch (const std::exception& error) {
        MessageBoxA(nullptr, error.what(), "Application Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
        exit_code = 1;
    }
    mappa::FreeGlobalStores();
    if (SUCCEEDED(com)) CoUninitialize();
    return exit_code;
}
