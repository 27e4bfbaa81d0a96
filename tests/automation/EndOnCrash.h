// A crash ends a test process at once, with exit code 3 and a line saying so:
// Wine would start its debugger and wait for someone to close its dialog.
#pragma once

#include <windows.h>

#include <cstdio>

namespace mappa::automationtest {

inline void EndOnCrash()
{
    SetUnhandledExceptionFilter([](EXCEPTION_POINTERS* exception) -> LONG {
        std::fprintf(stderr, "crash: exception 0x%08lX at %p\n", exception->ExceptionRecord->ExceptionCode,
                     exception->ExceptionRecord->ExceptionAddress);
        std::fflush(stderr);
        TerminateProcess(GetCurrentProcess(), 3);
        return EXCEPTION_EXECUTE_HANDLER;
    });
}

}  // namespace mappa::automationtest
