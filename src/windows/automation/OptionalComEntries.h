// The COM entry points that a system may lack, looked up by name: those of
// ole32 (loaded from the system folder when the process has none yet), and
// OLE Automation's library, for what is looked up in it later.
#pragma once

#include <windows.h>

#include "support/WinHandles.h"

namespace mappa {

// `name` of `module` as a `Function`; null when either is missing.
template <typename Function>
Function EntryPointOf(HMODULE module, const char* name)
{
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

class OptionalComEntries {
public:
    using ServerProcessCall = ULONG(WINAPI*)();
    using ClassObjectsCall = HRESULT(WINAPI*)();
    using InitializeExCall = HRESULT(WINAPI*)(LPVOID, DWORD);

    OptionalComEntries();
    OptionalComEntries(const OptionalComEntries&) = delete;
    OptionalComEntries& operator=(const OptionalComEntries&) = delete;

    HMODULE oleAutomation() const { return oleaut_.get(); }

    InitializeExCall initializeEx = nullptr;
    ServerProcessCall addRefServerProcess = nullptr;
    ServerProcessCall releaseServerProcess = nullptr;
    ClassObjectsCall resumeClassObjects = nullptr;
    ClassObjectsCall suspendClassObjects = nullptr;
    FARPROC createInstanceEx = nullptr;

private:
    ModuleHandle ole32_;  // only when this process had to load it
    ModuleHandle oleaut_;
};

}  // namespace mappa
