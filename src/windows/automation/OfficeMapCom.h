// The office map: the automation object that other programs drive. It is the
// designed map object (runMap, Version) and its offices, searches, selection
// and events; its class object; and its registration beside the designed one.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <string>
#include <utility>
#include <vector>

#include "ObelSupportMappaMap_TLB.h"
#include "automation/StaticClassFactory.h"
#include "automation/DispatchObject.h"

namespace mappa {

inline constexpr const char* kOfficeMapProgId = "ObelSupportMappaMap.OfficeMap";
inline constexpr const char* kOfficeMapVersionedProgId = "ObelSupportMappaMap.OfficeMap.1";
inline constexpr const char* kOfficeMapDescription = "Office Map Object";

class TOfficeMap final : public DispatchObject<IOfficeMap>, public IConnectionPointContainer, public IProvideClassInfo {
public:
    static Microsoft::WRL::ComPtr<IOfficeMap> Create();

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        return DispatchObject::QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return DispatchObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return DispatchObject::Release(); }

    // ISupportMap, as the designed object does it.
    HRESULT STDMETHODCALLTYPE runMap(LONG ParentWindow) override;
    HRESULT STDMETHODCALLTYPE get_Version(BSTR* Value) override;

    // IOfficeMap
    HRESULT STDMETHODCALLTYPE get_Offices(IOffices** value) override;
    HRESULT STDMETHODCALLTYPE Find(BSTR text, IOffices** found) override;
    HRESULT STDMETHODCALLTYPE Nearest(double latitude, double longitude, IOffice** office) override;
    HRESULT STDMETHODCALLTYPE Country(BSTR name, IOffices** found) override;
    HRESULT STDMETHODCALLTYPE Show(VARIANT office) override;
    HRESULT STDMETHODCALLTYPE get_SelectedOffice(IOffice** office) override;

    // IConnectionPointContainer: the one source, OfficeMapEvents.
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** points) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    // IProvideClassInfo: the OfficeMap class, whose default source scripts look for.
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;

    // Calls every connected client's handler of event `id` with `arguments`
    // (in the reversed order of DISPPARAMS).
    void fire(DISPID id, std::vector<VARIANT>& arguments);

private:
    class EventPoint final : public IConnectionPoint {
    public:
        explicit EventPoint(TOfficeMap& owner) : owner_(owner) {}
        HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
        ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
        ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }
        HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
        HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
        HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
        HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
        HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** connections) override;

    private:
        TOfficeMap& owner_;
    };

    TOfficeMap();
    ~TOfficeMap() override;
    bool isBase(REFIID iid) const override { return iid == IID_ISupportMap; }
    void* otherInterface(REFIID iid) override;

    EventPoint events_{*this};
    std::vector<std::pair<DWORD, Microsoft::WRL::ComPtr<IDispatch>>> sinks_;
    DWORD next_cookie_ = 1;
};

class OfficeMapClassFactory final : public StaticClassFactory {
public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
};

OfficeMapClassFactory& OfficeMapFactory();

}  // namespace mappa
