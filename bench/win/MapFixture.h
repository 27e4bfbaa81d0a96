// The map window as the benchmarks open it: over a scratch office list, with
// messages and requests to end counted rather than shown, and one start traced
// step by step.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "mapdata/WindowsDataFileSource.h"
#include "ui/UMapUI.h"

namespace mappa::winbench {

// The loader's platform services on the scratch folder; a message or a request
// to end is counted rather than shown, so that nothing waits for a user.
class QuietSource : public WindowsDataFileSource {
public:
    using WindowsDataFileSource::WindowsDataFileSource;
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void requestTerminate() override { ++terminateRequests; }
    std::vector<std::string> messages;
    int terminateRequests = 0;
};

void Pump();
std::unique_ptr<TMapUI> CreateMap(QuietSource& source);
std::unique_ptr<TMapUI> OpenMap(QuietSource& source);

// Timestamps of one window start, taken by watching the messages that the
// show handler sends on its way: the show itself, the country list's redraw
// switch around its fill, and the first caption of the web link.
struct ReadyTrace {
    double start = 0, created = 0, showEnter = 0, loadStart = 0, loadEnd = 0, fillStart = 0, fillEnd = 0,
           linkText = 0, showExit = 0, end = 0;
};

// One traced window start; the window is destroyed afterwards.
ReadyTrace TraceReady(QuietSource& source);

// Moves the real pointer; false when the system does not report it there.
bool MovePointer(POINT to);

}  // namespace mappa::winbench
