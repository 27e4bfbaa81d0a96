// The automation object SupportMap, its class object, and the class
// registration record that start-up hands to COM.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <string>

#include "ObelSupportMappaMap_TLB.h"
#include "automation/StaticClassFactory.h"

namespace mappa {

// What the program knows of its automation class, read from the type library
// embedded in the executable, once per process.
struct SupportMapRegistration {
    Microsoft::WRL::ComPtr<ITypeLib> typeLibrary;
    Microsoft::WRL::ComPtr<ITypeInfo> classInfo;      // the SupportMap coclass
    Microsoft::WRL::ComPtr<ITypeInfo> interfaceInfo;  // ISupportMap, which answers IDispatch
    std::string className;    // "SupportMap"
    std::string description;  // "Map Object"
    std::string progId;       // "ObelSupportMappaMap.SupportMap"
    IID errorInterface = IID_ISupportMap;
};

// Loads the type library from `modulePath` and checks that it describes the
// class; fails with "Type information missing for class TSupportMap" and the like.
void CreateSupportMapRegistration(const std::string& modulePath);
const SupportMapRegistration& Registration();
void FreeSupportMapRegistration();

class TSupportMap final : public ISupportMap, public ISupportErrorInfo, public IProvideClassInfo {
public:
    // `outer` is the controlling object when created inside an aggregate.
    explicit TSupportMap(IUnknown* outer);

    IUnknown* innerUnknown() { return &inner_; }

    // IUnknown: delegated to the controlling object.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch, answered from the type information.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

    // ISupportMap
    HRESULT STDMETHODCALLTYPE runMap(LONG ParentWindow) override;
    HRESULT STDMETHODCALLTYPE get_Version(BSTR* Value) override;

    // ISupportErrorInfo
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID iid) override;

    // IProvideClassInfo
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;

private:
    // The object's own IUnknown, which an aggregate's controlling object holds.
    class Inner final : public IUnknown {
    public:
        explicit Inner(TSupportMap& owner) : owner_(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
        ULONG STDMETHODCALLTYPE AddRef() override;
        ULONG STDMETHODCALLTYPE Release() override;

    private:
        TSupportMap& owner_;
    };

    ~TSupportMap();

    Inner inner_;
    IUnknown* controlling_;
    volatile LONG references_ = 0;
};

// The class object registered with COM: one static instance serves every request.
class SupportMapClassFactory final : public StaticClassFactory {
public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
};

SupportMapClassFactory& ClassFactory();

// Where runMap leaves its object: with the map window, which the automation
// layer does not know. The application links the two at start-up; until it
// does, runMap fails as it does without a window.
using MapClientHold = void (*)(IUnknown* client);
void SetMapClientHold(MapClientHold hold);
// What runMap does with an object: the map window holds it, and the window
// comes to the front. Fails when there is no window.
void HandMapToWindow(IUnknown* object);

}  // namespace mappa
