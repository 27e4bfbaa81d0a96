// The footprint of another process as the server tests read it: its handles,
// its private memory, and its threads' stacks apart.
#include "ServerHarness.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <set>
#include <vector>

namespace mappa::automationtest {

DWORD HandleCountOf(DWORD processId)
{
    // Wine 8 answers 0 to GetProcessHandleCount; the system handle table is right.
    struct Entry {
        ULONG owner;
        BYTE type, flags;
        USHORT value;
        PVOID object;
        ACCESS_MASK access;
    };
    using QueryCall = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryCall>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<BYTE> buffer(1 << 20);
    ULONG needed = 0;
    constexpr ULONG kSystemHandleInformation = 16;
    LONG status = 0;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
               static_cast<LONG>(0xC0000004) && buffer.size() < (64u << 20))
        buffer.resize(buffer.size() * 2);
    if (status < 0) return 0;
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG_PTR));
    DWORD owned = 0;
    for (ULONG i = 0; i < count; ++i)
        if (entries[i].owner == processId) ++owned;
    return owned;
}

namespace {

// The allocations that hold the stacks of a process's threads (found through
// each thread's TEB), and the number of threads.
std::set<const void*> StackAllocations(HANDLE process, DWORD processId, DWORD& threads)
{
    struct ThreadBasics {
        LONG exitStatus;
        PVOID teb;
        PVOID clientProcess, clientThread;
        KAFFINITY affinity;
        LONG priority, basePriority;
    };
    using QueryCall = LONG(WINAPI*)(HANDLE, ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<QueryCall>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationThread")));
    std::set<const void*> stacks;
    threads = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != processId) continue;
        ++threads;
        HANDLE thread = OpenThread(THREAD_QUERY_INFORMATION, FALSE, entry.th32ThreadID);
        ThreadBasics basics{};
        NT_TIB tib{};
        MEMORY_BASIC_INFORMATION region{};
        if (thread && query(thread, 0, &basics, sizeof basics, nullptr) >= 0 &&
            ReadProcessMemory(process, basics.teb, &tib, sizeof tib, nullptr) &&
            VirtualQueryEx(process, tib.StackLimit, &region, sizeof region))
            stacks.insert(region.AllocationBase);
        if (thread) CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return stacks;
}

}  // namespace

Footprint FootprintOf(DWORD processId)
{
    Footprint footprint;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) return footprint;
    GetProcessHandleCount(process, &footprint.handles);
    if (footprint.handles == 0) footprint.handles = HandleCountOf(processId);
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        footprint.privateUsage = counters.PrivateUsage;
    const std::set<const void*> stacks = StackAllocations(process, processId, footprint.threads);
    MEMORY_BASIC_INFORMATION region{};
    for (const BYTE* at = nullptr; VirtualQueryEx(process, at, &region, sizeof region) == sizeof region;) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            (stacks.count(region.AllocationBase) ? footprint.stackCommitted : footprint.privateCommitted) +=
                region.RegionSize;
        const BYTE* next = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    CloseHandle(process);
    return footprint;
}

}  // namespace mappa::automationtest
