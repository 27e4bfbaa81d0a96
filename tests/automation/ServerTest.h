// The fixture of every test of the program as a COM server: no server running
// before or after, and the build's Mappa.exe registered in the prefix.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>

#include "DispatchClient.h"
#include "ServerHarness.h"

namespace mappa::automationtest {

inline std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

class ServerTest : public testing::Test {
protected:
    void SetUp() override
    {
        EndServers();
        ASSERT_EQ(RunToEnd(Quoted(MappaPath()) + " /regserver"), 0u) << "Mappa.exe /regserver";
    }

    void TearDown() override
    {
        const bool left_running = !ServerProcesses().empty();
        EndServers();
        if (!HasFailure()) {
            EXPECT_FALSE(left_running) << "the test left Mappa.exe running";
        }
    }

    // Closes the map window of `server` as its close box does; true when a
    // window was there to close.
    static bool CloseMapWindow(DWORD server)
    {
        HWND map = FindProcessWindow(server, "TMapUI", kMapCaption);
        return map && PostMessageA(map, WM_CLOSE, 0, 0);
    }

    // Waits for `server` to end, failing if it warns about live objects on the way.
    static void ExpectEndWithoutWarning(DWORD server, DWORD ms = 10000)
    {
        bool warned = false;
        const ULONGLONG start = GetTickCount64();
        const bool ended = WaitUntil([&] {
            if (HWND box = FindProcessWindow(server, "#32770", kWarningCaption)) {
                warned = true;
                PressButton(box, IDYES);
            }
            return !IsRunning(server);
        }, ms);
        if (ended) std::printf("the server ended %llu ms later\n", GetTickCount64() - start);
        EXPECT_FALSE(warned) << "the server warned about live objects";
        EXPECT_TRUE(ended) << "the server did not end within " << ms << " ms";
    }
};

}  // namespace mappa::automationtest
