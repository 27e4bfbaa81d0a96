// Mappa: the sales and support offices of the company on a world map, and the
// automation server through which the suite's other programs bring it forward.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "app/HiddenDlg.h"
#include "app/StartMode.h"
#include "automation/ComServer.h"
#include "automation/SupportMapCom.h"
#include "support/Application.h"
#include "support/RegHelp.h"
#include "support/Support2.h"
#include "support/Support2Win.h"
#include "support/WinError.h"
#include "ui/UMapUI.h"

namespace mappa {
namespace {

std::vector<std::string> Arguments()
{
    std::vector<std::string> arguments;
    for (int i = 1; i < __argc; ++i) arguments.emplace_back(__argv[i]);
    return arguments;
}

const char* KindOf(const std::exception& error)
{
    if (dynamic_cast<const WindowsError*>(&error)) return "WindowsError";
    if (dynamic_cast<const RegistryEntryError*>(&error)) return "RegistryEntryError";
    if (dynamic_cast<const RegistryError*>(&error)) return "RegistryError";
    return "Exception";
}

// The report of a failed start-up; the process then ends with exit code 1.
void ShowApplicationError(const std::exception& error, const void* where)
{
    const std::string path = ModuleFileName();
    const std::string module = path.substr(path.find_last_of("\\:") + 1);
    char address[32] = {};
    std::snprintf(address, sizeof address, "%p", where);
    std::string message = error.what();
    if (message.empty() || message.back() != '.') message += '.';
    const std::string text =
        std::string("Exception ") + KindOf(error) + " in module " + module + " at " + address + ".\r\n" + message;
    MessageBoxA(nullptr, text.c_str(), "Application Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
}

// Every request to end the application passes the server's close check.
void RequestEnd()
{
    if (!Server() || Server()->closeQuery()) PostQuitMessage(0);
}

LRESULT CALLBACK ApplicationWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

// The invisible window that carries the application's title and owns its windows.
HWND CreateApplicationWindow(HINSTANCE instance)
{
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = &ApplicationWindowProc;
    window_class.hInstance = instance;
    window_class.lpszClassName = "TApplication";
    RegisterClassExA(&window_class);
    return CreateWindowExA(0, "TApplication", kApplicationTitle, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                           GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                           nullptr, instance, nullptr);
}

int RunMessageLoop(HWND mapWindow)
{
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(mapWindow, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

int Run(HINSTANCE instance)
{
    // Module set-up.
    ComServer server(ParseStartMode(Arguments()));
    SetServer(&server);
    SetTerminateHandler(&RequestEnd);
    CreateGlobalStores();
    FixNumberFormat();
    const std::string executable = ModuleFileName();
    try {
        CreateSupportMapRegistration(executable);
    } catch (const std::exception& error) {
        ShowApplicationError(error, reinterpret_cast<const void*>(&CreateSupportMapRegistration));
        FreeGlobalStores();
        return 1;
    }

    // Application initialization: COM, the registry, the class object.
    const bool com_initialized = server.initializeCom(true);
    const auto end_module = [&] {
        FreeGlobalStores();
        server.revokeClassObject();
        FreeSupportMapRegistration();
        if (com_initialized) CoUninitialize();
    };
    try {
        try {
            if (server.mode() == StartMode::Unregister) server.unregisterServer();
            else server.registerServer(Registration().typeLibrary.Get(), executable);
        } catch (const RegistryEntryError&) {
            if (server.mode() == StartMode::Register) throw;
        }
        if (server.mode() == StartMode::Register || server.mode() == StartMode::Unregister) {
            end_module();
            return 0;
        }
        server.registerClassObject(&ClassFactory());
    } catch (const std::exception& error) {
        ShowApplicationError(error, reinterpret_cast<const void*>(&Run));
        end_module();
        return 1;
    }

    int exit_code = 0;
    try {
        const HWND application = CreateApplicationWindow(instance);
        SetApplicationWindow(application);
        {
            TMapUI map(instance, {}, application);
            THiddenForm hidden(instance, application, map.handle());
            map.onMove = [&hidden](int x, int y) { hidden.moveTo(x, y); };
            ShowWindow(map.handle(), SW_SHOWNORMAL);
            exit_code = RunMessageLoop(map.handle());
            map.onMove = nullptr;
        }
        SetApplicationWindow(nullptr);
        DestroyWindow(application);
    } catch (const std::exception& error) {
        ShowApplicationError(error, reinterpret_cast<const void*>(&Run));
        exit_code = 1;
    }
    end_module();
    SetServer(nullptr);
    return exit_code;
}

}  // namespace
}  // namespace mappa

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    return mappa::Run(instance);
}
