// A channel hook that counts the calls leaving this process: all of them,
// those that add or release a proxy's references, and the enumerators' ones.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <oaidl.h>

#include <atomic>

namespace mappa::winbench {

// {00000131-0000-0000-C000-000000000046} and {00000143-...}: the interfaces
// through which a proxy adds and releases its references.
inline constexpr GUID kRemUnknown = {0x00000131, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr GUID kRemUnknown2 = {0x00000143, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
// This hook's extension, a GUID of its own.
inline constexpr GUID kCountingExtension = {0x6b1d2f40, 0x93a5, 0x4c57, {0x8e, 0x11, 0x2a, 0x61, 0x0c, 0x5d, 0x73, 0x94}};

class CallCounter final : public IChannelHook {
public:
    std::atomic<long> calls{0}, references{0}, enumerations{0};

    void reset() { calls = references = enumerations = 0; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IChannelHook) {
            *object = static_cast<IChannelHook*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    void STDMETHODCALLTYPE ClientGetSize(REFGUID, REFIID iid, ULONG* size) override
    {
        ++calls;
        if (iid == kRemUnknown || iid == kRemUnknown2) ++references;
        if (iid == IID_IEnumVARIANT) ++enumerations;
        *size = 0;
    }
    void STDMETHODCALLTYPE ClientFillBuffer(REFGUID, REFIID, ULONG* size, void*) override { *size = 0; }
    void STDMETHODCALLTYPE ClientNotify(REFGUID, REFIID, ULONG, void*, DWORD, HRESULT) override {}
    void STDMETHODCALLTYPE ServerNotify(REFGUID, REFIID, ULONG, void*, DWORD) override {}
    void STDMETHODCALLTYPE ServerGetSize(REFGUID, REFIID, HRESULT, ULONG* size) override { *size = 0; }
    void STDMETHODCALLTYPE ServerFillBuffer(REFGUID, REFIID, ULONG* size, void*, HRESULT) override { *size = 0; }
};

}  // namespace mappa::winbench
