// Where a client of the load test is: its cycle and its step, in memory named
// after its process, so that the test can tell where a client that does not
// end waits before it stops it.
#pragma once

#include <windows.h>

#include <string>

namespace mappa::automationtest {

struct ClientProgress {
    volatile LONG cycle;
    volatile LONG step;  // an index into kClientSteps
};

inline constexpr const char* kClientSteps[] = {"create", "runMap", "Version", "release"};

inline std::wstring ClientProgressName(DWORD process) { return L"Local\\MappaComClient." + std::to_wstring(process); }

}  // namespace mappa::automationtest
