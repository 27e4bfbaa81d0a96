// Small COM helpers for the data loader.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace mappa {

class TComSupport {
public:
    // True when the system knows a programmatic identifier for the class.
    static bool isClassRegistered(const GUID& classId) noexcept;
};

}  // namespace mappa
