// What the tests of the program as a COM server share: its processes, started
// by the tests or by COM and always ended at the end of a test; its windows
// and message boxes as seen from outside; its registry entries; its footprint.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace mappa::automationtest {

inline constexpr const char* kClassKey = "CLSID\\{53E9A354-DB33-430D-9DFD-15EE629798E6}";
inline constexpr const char* kProgIdKey = "ObelSupportMappaMap.SupportMap";
inline constexpr const char* kTypeLibKey = "TypeLib\\{401913BB-FADD-4255-A0BF-684C39EDEE26}";
inline constexpr const char* kInterfaceKey = "Interface\\{75BF1E08-8073-423F-BACB-BAF9504ABD00}";
inline constexpr const char* kMapCaption = "Norvantic - Worldwide Locations";
inline constexpr const char* kWarningCaption = "COM Server Warning";

// Paths and texts are UTF-8.
// Windows paths of the build's Mappa.exe, of the client and of a test script.
std::string MappaPath();
std::string ClientPath();
std::string ScriptPath(const char* name);
// The copy of Mappa.exe in a folder whose name has a blank.
std::string BlankFolder();
// The copy of Mappa.exe in a folder whose name no ANSI code page holds ("C:\Карты\地図").
std::string ForeignFolder();

// Polls `done` (pumping this thread's messages) until it holds or `ms` passed.
bool WaitUntil(const std::function<bool()>& done, DWORD ms);

// A process the test started. A client writes into this process's output and
// is ended on destruction; a server (Mappa.exe started as a user would) is
// left to EndServers, which closes it as a user would.
class Process {
public:
    explicit Process(const std::string& commandLine, bool isServer = false);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started() const { return info_.hProcess != nullptr; }
    DWORD id() const { return info_.dwProcessId; }
    bool running() const;
    // The exit code, or nothing when the process is still running after `ms`.
    std::optional<DWORD> wait(DWORD ms) const;
    void kill();

private:
    PROCESS_INFORMATION info_{};
    bool is_server_;
};

// Runs a command to its end; its exit code, or nothing after a timeout (then it is killed).
std::optional<DWORD> RunToEnd(const std::string& commandLine, DWORD ms = 20000);

// The Mappa.exe processes started from the build's or the test copy's path.
std::vector<DWORD> ServerProcesses();
bool IsRunning(DWORD processId);
// Waits for the one server process to appear; 0 when none did.
DWORD WaitForServerProcess(DWORD ms = 15000);
bool WaitForExit(DWORD processId, DWORD ms);
// Ends every server process: closes its map window and answers Yes to the
// warning; kills it (and reports that) only when that fails.
void EndServers();
// Wine 8's rpcss keeps a class object registered until its server revokes it,
// also when the server was killed: every later activation of the class then
// fails with RPC_S_SERVER_UNAVAILABLE. Stopping the RpcSs service clears the
// table; COM starts the service again at its next call.
void ForgetDeadClassObjects();

// A visible top-level window of process `processId` with this class (any when null) and caption.
HWND FindProcessWindow(DWORD processId, const char* className, const char* caption);
HWND WaitForProcessWindow(DWORD processId, const char* className, const char* caption, DWORD ms = 15000);
// The message of a message box, and a press of one of its buttons (IDYES, IDNO, ...).
std::string MessageBoxText(HWND box);
void PressButton(HWND box, int button);

// HKEY_CLASSES_ROOT as the server writes it.
bool KeyExists(const std::string& key);
std::optional<std::string> RegistryText(const std::string& key, const char* value = nullptr);
std::vector<std::string> SubKeys(const std::string& key);
std::vector<std::string> ValueNames(const std::string& key);

// The same file, whatever the spelling (short or long form, letter case).
bool SamePath(const std::string& left, const std::string& right);

// What another process holds: handles; private memory as the system reports
// it; and its committed private pages apart from and in its threads' stacks.
// (Wine commits a thread's whole stack, about 3 MB, and the RPC threads that
// serve clients stay for later calls, so stacks are counted apart.)
struct Footprint {
    DWORD handles = 0;
    DWORD threads = 0;
    SIZE_T privateUsage = 0;
    SIZE_T privateCommitted = 0;
    SIZE_T stackCommitted = 0;
};
// The handles another process holds, from the system handle table.
DWORD HandleCountOf(DWORD processId);
Footprint FootprintOf(DWORD processId);

}  // namespace mappa::automationtest
