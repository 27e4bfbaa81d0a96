// Failures of Windows calls, carried as exceptions with their error code.
#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>

namespace mappa {

class WindowsError : public std::runtime_error {
public:
    WindowsError(HRESULT code, const std::string& what) : std::runtime_error(what), code_(code) {}
    HRESULT code() const { return code_; }

private:
    HRESULT code_;
};

inline void ThrowIfFailed(HRESULT result, const char* what)
{
    if (FAILED(result)) throw WindowsError(result, what);
}

}  // namespace mappa
