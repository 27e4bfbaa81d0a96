#include "automation/OptionalComEntries.h"

namespace mappa {

OptionalComEntries::OptionalComEntries()
{
    HMODULE ole32 = GetModuleHandleW(L"ole32.dll");
    if (!ole32) {
        ole32_.reset(LoadLibraryExW(L"ole32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
        ole32 = ole32_.get();
    }
    createInstanceEx = GetProcAddress(ole32, "CoCreateInstanceEx");
    initializeEx = EntryPointOf<InitializeExCall>(ole32, "CoInitializeEx");
    addRefServerProcess = EntryPointOf<ServerProcessCall>(ole32, "CoAddRefServerProcess");
    releaseServerProcess = EntryPointOf<ServerProcessCall>(ole32, "CoReleaseServerProcess");
    resumeClassObjects = EntryPointOf<ClassObjectsCall>(ole32, "CoResumeClassObjects");
    suspendClassObjects = EntryPointOf<ClassObjectsCall>(ole32, "CoSuspendClassObjects");
    oleaut_.reset(LoadLibraryExW(L"OLEAUT32.DLL", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

}  // namespace mappa
