// Processes and windows as the office map's client benchmark meets them:
// started from a command line, waited for, and found by their windows.
#pragma once

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>

#include "support/Support2Win.h"

namespace mappa::winbench {

std::string Quoted(const std::string& text);
// "Z:/path/file" as Windows writes it.
std::string WindowsForm(std::string path);
std::string ReadWholeFile(const std::string& path);

class Process {
public:
    explicit Process(const std::string& commandLine)
    {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring line = Utf8ToWide(commandLine);
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info_))
            throw std::runtime_error("cannot start " + commandLine);
        CloseHandle(info_.hThread);
    }
    ~Process()
    {
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 9);
        CloseHandle(info_.hProcess);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    DWORD id() const { return info_.dwProcessId; }
    HANDLE handle() const { return info_.hProcess; }
    // The exit code; throws when the process still runs after `ms`.
    DWORD wait(DWORD ms) const
    {
        if (WaitForSingleObject(info_.hProcess, ms) != WAIT_OBJECT_0) throw std::runtime_error("a process did not end");
        DWORD code = 0;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION info_{};
};

// Runs a command to its end and gives what it wrote to its standard output.
std::string OutputOf(const std::string& commandLine, DWORD ms);

void PumpMessages();
// Polls `done` (pumping this thread's messages) until it holds; throws after `ms`.
void WaitFor(const std::function<bool()>& done, DWORD ms, const char* what);
HWND ProcessWindow(DWORD processId, const char* className);
// Whether a child of the map window (the name field) reads `name`.
bool Shows(HWND map, const std::wstring& name);

// A plain window of this process that takes the front between measurements.
class FrontWindow {
public:
    FrontWindow();
    ~FrontWindow() { DestroyWindow(window_); }
    FrontWindow(const FrontWindow&) = delete;
    FrontWindow& operator=(const FrontWindow&) = delete;

    void takeFront() const;

private:
    HWND window_ = nullptr;
};

}  // namespace mappa::winbench
