// What the parts of the office map benchmark share: the server under test,
// the rounds and targets, and how figures are taken and printed.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "CallCounter.h"
#include "ClientProcesses.h"
#include "OfficeFile.h"

namespace mappa::winbench {

inline constexpr std::size_t kOffices = 100000;
inline constexpr int kRounds = 9;

// Counts the calls that leave this process, once registered as a channel hook.
extern CallCounter g_counter;

// A copy of Mappa.exe with 100k offices beside it, registered and started as
// a user starts it; its window is closed at the end.
class Server {
public:
    Server();
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    const std::string& exe() const { return exe_; }
    const std::string& folder() const { return folder_.path(); }
    HWND map() const { return map_; }
    HANDLE process() const { return process_->handle(); }

private:
    ScratchFolder folder_;
    std::string exe_;
    std::unique_ptr<Process> process_;
    HWND map_ = nullptr;
};

// Seconds per repetition of `body(i)`, repeated until the sample took `seconds`.
double PerCall(const std::function<void(int)>& body, double seconds);
void PrintFigure(const char* name, double seconds, const char* note = "");
// " [target <= 2.0x: met]"
std::string Verdict(double value, double target, const char* unit);

// Each part prints its figures; true when its target is met.
bool RunFind(Server& server, IDispatch* map);
bool RunForEach(IDispatch* map);
bool RunLink(Server& server, IDispatch* map);

}  // namespace mappa::winbench
