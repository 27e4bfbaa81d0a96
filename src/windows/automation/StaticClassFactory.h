// A class object that lives as long as the module: one static instance serves
// every request, so references are not counted, and LockServer keeps the
// server running. The class it makes is the derived class's CreateInstance.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace mappa {

class StaticClassFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

protected:
    StaticClassFactory() = default;
    ~StaticClassFactory() = default;
};

}  // namespace mappa
