// A mappa: link opened while Mappa runs, against a client's runMap.
#include <windows.h>
#include <oaidl.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "OfficeMapBench.h"
#include "Report.h"
#include "ScriptCalls.h"
#include "automation/MappaLink.h"
#include "support/Support2Win.h"

#ifndef RUNMAP_CLIENT
#error "RUNMAP_CLIENT: the Windows path of mappa_runmap_client.exe"
#endif

namespace mappa::winbench {

namespace {

constexpr double kLinkTarget = 1.2;

}  // namespace

bool RunLink(Server& server, IDispatch* map)
{
    std::printf("\nA link opened while Mappa runs, against a client's runMap, each from a new process,\n"
                "until the map window is in front (and, for the link, shows the office)\n");
    FrontWindow front;
    const HWND window = server.map();
    const DISPID runMap = 1;
    const auto inFront = [&] { return GetForegroundWindow() == window; };

    std::vector<double> link, client, call, ratios;
    for (int round = 0; round < kRounds; ++round) {
        // A link to an office that the window does not show yet.
        const std::string name = "Office " + std::to_string(1000 + 7919 * round % 90000);
        const std::wstring shown = Utf8ToWide(name);
        const std::string command = Quoted(server.exe()) + " /link " + Quoted(OfficeLinkText(name, ""));
        front.takeFront();
        double start = Now();
        {
            Process opener(command);
            WaitFor([&] { return inFront() && Shows(window, shown); }, 20000, "the linked office");
            const double end = Now();
            if (opener.wait(20000) != 0) throw std::runtime_error("the link was refused: " + command);
            link.push_back(end - start);
        }

        front.takeFront();
        start = Now();
        {
            Process runner(Quoted(WindowsForm(RUNMAP_CLIENT)));
            WaitFor(inFront, 20000, "the map in front after runMap");
            const double end = Now();
            if (runner.wait(20000) != 0) throw std::runtime_error("the runMap client failed");
            client.push_back(end - start);
        }
        ratios.push_back(link.back() / client.back());

        // For comparison: runMap from a client that is already connected.
        front.takeFront();
        start = Now();
        VARIANT parent;
        VariantInit(&parent);
        parent.vt = VT_I4;
        VARIANT none = Call(map, runMap, DISPATCH_METHOD, {parent});
        VariantClear(&none);
        WaitFor(inFront, 20000, "the map in front after runMap");
        call.push_back(Now() - start);
    }
    const double ratio = Median(ratios);
    PrintFigure("link: Mappa.exe /link \"mappa:office?...\" until shown", Median(link));
    PrintFigure("runMap: a new client process until the map is in front", Median(client));
    PrintFigure("runMap from a connected client, until in front (no target)", Median(call));
    std::printf("  link / runMap: %.2fx%s\n", ratio, Verdict(ratio, kLinkTarget, "x").c_str());
    return ratio <= kLinkTarget;
}

}  // namespace mappa::winbench
