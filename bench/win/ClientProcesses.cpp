#include "ClientProcesses.h"

#include <algorithm>
#include <cstring>

namespace mappa::winbench {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string WindowsForm(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

std::string ReadWholeFile(const std::string& path)
{
    HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot read " + path);
    std::string bytes(GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    const BOOL ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(file);
    if (!ok || read != bytes.size()) throw std::runtime_error("cannot read " + path);
    return bytes;
}

std::string OutputOf(const std::string& commandLine, DWORD ms)
{
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &inherit, 0)) throw std::runtime_error("cannot create a pipe");
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = write;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    std::wstring line = Utf8ToWide(commandLine);
    const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &info);
    CloseHandle(write);
    if (!started) {
        CloseHandle(read);
        throw std::runtime_error("cannot start " + commandLine);
    }
    std::string output;
    char buffer[512];
    DWORD got = 0;
    while (ReadFile(read, buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
    CloseHandle(read);
    const bool ended = WaitForSingleObject(info.hProcess, ms) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(info.hProcess, 9);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    if (!ended) throw std::runtime_error("no end of " + commandLine);
    return output;
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void WaitFor(const std::function<bool()>& done, DWORD ms, const char* what)
{
    const ULONGLONG end = GetTickCount64() + ms;
    while (!done()) {
        if (GetTickCount64() > end) throw std::runtime_error(std::string("timed out waiting for ") + what);
        PumpMessages();
        Sleep(0);
    }
}

HWND ProcessWindow(DWORD processId, const char* className)
{
    struct Search {
        DWORD processId;
        const char* className;
        HWND found;
    } search{processId, className, nullptr};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char name[64] = {};
            GetClassNameA(window, name, sizeof name);
            if (owner == s.processId && IsWindowVisible(window) && std::strcmp(name, s.className) == 0) {
                s.found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool Shows(HWND map, const std::wstring& name)
{
    for (HWND child = GetWindow(map, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[128] = {};
        GetWindowTextW(child, text, 128);
        if (name == text) return true;
    }
    return false;
}

FrontWindow::FrontWindow()
{
    WNDCLASSW type{};
    type.lpfnWndProc = DefWindowProcW;
    type.hInstance = GetModuleHandleW(nullptr);
    type.lpszClassName = L"MappaBenchFront";
    type.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&type);
    window_ = CreateWindowExW(0, type.lpszClassName, L"Bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 500, 300, 200,
                              nullptr, nullptr, type.hInstance, nullptr);
    if (!window_) throw std::runtime_error("cannot create the bench window");
}

void FrontWindow::takeFront() const
{
    SetForegroundWindow(window_);
    WaitFor([&] { return GetForegroundWindow() == window_; }, 5000, "the bench window in front");
}

}  // namespace mappa::winbench
