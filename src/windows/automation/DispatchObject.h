// The common half of the office map's objects: IDispatch answered from type
// library 1.1, ISupportErrorInfo, and the server's object count, which every
// live object holds like the designed object does.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <string>

#include "ObelSupportMappaMap_TLB.h"
#include "automation/ComServer.h"
#include "support/ComObject.h"

namespace mappa {

// The type information of `iid` in type library 1.1 (TYPELIB 2 of the
// executable), loaded once per process; null when the library is missing.
ITypeInfo* OfficeMapTypeInfo(REFIID iid);
// The library itself, for the class's information and its registration.
ITypeLib* OfficeMapTypeLibrary();
void FreeOfficeMapTypeLibrary();

template <typename Interface>
class DispatchObject : public ComObject<Interface, ISupportErrorInfo> {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == interface_id_ || isBase(iid))
            *object = static_cast<Interface*>(this);
        else if (iid == IID_ISupportErrorInfo)
            *object = static_cast<ISupportErrorInfo*>(this);
        else if (!(*object = otherInterface(iid)))
            return E_NOINTERFACE;
        static_cast<IUnknown*>(*object)->AddRef();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override
    {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        if (!(*info = OfficeMapTypeInfo(interface_id_))) return E_UNEXPECTED;
        (*info)->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        ITypeInfo* info = OfficeMapTypeInfo(interface_id_);
        return info ? DispGetIDsOfNames(info, names, count, ids) : E_UNEXPECTED;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argumentError) override
    {
        ITypeInfo* info = OfficeMapTypeInfo(interface_id_);
        if (!info) return E_UNEXPECTED;
        if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF))
            flags |= DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF;
        // A call that wants a result may read a property: JScript's Enumerator
        // asks for _NewEnum as a method, and Wine's dispatch matches kinds exactly.
        if ((flags & DISPATCH_METHOD) && result) flags |= DISPATCH_PROPERTYGET;
        return info->Invoke(static_cast<Interface*>(this), id, flags, parameters, result, exception, argumentError);
    }

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override
    {
        return iid == interface_id_ || isBase(iid) ? S_OK : S_FALSE;
    }

protected:
    explicit DispatchObject(REFIID interfaceId) : interface_id_(interfaceId)
    {
        if (ComServer* server = Server()) server->countIn();
    }
    virtual ~DispatchObject()
    {
        if (ComServer* server = Server()) server->countOut();
    }
    // An interface that Interface derives from, besides IDispatch.
    virtual bool isBase(REFIID) const { return false; }
    // Interfaces of the object's own; null when it has none of that IID.
    virtual void* otherInterface(REFIID) { return nullptr; }
    REFIID interfaceId() const { return interface_id_; }

private:
    const IID interface_id_;
};

}  // namespace mappa
