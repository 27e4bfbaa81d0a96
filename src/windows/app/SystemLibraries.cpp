#include "app/SystemLibraries.h"

#include <windows.h>
#include <delayimp.h>

namespace mappa {
namespace {

// The DLLs that the import table would name but that are not Known DLLs
// (comctl32, oleacc) are delay-loaded: the loader would resolve them before
// any code of ours could restrict the search. So are two Known DLLs that the
// window does not need to show (comdlg32, shell32). Each one is loaded here,
// from the system folder, on its first call; the manifest's side-by-side
// redirection still applies, so comctl32 is version 6.
FARPROC WINAPI LoadDelayedLibrary(unsigned notification, PDelayLoadInfo load)
{
    if (notification != dliNotePreLoadLibrary) return nullptr;
    return reinterpret_cast<FARPROC>(LoadLibraryExA(load->szDll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

}  // namespace

void LoadSystemLibrariesFromSystem32Only()
{
    // Windows 7 has the call only with update KB2533623: without it, at least
    // the current folder leaves the search.
    using SetDirectories = BOOL(WINAPI*)(DWORD);
    const auto set_default = reinterpret_cast<SetDirectories>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (!set_default || !set_default(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryW(L"");
}

}  // namespace mappa

// The delay-load helper's hook (const in Microsoft's declaration, not in MinGW's).
extern "C" {
#if defined(_MSC_VER)
const PfnDliHook __pfnDliNotifyHook2 = mappa::LoadDelayedLibrary;
#else
PfnDliHook __pfnDliNotifyHook2 = mappa::LoadDelayedLibrary;
#endif
}
