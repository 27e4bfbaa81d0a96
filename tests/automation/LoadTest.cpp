// Many clients at once against one server the user started: no call may fail,
// and the server's handles and private memory must not grow with the calls.
// Under Wine 8 the handles come from the system handle table and the private
// memory from the committed private pages (both usual answers are 0 for
// another process). The RPC threads that serve the clients stay for later
// calls, and Wine commits about 3 MB for each: 2 MB of stack, counted apart,
// and about 1.1 MB beside it, allowed for each thread that a round adds.
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>

#include "ClientProgress.h"
#include "ServerTest.h"

namespace mappa::automationtest {
namespace {

constexpr int kClients = 4;
constexpr int kCycles = 250;
constexpr DWORD kHandleSlack = 20;
constexpr SIZE_T kMemorySlack = 2 * 1024 * 1024;
constexpr SIZE_T kThreadOverhead = 1280 * 1024;
constexpr DWORD kThreadSlack = 4;

// A client's cycle and step, as it last wrote them.
std::string WhereClientIs(DWORD client)
{
    HANDLE mapping = OpenFileMappingW(FILE_MAP_READ, FALSE, ClientProgressName(client).c_str());
    if (!mapping) return "its progress cannot be read";
    std::string where = "its progress cannot be read";
    if (const auto* progress = static_cast<const ClientProgress*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(ClientProgress)))) {
        const LONG step = progress->step;
        where = "in cycle " + std::to_string(progress->cycle) + ", at " +
                (step >= 0 && step < static_cast<LONG>(std::size(kClientSteps)) ? kClientSteps[step] : "?");
        UnmapViewOfFile(progress);
    }
    CloseHandle(mapping);
    return where;
}

// Runs `clients` client processes of `cycles` cycles each at the same time;
// true when every one of them ended with success.
bool RunClients(int clients, int cycles)
{
    std::vector<std::unique_ptr<Process>> running;
    for (int i = 0; i < clients; ++i)
        running.push_back(std::make_unique<Process>(Quoted(ClientPath()) + " cycles " + std::to_string(cycles)));
    const ULONGLONG deadline = GetTickCount64() + 60000;
    bool all = true;
    for (auto& client : running) {
        const ULONGLONG now = GetTickCount64();
        const auto code = client->wait(now < deadline ? static_cast<DWORD>(deadline - now) : 0);
        if (!code) {
            std::printf("client %lu did not end within the minute (%s)\n", client->id(), WhereClientIs(client->id()).c_str());
            client->kill();
        }
        all = all && code == 0u;
    }
    return all;
}

// Whether the server's main thread still serves its window, for a failure's report.
std::string WindowState(DWORD server)
{
    HWND map = FindProcessWindow(server, "TMapUI", kMapCaption);
    DWORD_PTR ignored = 0;
    if (!map) return "the server has no map window";
    return SendMessageTimeoutA(map, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored)
               ? "the server's window still answers"
               : "the server's window does not answer within 5 s";
}

void Print(const char* when, const Footprint& footprint)
{
    std::printf("server %-7s handles %lu, threads %lu, private usage %zu KB, private committed %zu KB"
                " (+ %zu KB of thread stacks)\n",
                when, footprint.handles, footprint.threads, footprint.privateUsage / 1024,
                footprint.privateCommitted / 1024, footprint.stackCommitted / 1024);
}

class ServerUnderLoad : public ServerTest {};

TEST_F(ServerUnderLoad, FourClientsOf250CyclesEachLeaveNoGrowth)
{
    Process program(Quoted(MappaPath()), true);
    ASSERT_TRUE(WaitForProcessWindow(program.id(), "TMapUI", kMapCaption));

    // The first round takes the server's heap to the size that this many
    // clients at once need; only what a second round adds counts.
    ASSERT_TRUE(RunClients(kClients, kCycles)) << "warm-up round: a client failed (see its line above); "
                                                << WindowState(program.id());
    Sleep(500);
    const Footprint before = FootprintOf(program.id());
    const ULONGLONG start = GetTickCount64();
    ASSERT_TRUE(RunClients(kClients, kCycles)) << "a client failed (see its line above); " << WindowState(program.id());
    const ULONGLONG took = GetTickCount64() - start;
    Sleep(500);
    const Footprint after = FootprintOf(program.id());

    std::printf("%d clients x %d cycles (create, runMap, Version, release) in %llu ms\n", kClients, kCycles, took);
    Print("before:", before);
    Print("after:", after);
    ASSERT_GT(before.handles, 0u) << "cannot read the server's handle count";
    ASSERT_GT(before.threads, 0u) << "cannot read the server's threads";
    const DWORD new_threads = after.threads > before.threads ? after.threads - before.threads : 0;
    EXPECT_LE(new_threads, kThreadSlack);
    EXPECT_LE(after.handles, before.handles + kHandleSlack);
    EXPECT_LE(after.privateCommitted, before.privateCommitted + kMemorySlack + new_threads * kThreadOverhead);
    EXPECT_LE(after.privateUsage, before.privateUsage + kMemorySlack + new_threads * kThreadOverhead);

    ASSERT_TRUE(program.running());
    ASSERT_TRUE(CloseMapWindow(program.id()));
    ExpectEndWithoutWarning(program.id());
}

}  // namespace
}  // namespace mappa::automationtest
