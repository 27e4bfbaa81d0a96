#include "automation/OfficeMapCom.h"

#include <oleauto.h>

#include <algorithm>
#include <charconv>
#include <memory>
#include <new>
#include <string>

#include "automation/AutomationErrors.h"
#include "automation/OfficeMapHost.h"
#include "automation/OfficeObjects.h"
#include "automation/OfficeQueries.h"
#include "automation/SupportMapCom.h"
#include "support/Application.h"
#include "support/Support2Win.h"
#include "ui/OfficeSearch.h"

namespace mappa {
namespace {

OfficeMapHost* office_map_host = nullptr;
// The office maps alive, which the map window's events go to.
std::vector<TOfficeMap*> live_maps;

// The find dialog's index of the host's offices, made at the first Find.
struct SearchIndex {
    const LocationSlots* offices = nullptr;
    std::unique_ptr<OfficeSearch> search;
};
SearchIndex search_index;

OfficeSearch& SearchOf(const LocationSlots& offices)
{
    if (search_index.offices != &offices || !search_index.search) {
        search_index.search = std::make_unique<OfficeSearch>(
            offices.dataCount(), [&offices](std::size_t i) { return SearchFieldsOf(offices[i]); });
        search_index.offices = &offices;
    }
    return *search_index.search;
}

OfficeMapHost& Host()
{
    if (!office_map_host) throw WindowsError(E_FAIL, "The map window does not exist");
    return *office_map_host;
}

// A number as a client wrote it, whatever the locale.
std::string NumberText(double value)
{
    char text[32] = {};
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

std::string BstrToUtf8(BSTR text) { return text ? WideToUtf8(std::wstring_view(text, SysStringLen(text))) : ""; }

bool IsNumber(VARTYPE type)
{
    switch (type) {
    case VT_I1: case VT_I2: case VT_I4: case VT_I8: case VT_UI1: case VT_UI2: case VT_UI4: case VT_UI8:
    case VT_INT: case VT_UINT: case VT_R4: case VT_R8: case VT_DECIMAL: case VT_CY: return true;
    default: return false;
    }
}

// The office (from 0) that Show's argument names: an office object or its number.
std::size_t OfficeNamedBy(const VARIANT& argument, std::size_t count)
{
    VARIANT value;
    VariantInit(&value);
    if (FAILED(VariantCopyInd(&value, const_cast<VARIANT*>(&argument))))
        throw ArgumentError(DISP_E_TYPEMISMATCH, "Office: neither an office nor an office's number");
    struct Cleared {
        VARIANT& value;
        ~Cleared() { VariantClear(&value); }
    } cleared{value};

    LONG number = 0;
    if (value.vt == VT_DISPATCH || value.vt == VT_UNKNOWN) {
        if (!value.punkVal) throw ArgumentError(E_INVALIDARG, "Office: Nothing is no office");
        Microsoft::WRL::ComPtr<IOffice> office;
        if (FAILED(value.punkVal->QueryInterface(IID_PPV_ARGS(&office))) || FAILED(office->get_Index(&number)))
            throw ArgumentError(DISP_E_TYPEMISMATCH, "Office: this object is no office of the map");
    } else if (IsNumber(value.vt)) {
        VARIANT converted;
        VariantInit(&converted);
        if (FAILED(VariantChangeType(&converted, &value, 0, VT_I4)))
            throw ArgumentError(DISP_E_BADINDEX, "Office: no office has this number");
        number = converted.lVal;
    } else {
        throw ArgumentError(DISP_E_TYPEMISMATCH, "Office: neither an office nor an office's number");
    }
    if (number < 1 || static_cast<std::size_t>(number) > count)
        throw ArgumentError(DISP_E_BADINDEX, "Office: " + std::to_string(number) +
                                                 " is no office: the offices are numbered 1 to " +
                                                 std::to_string(count));
    return static_cast<std::size_t>(number) - 1;
}

template <typename Result>
void ClearResult(Result** result, const char* name)
{
    if (!result) throw ArgumentError(E_POINTER, std::string(name) + ": no place for the result");
    *result = nullptr;
}

}  // namespace

void SetOfficeMapHost(OfficeMapHost* host)
{
    office_map_host = host;
    search_index = {};
}

OfficeMapHost* CurrentOfficeMapHost() { return office_map_host; }

// ---- TOfficeMap ----

Microsoft::WRL::ComPtr<IOfficeMap> TOfficeMap::Create()
{
    return Adopted<IOfficeMap>(new TOfficeMap());
}

TOfficeMap::TOfficeMap() : DispatchObject(IID_IOfficeMap) { live_maps.push_back(this); }

TOfficeMap::~TOfficeMap() { live_maps.erase(std::remove(live_maps.begin(), live_maps.end(), this), live_maps.end()); }

void* TOfficeMap::otherInterface(REFIID iid)
{
    if (iid == IID_IConnectionPointContainer) return static_cast<IConnectionPointContainer*>(this);
    if (iid == IID_IProvideClassInfo) return static_cast<IProvideClassInfo*>(this);
    return nullptr;
}

HRESULT TOfficeMap::runMap(LONG)
{
    return GuardedCall(IID_IOfficeMap, [&] { HandMapToWindow(static_cast<IOfficeMap*>(this)); });
}

HRESULT TOfficeMap::get_Version(BSTR* Value)
{
    return GuardedCall(IID_IOfficeMap, [&] {
        ClearResult(Value, "Value");
        *Value = NewBstr(kMapVersionText);
    });
}

HRESULT TOfficeMap::get_Offices(IOffices** value)
{
    return GuardedCall(IID_IOfficeMap, [&] {
        ClearResult(value, "Value");
        std::vector<std::size_t> all(HostOffices().dataCount());
        for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
        *value = TOffices::Create(std::move(all)).Detach();
    });
}

HRESULT TOfficeMap::Find(BSTR text, IOffices** found)
{
    return GuardedCall(IID_IOfficeMap, [&] {
        ClearResult(found, "Found");
        const std::vector<std::uint32_t>& matches = SearchOf(HostOffices()).filter(BstrToUtf8(text));
        *found = TOffices::Create(std::vector<std::size_t>(matches.begin(), matches.end())).Detach();
    });
}

HRESULT TOfficeMap::Nearest(double latitude, double longitude, IOffice** office)
{
    return GuardedCall(IID_IOfficeMap, [&] {
        ClearResult(office, "Office");
        if (!ValidLatitude(latitude))
            throw ArgumentError(E_INVALIDARG, "Latitude: " + NumberText(latitude) + " is not between -90 and 90");
        if (!ValidLongitude(longitude))
            throw ArgumentError(E_INVALIDARG, "Longitude: " + NumberText(longitude) + " is not between -180 and 180");
        const LocationSlots& offices = HostOffices();
        if (const auto nearest = NearestOffice(offices, latitude, longitude))
            *office = TOffice::Create(offices, *nearest).Detach();
    });
}

HRESULT TOfficeMap::Country(BSTR name, IOffices** found)
{
    return GuardedCall(IID_IOfficeMap, [&] {
        ClearResult(found, "Found");
        *found = TOffices::Create(OfficesOfCountry(HostOffices(), BstrToUtf8(name))).Detach();
    });
}

HRESULT TOfficeMap::Show(VARIANT office)
{
    return GuardedCall(IID_IOfficeMap, [&] {
        const std::size_t index = OfficeNamedBy(office, HostOffices().dataCount());
        Host().showOffice(index);
        HandMapToWindow(static_cast<IOfficeMap*>(this));
    });
}

HRESULT TOfficeMap::get_SelectedOffice(IOffice** office)
{
    return GuardedCall(IID_IOfficeMap, [&] {
        ClearResult(office, "Office");
        const LocationSlots& offices = HostOffices();
        const auto selected = Host().selectedOffice();
        if (selected && *selected < offices.dataCount()) *office = TOffice::Create(offices, *selected).Detach();
    });
}

HRESULT TOfficeMap::EnumConnectionPoints(IEnumConnectionPoints** points)
{
    if (points) *points = nullptr;
    return E_NOTIMPL;
}

HRESULT TOfficeMap::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    if (!point) return E_POINTER;
    *point = nullptr;
    if (iid != DIID_OfficeMapEvents) return CONNECT_E_NOCONNECTION;
    *point = &events_;
    events_.AddRef();
    return S_OK;
}

HRESULT TOfficeMap::GetClassInfo(ITypeInfo** info)
{
    if (!info) return E_POINTER;
    *info = nullptr;
    ITypeLib* library = OfficeMapTypeLibrary();
    return library ? library->GetTypeInfoOfGuid(CLSID_OfficeMap, info) : E_UNEXPECTED;
}

void TOfficeMap::fire(DISPID id, std::vector<VARIANT>& arguments)
{
    // A handler may disconnect, or release this map, while it runs.
    const Microsoft::WRL::ComPtr<IOfficeMap> keep(this);
    const auto sinks = sinks_;
    for (const auto& [cookie, sink] : sinks) {
        DISPPARAMS parameters{arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
        // What a client's handler does with the event is its own affair.
        sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr);
    }
}

// ---- the connection point ----

HRESULT TOfficeMap::EventPoint::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
        *object = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT TOfficeMap::EventPoint::GetConnectionInterface(IID* iid)
{
    if (!iid) return E_POINTER;
    *iid = DIID_OfficeMapEvents;
    return S_OK;
}

HRESULT TOfficeMap::EventPoint::GetConnectionPointContainer(IConnectionPointContainer** container)
{
    if (!container) return E_POINTER;
    *container = static_cast<IConnectionPointContainer*>(&owner_);
    owner_.AddRef();
    return S_OK;
}

HRESULT TOfficeMap::EventPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    Microsoft::WRL::ComPtr<IDispatch> handler;
    if (FAILED(sink->QueryInterface(DIID_OfficeMapEvents, reinterpret_cast<void**>(handler.GetAddressOf()))) &&
        FAILED(sink->QueryInterface(IID_PPV_ARGS(&handler))))
        return CONNECT_E_CANNOTCONNECT;
    try {
        owner_.sinks_.emplace_back(owner_.next_cookie_, handler);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    *cookie = owner_.next_cookie_++;
    return S_OK;
}

HRESULT TOfficeMap::EventPoint::Unadvise(DWORD cookie)
{
    auto& sinks = owner_.sinks_;
    const auto found = std::find_if(sinks.begin(), sinks.end(), [cookie](const auto& s) { return s.first == cookie; });
    if (found == sinks.end()) return CONNECT_E_NOCONNECTION;
    sinks.erase(found);
    return S_OK;
}

HRESULT TOfficeMap::EventPoint::EnumConnections(IEnumConnections** connections)
{
    if (connections) *connections = nullptr;
    return E_NOTIMPL;
}

// ---- events from the map window ----

void NotifyOfficeSelected(std::size_t index)
{
    if (live_maps.empty() || !office_map_host || !office_map_host->offices()) return;
    const LocationSlots& offices = *office_map_host->offices();
    if (index >= offices.dataCount()) return;
    try {
        const Microsoft::WRL::ComPtr<IOffice> office = TOffice::Create(offices, index);
        std::vector<VARIANT> arguments(1);
        arguments[0].vt = VT_DISPATCH;
        arguments[0].pdispVal = office.Get();
        const std::vector<TOfficeMap*> maps = live_maps;
        for (TOfficeMap* map : maps)
            if (std::find(live_maps.begin(), live_maps.end(), map) != live_maps.end()) map->fire(1, arguments);
    } catch (const std::bad_alloc&) {
        // The clients miss this one event; the map goes on.
    }
}

void NotifyMapClosing()
{
    std::vector<VARIANT> none;
    const std::vector<TOfficeMap*> maps = live_maps;
    for (TOfficeMap* map : maps)
        if (std::find(live_maps.begin(), live_maps.end(), map) != live_maps.end()) map->fire(2, none);
}

// ---- the class object ----

OfficeMapClassFactory& OfficeMapFactory()
{
    static OfficeMapClassFactory factory;
    return factory;
}

HRESULT OfficeMapClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (!OfficeMapTypeLibrary()) return E_UNEXPECTED;
    try {
        return TOfficeMap::Create()->QueryInterface(iid, object);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace mappa
