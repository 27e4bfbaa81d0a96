#include "automation/StaticClassFactory.h"

#include "automation/ComServer.h"

namespace mappa {

HRESULT StaticClassFactory::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
        *object = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT StaticClassFactory::LockServer(BOOL lock)
{
    CoLockObjectExternal(static_cast<IClassFactory*>(this), lock, TRUE);
    if (ComServer* server = Server()) {
        if (lock) server->countIn();
        else server->countOut();
    }
    return S_OK;
}

}  // namespace mappa
