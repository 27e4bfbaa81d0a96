// Mappa: the sales and support offices of the company on a world map, and the
// automation server through which the suite's other programs bring it forward.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "app/ApplicationWindow.h"
#include "app/HiddenDlg.h"
#include "app/LinkOpener.h"
#include "app/MapClientHold.h"
#include "app/SystemLibraries.h"
#include "automation/LinkCommandLine.h"
#include "automation/StartMode.h"
#include "automation/ComServer.h"
#include "automation/DispatchObject.h"
#include "automation/OfficeMapCom.h"
#include "automation/OfficeMapHost.h"
#include "automation/OfficeMapRegistration.h"
#include "automation/SupportMapCom.h"
#include "support/Application.h"
#include "support/RegHelp.h"
#include "support/Support2.h"
#include "support/Support2Win.h"
#include "support/UiText.h"
#include "support/WinError.h"
#include "ui/UMapUI.h"

namespace mappa {
namespace {

void FreeWords(LPWSTR* words) { LocalFree(words); }

std::vector<std::string> Arguments()
{
    std::vector<std::string> arguments;
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&FreeWords)> words(CommandLineToArgvW(GetCommandLineW(), &count), &FreeWords);
    if (!words) return arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(WideToUtf8(words.get()[i]));
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
    MessageBoxW(nullptr, Utf8ToWide(text).c_str(), UiText(IDS_ERROR_TITLE).c_str(), MB_OK | MB_ICONERROR | MB_TASKMODAL | MessageBoxReading());
}

// Every request to end the application passes the server's close check.
void RequestEnd()
{
    if (!Server() || Server()->closeQuery()) PostQuitMessage(0);
}

int RunMessageLoop(TMapUI& map)
{
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (map.parts().commands.translate(message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

// The office map's view of the map window.
class MapWindowHost final : public OfficeMapHost {
public:
    explicit MapWindowHost(TMapUI& map) : map_(map) {}
    const LocationSlots* offices() const override
    {
        const auto& table = map_.parts().table;
        return table ? &table->Locations : nullptr;
    }
    std::optional<std::size_t> selectedOffice() const override { return map_.parts().selection.office(); }
    void showOffice(std::size_t index) override { map_.parts().selection.select(index); }
    void findOffices(const std::string& text) override { map_.findOffices(text); }

private:
    TMapUI& map_;
};

// Links the office map to the map window for the life of the scope.
class OfficeMapLink {
public:
    explicit OfficeMapLink(TMapUI& map) : host_(map), map_(map)
    {
        SetOfficeMapHost(&host_);
        map.hooks.onOfficeSelected = [](std::size_t index) { NotifyOfficeSelected(index); };
        map.hooks.onClosing = [] { NotifyMapClosing(); };
    }
    ~OfficeMapLink()
    {
        map_.hooks.onOfficeSelected = nullptr;
        map_.hooks.onClosing = nullptr;
        SetOfficeMapHost(nullptr);
    }
    OfficeMapLink(const OfficeMapLink&) = delete;
    OfficeMapLink& operator=(const OfficeMapLink&) = delete;

private:
    MapWindowHost host_;
    TMapUI& map_;
};

// Undoes the module set-up however start-up or the run ends: the settings
// stores are freed, the class object revoked, the class registration record
// freed and COM uninitialized if it was initialized.
class ModuleSetUp {
public:
    explicit ModuleSetUp(ComServer& server) : server_(server) {}
    ~ModuleSetUp()
    {
        FreeGlobalStores();
        server_.revokeClassObject();
        FreeSupportMapRegistration();
        FreeOfficeMapTypeLibrary();
        if (com_initialized_) CoUninitialize();
    }
    ModuleSetUp(const ModuleSetUp&) = delete;
    ModuleSetUp& operator=(const ModuleSetUp&) = delete;

    void initializeCom() { com_initialized_ = server_.initializeCom(true); }

private:
    ComServer& server_;
    bool com_initialized_ = false;
};

// Writes (or, to unregister, removes) the server's registry entries; false
// when the process ends here.
bool InitializeApplication(ComServer& server, const std::string& executable)
{
    const SupportMapRegistration& library = Registration();
    switch (server.mode()) {
    case StartMode::Unregister:
        UnregisterOfficeMap();
        server.unregisterServer(library);
        return false;
    case StartMode::Register:
        RegisterOfficeMap(executable, RegistryFailures::Report);
        server.registerServer(library, executable);
        return false;
    default:
        RegisterOfficeMap(executable, RegistryFailures::Skip);
        server.registerServer(library, executable, RegistryFailures::Skip);
        break;
    }
    return true;
}

int Run(HINSTANCE instance)
{
    // A link, from the shell or as switches, is untrusted: a command line that
    // holds one is read as nothing but that link, and a copy that runs
    // already shows it, so that opening a link starts nothing new.
    const std::optional<ParsedLink> link = LinkOfCommandLine(WideToUtf8(GetCommandLineW()));
    if (link) {
        if (const auto* refused = std::get_if<RefusedLink>(&*link)) {
            // In the user's language, as the map would say it.
            CreateGlobalStores();
            SetUiLanguage(ChosenUiLanguage());
            ShowRefusedLink(*refused);
            FreeGlobalStores();
            return 1;
        }
        if (OpenInRunningCopy(*link)) return 0;
    }

    // Module set-up.
    ComServer server(link ? StartMode::Standalone : ParseStartMode(Arguments()));
    const CurrentServer current(server);
    SetTerminateHandler(&RequestEnd);
    ModuleSetUp module(server);
    CreateGlobalStores();
    SetUiLanguage(ChosenUiLanguage());
    FixNumberFormat();
    const std::string executable = ModuleFileName();
    try {
        CreateSupportMapRegistration(executable);
    } catch (const std::exception& error) {
        ShowApplicationError(error, reinterpret_cast<const void*>(&CreateSupportMapRegistration));
        return 1;
    }

    // Application initialization: COM and the registry.
    module.initializeCom();
    try {
        if (!InitializeApplication(server, executable)) return 0;
    } catch (const std::exception& error) {
        ShowApplicationError(error, reinterpret_cast<const void*>(&Run));
        return 1;
    }

    try {
        const TApplicationWindow application(instance);
        TMapUI map(instance, {}, application.handle());
        SetMapClientHold(&HoldInMapWindow);
        // The class object once the map window that it serves is made, and
        // before any window shows: under Wine, the thread's first windows take
        // longer to make once a class object is registered. A call to it waits
        // for the message loop either way. When it cannot be registered, both
        // windows are gone, unseen, before the error shows.
        const OfficeMapLink office_map(map);
        server.registerOfficeMapClassObject(&OfficeMapFactory());
        server.registerClassObject(&ClassFactory());
        THiddenForm hidden(instance, application.handle(), map.handle());
        map.hooks.onMove = [&hidden](int x, int y) { hidden.moveTo(x, y); };
        map.hooks.onLink = [&map, &server](const std::string& text) {
            if (!map.parts().table) return false;  // not up yet: the sender starts a copy of its own
            // A copy that COM started stays for the user who opened the link, as after runMap.
            if (server.mode() == StartMode::Automation && !map.mapClient) HandMapToWindow(TOfficeMap::Create().Get());
            OpenLink(map, ParseMappaLink(text));
            return true;
        };
        ShowWindow(map.handle(), SW_SHOWNORMAL);
        if (link) OpenLink(map, *link);
        const int exit_code = RunMessageLoop(map);
        map.hooks.onLink = nullptr;
        map.hooks.onMove = nullptr;
        return exit_code;
    } catch (const std::exception& error) {
        ShowApplicationError(error, reinterpret_cast<const void*>(&Run));
        return 1;
    }
}

}  // namespace
}  // namespace mappa

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    mappa::LoadSystemLibrariesFromSystem32Only();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    return mappa::Run(instance);
}
