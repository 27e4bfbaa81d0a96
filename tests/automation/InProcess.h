// What the in-process tests of the automation object share: owned BSTRs and
// VARIANTs, objects made through the class object, and the server's count.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <string>

#include "automation/ComServer.h"
#include "automation/SupportMapCom.h"

namespace mappa::automationtest {

using Microsoft::WRL::ComPtr;

struct OwnedBstr {
    BSTR text = nullptr;
    OwnedBstr() = default;
    OwnedBstr(const OwnedBstr&) = delete;
    OwnedBstr& operator=(const OwnedBstr&) = delete;
    ~OwnedBstr() { SysFreeString(text); }
    std::wstring str() const { return text ? std::wstring(text, SysStringLen(text)) : std::wstring(); }
};

struct OwnedVariant : VARIANT {
    OwnedVariant() { VariantInit(this); }
    OwnedVariant(const OwnedVariant&) = delete;
    OwnedVariant& operator=(const OwnedVariant&) = delete;
    ~OwnedVariant() { VariantClear(this); }
};

// A new SupportMap object, made the way COM makes it for a client.
inline ComPtr<ISupportMap> NewMap()
{
    ComPtr<ISupportMap> map;
    ClassFactory().CreateInstance(nullptr, IID_ISupportMap, reinterpret_cast<void**>(map.GetAddressOf()));
    return map;
}

// The live objects and class locks of the test process's server.
inline LONG ObjectCount() { return Server()->objectCount(); }

// The error information that the last failed call left on this thread.
struct ErrorRecord {
    bool present = false;
    std::wstring description, source;
    GUID guid{};
};
ErrorRecord TakeErrorInfo();

}  // namespace mappa::automationtest
