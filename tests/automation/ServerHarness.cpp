#include "ServerHarness.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>

#include "support/Support2Win.h"

namespace mappa::automationtest {
namespace {

std::string WindowsForm(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::wstring LongForm(const std::string& path)
{
    wchar_t full[MAX_PATH] = {}, long_form[MAX_PATH] = {};
    if (!GetFullPathNameW(Utf8ToWide(path).c_str(), MAX_PATH, full, nullptr)) return Utf8ToWide(path);
    return GetLongPathNameW(full, long_form, MAX_PATH) ? long_form : full;
}

std::string ImageOf(DWORD processId)
{
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) return {};
    wchar_t image[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    const bool found = QueryFullProcessImageNameW(process, 0, image, &size);
    CloseHandle(process);
    return found ? WideToUtf8(image) : "";
}

void PumpMessages()
{
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

HKEY OpenKey(const std::string& key)
{
    HKEY handle = nullptr;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, Utf8ToWide(key).c_str(), 0, KEY_READ, &handle) == ERROR_SUCCESS ? handle
                                                                                                     : nullptr;
}

}  // namespace

std::string MappaPath() { return WindowsForm(MAPPA_EXE); }
std::string ClientPath() { return WindowsForm(MAPPA_CLIENT); }
std::string ScriptPath(const char* name) { return WindowsForm(MAPPA_SCRIPTS) + "\\" + name; }
std::string BlankFolder() { return "C:\\Program Files\\Mappa Test"; }
std::string ForeignFolder() { return "C:\\\u041A\u0430\u0440\u0442\u044B\\\u5730\u56F3"; }

bool WaitUntil(const std::function<bool()>& done, DWORD ms)
{
    const ULONGLONG end = GetTickCount64() + ms;
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        PumpMessages();
        Sleep(50);
    }
}

Process::Process(const std::string& commandLine, bool isServer) : is_server_(isServer)
{
    const bool shareOutput = !isServer;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (shareOutput) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        for (HANDLE handle : {startup.hStdOutput, startup.hStdError})
            SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    }
    std::wstring line = Utf8ToWide(commandLine);
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, shareOutput, 0, nullptr, nullptr, &startup, &info_))
        info_ = {};
}

Process::~Process()
{
    if (!is_server_) kill();
    if (info_.hThread) CloseHandle(info_.hThread);
    if (info_.hProcess) CloseHandle(info_.hProcess);
}

bool Process::running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

std::optional<DWORD> Process::wait(DWORD ms) const
{
    if (!info_.hProcess) return std::nullopt;
    if (!WaitUntil([&] { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; }, ms)) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

void Process::kill()
{
    if (!running()) return;
    TerminateProcess(info_.hProcess, 255);
    WaitForSingleObject(info_.hProcess, 10000);
}

std::optional<DWORD> RunToEnd(const std::string& commandLine, DWORD ms)
{
    Process process(commandLine);
    return process.wait(ms);
}

std::vector<DWORD> ServerProcesses()
{
    std::vector<DWORD> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return found;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, "Mappa.exe") != 0) continue;
        const std::string image = ImageOf(entry.th32ProcessID);
        if (SamePath(image, MappaPath()) || SamePath(image, BlankFolder() + "\\Mappa.exe") ||
            SamePath(image, ForeignFolder() + "\\Mappa.exe"))
            found.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return found;
}

bool IsRunning(DWORD processId)
{
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
    if (!process) return false;
    const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return running;
}

DWORD WaitForServerProcess(DWORD ms)
{
    DWORD found = 0;
    WaitUntil([&] {
        const std::vector<DWORD> servers = ServerProcesses();
        found = servers.empty() ? 0 : servers.front();
        return found != 0;
    }, ms);
    return found;
}

bool WaitForExit(DWORD processId, DWORD ms) { return WaitUntil([&] { return !IsRunning(processId); }, ms); }

namespace {

// Closes the program as a user would: its map window's close box, and Yes
// to the question about live objects. True when it ended.
bool CloseGracefully(DWORD server)
{
    if (HWND map = FindProcessWindow(server, "TMapUI", kMapCaption)) PostMessageA(map, WM_CLOSE, 0, 0);
    return WaitUntil([&] {
        if (HWND box = FindProcessWindow(server, "#32770", kWarningCaption)) PressButton(box, IDYES);
        return !IsRunning(server);
    }, 10000);
}

}  // namespace

void ForgetDeadClassObjects()
{
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = manager ? OpenServiceA(manager, "RpcSs", SERVICE_STOP | SERVICE_QUERY_STATUS) : nullptr;
    SERVICE_STATUS status{};
    if (service && ControlService(service, SERVICE_CONTROL_STOP, &status))
        WaitUntil([&] { return QueryServiceStatus(service, &status) && status.dwCurrentState == SERVICE_STOPPED; }, 10000);
    std::printf("stopping RpcSs to clear COM's class table: %s\n", status.dwCurrentState == SERVICE_STOPPED ? "done" : "failed");
    if (service) CloseServiceHandle(service);
    if (manager) CloseServiceHandle(manager);
}

void EndServers()
{
    bool killed = false;
    for (DWORD server : ServerProcesses()) {
        if (CloseGracefully(server)) continue;
        std::printf("killing Mappa.exe process %lu, which did not close\n", server);
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, server)) {
            TerminateProcess(process, 255);
            WaitForSingleObject(process, 10000);
            CloseHandle(process);
            killed = true;
        }
    }
    if (killed) ForgetDeadClassObjects();
}

HWND FindProcessWindow(DWORD processId, const char* className, const char* caption)
{
    struct Search {
        DWORD processId;
        const char* className;
        const char* caption;
        HWND found;
    } search{processId, className, caption, nullptr};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(parameter);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char text[256] = {}, kind[256] = {};
            GetWindowTextA(window, text, sizeof text);
            GetClassNameA(window, kind, sizeof kind);
            if (owner == s.processId && IsWindowVisible(window) && std::string(text) == s.caption &&
                (!s.className || std::string(kind) == s.className))
                s.found = window;
            return s.found == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForProcessWindow(DWORD processId, const char* className, const char* caption, DWORD ms)
{
    HWND found = nullptr;
    WaitUntil([&] {
        return (found = FindProcessWindow(processId, className, caption)) != nullptr || !IsRunning(processId);
    }, ms);
    return found;
}

std::string MessageBoxText(HWND box)
{
    HWND text = GetDlgItem(box, 0xFFFF);
    if (!text) return {};
    wchar_t buffer[1024] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(text, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000, &copied);
    return WideToUtf8(buffer);
}

void PressButton(HWND box, int button)
{
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
}

bool KeyExists(const std::string& key)
{
    HKEY handle = OpenKey(key);
    if (handle) RegCloseKey(handle);
    return handle != nullptr;
}

std::optional<std::string> RegistryText(const std::string& key, const char* value)
{
    HKEY handle = OpenKey(key);
    if (!handle) return std::nullopt;
    wchar_t text[1024] = {};
    DWORD size = sizeof text - sizeof(wchar_t), type = 0;
    const LONG result = RegQueryValueExW(handle, value ? Utf8ToWide(value).c_str() : nullptr, nullptr, &type,
                                         reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    return WideToUtf8(text);
}

std::vector<std::string> SubKeys(const std::string& key)
{
    std::vector<std::string> names;
    if (HKEY handle = OpenKey(key)) {
        char name[256];
        for (DWORD i = 0; RegEnumKeyA(handle, i, name, sizeof name) == ERROR_SUCCESS; ++i) names.emplace_back(name);
        RegCloseKey(handle);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> ValueNames(const std::string& key)
{
    std::vector<std::string> names;
    if (HKEY handle = OpenKey(key)) {
        char name[256];
        DWORD size = sizeof name;
        for (DWORD i = 0; RegEnumValueA(handle, i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
             ++i, size = sizeof name)
            names.emplace_back(name);
        RegCloseKey(handle);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool SamePath(const std::string& left, const std::string& right)
{
    return !left.empty() && lstrcmpiW(LongForm(left).c_str(), LongForm(right).c_str()) == 0;
}

}  // namespace mappa::automationtest
