// The boundary of the office map's objects: every failure inside leaves a
// method as an HRESULT with error information, once.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <exception>
#include <string>

#include "support/WinError.h"

namespace mappa {

// A client's argument that the method refuses; the message names the argument.
class ArgumentError : public WindowsError {
public:
    ArgumentError(HRESULT code, const std::string& message) : WindowsError(code, message) {}
};

// Sets the thread's error information (source "ObelSupportMappaMap.OfficeMap",
// interface `iid`) and returns `code`, or E_UNEXPECTED when it is no failure.
HRESULT ReportAutomationFailure(REFIID iid, const std::string& message, HRESULT code);

template <typename Function>
HRESULT GuardedCall(REFIID iid, Function&& function) noexcept
{
    try {
        function();
        return S_OK;
    } catch (const WindowsError& error) {
        return ReportAutomationFailure(iid, error.what(), error.code());
    } catch (const std::bad_alloc&) {
        return ReportAutomationFailure(iid, "Out of memory", E_OUTOFMEMORY);
    } catch (const std::exception& error) {
        return ReportAutomationFailure(iid, error.what(), E_UNEXPECTED);
    } catch (...) {
        return ReportAutomationFailure(iid, "Unknown error", E_UNEXPECTED);
    }
}

// A new BSTR of UTF-8 text; throws when there is no memory.
BSTR NewBstr(const std::string& text);

}  // namespace mappa
