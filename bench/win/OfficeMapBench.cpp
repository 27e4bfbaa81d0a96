// Benchmarks of the office map as its clients meet it, under Windows (or Wine),
// against a copy of Mappa.exe that runs beside a list of 100k offices:
//
//   find      Find(Text) from a client in this process, through IDispatch as a
//             script calls it, against the same search over the same offices
//             in this process (OfficeSearch, as the server runs it) plus one
//             cross-process call (a Version get). Target: at most 2x.
//   for each  the calls a For Each over the offices makes, counted by a
//             channel hook in this client (every call that leaves the
//             process, the releases of the offices' proxies included), per
//             office; and its time per office against one Version get.
//             Target: one call per office.
//   link      a mappa: link opened as the shell opens it (Mappa.exe /link
//             "mappa:office?..." started while Mappa runs) until the map
//             window is in front and shows that office, against a client
//             started the same way that calls runMap until the map window is
//             in front. Target: at most 1.2x.
//
// Every comparison alternates its two sides, round by round; each figure is
// the median of the rounds. The queries alternate too, so that no Find
// narrows the previous one's result.
//
//   mappa_office_map_bench [find|foreach|link]...   (default: all three)

#include <windows.h>
#include <objbase.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>

#include "OfficeMapBench.h"
#include "Report.h"
#include "ScriptCalls.h"
#include "Stopwatch.h"
#include "mapdata/DataFile.h"

#ifndef MAPPA_EXE
#error "MAPPA_EXE: the Windows path of the Mappa.exe to measure"
#endif

namespace mappa::winbench {

namespace {

constexpr const char* kMapClass = "TMapUI";

}  // namespace

CallCounter g_counter;

Server::Server()
{
    folder_.write("Mappa.exe", ReadWholeFile(WindowsForm(MAPPA_EXE)));
    folder_.write(kDataFileName, MakeOfficeFile(kOffices));
    exe_ = folder_.path() + "\\Mappa.exe";
    if (Process(Quoted(exe_) + " /RegServer").wait(60000) != 0) throw std::runtime_error("/RegServer failed");
    process_ = std::make_unique<Process>(Quoted(exe_));
    WaitFor([&] { return (map_ = ProcessWindow(process_->id(), kMapClass)) != nullptr; }, 60000, "the map window");
}

Server::~Server()
{
    PostMessageW(map_, WM_CLOSE, 0, 0);
    // Clients' objects still held make the window ask; the answer is yes.
    const ULONGLONG end = GetTickCount64() + 10000;
    while (WaitForSingleObject(process_->handle(), 50) == WAIT_TIMEOUT && GetTickCount64() < end) {
        if (HWND box = ProcessWindow(process_->id(), "#32770")) PostMessageW(box, WM_COMMAND, IDYES, 0);
    }
    process_.reset();
    Process(Quoted(exe_) + " /UnRegServer").wait(30000);
}

double PerCall(const std::function<void(int)>& body, double seconds)
{
    int n = 0;
    const double start = Now();
    double elapsed = 0;
    do {
        body(n++);
        elapsed = Now() - start;
    } while (elapsed < seconds || n < 3);
    return elapsed / n;
}

void PrintFigure(const char* name, double seconds, const char* note)
{
    std::printf("  %-58s %12s%s\n", name, Duration(seconds).c_str(), note);
}

std::string Verdict(double value, double target, const char* unit)
{
    char text[64];
    std::snprintf(text, sizeof text, " [target <= %.1f%s: %s]", target, unit, value <= target ? "met" : "MISSED");
    return text;
}

}  // namespace mappa::winbench

using namespace mappa::winbench;
using Microsoft::WRL::ComPtr;

int main(int argc, char** argv)
{
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    bool find = argc < 2, foreach = argc < 2, link = argc < 2;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "find") == 0) find = true;
        else if (std::strcmp(argv[i], "foreach") == 0) foreach = true;
        else if (std::strcmp(argv[i], "link") == 0) link = true;
        else {
            std::fprintf(stderr, "usage: mappa_office_map_bench [find|foreach|link]...\n");
            return 2;
        }
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    bool met = true;
    try {
        if (FAILED(CoRegisterChannelHook(kCountingExtension, &g_counter)))
            std::printf("no channel hook: calls are not counted\n");
        Server server;
        std::printf("Mappa.exe with %zu offices, started as a user starts it, %d rounds per figure\n", kOffices, kRounds);
        {
            ComPtr<IDispatch> map = CreateOfficeMap();
            if (find) met = RunFind(server, map.Get()) && met;
            if (foreach) met = RunForEach(map.Get()) && met;
            if (link) met = RunLink(server, map.Get()) && met;
        }
        CoUninitialize();
        return met ? 0 : 1;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "mappa_office_map_bench: %s\n", error.what());
        return 1;
    }
}
