// mappa_com_client.exe: a separate client process for the server tests.
//   mappa_com_client cycles <n>   n times: create, runMap 0, read Version, release
// Prints one summary line; exit code 0 when every step of every cycle
// succeeded, 1 when one failed, 2 for a bad command line.
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ClientProgress.h"
#include "DispatchClient.h"
#include "EndOnCrash.h"

using namespace mappa::automationtest;

namespace {

// Where this client is, for the test to read when it does not end.
ClientProgress* Progress()
{
    static ClientProgress unshared{};
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(ClientProgress),
                                        ClientProgressName(GetCurrentProcessId()).c_str());
    void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(ClientProgress)) : nullptr;
    return view ? static_cast<ClientProgress*>(view) : &unshared;  // the mapping lives as long as the process
}

int Cycles(int count)
{
    ClientProgress* const progress = Progress();
    const auto at = [progress](int cycle, LONG step) {
        progress->cycle = cycle;
        progress->step = step;
    };
    int failures = 0;
    HRESULT first_failure = S_OK;
    const char* failed_step = "";
    const auto check = [&](HRESULT result, const char* step) {
        if (SUCCEEDED(result)) return true;
        if (failures++ == 0) first_failure = result, failed_step = step;
        return false;
    };
    for (int i = 0; i < count; ++i) {
        Microsoft::WRL::ComPtr<IDispatch> map;
        at(i + 1, 0);
        if (!check(CreateMap(map), "create")) continue;
        at(i + 1, 1);
        check(RunMap(map.Get(), 0), "runMap");
        std::wstring version;
        at(i + 1, 2);
        if (check(ReadVersion(map.Get(), version), "Version") && version != L"1") check(E_FAIL, "Version value");
        at(i + 1, 3);
    }
    std::printf("client %lu: %d cycles, %d failures", GetCurrentProcessId(), count, failures);
    if (failures) std::printf(", first at %s: 0x%08lX", failed_step, static_cast<unsigned long>(first_failure));
    std::printf("\n");
    return failures ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || std::strcmp(argv[1], "cycles") != 0 || std::atoi(argv[2]) <= 0) {
        std::fprintf(stderr, "usage: mappa_com_client cycles <count>\n");
        return 2;
    }
    EndOnCrash();
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    const int result = Cycles(std::atoi(argv[2]));
    CoUninitialize();
    return result;
}
