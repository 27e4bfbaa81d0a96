#include "DispatchClient.h"

#include "ObelSupportMappaMap_TLB.h"

namespace mappa::automationtest {

HRESULT CreateMap(Microsoft::WRL::ComPtr<IDispatch>& map)
{
    map.Reset();
    return CoCreateInstance(CLSID_SupportMap, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                            reinterpret_cast<void**>(map.GetAddressOf()));
}

HRESULT ReadVersion(IDispatch* map, std::wstring& version)
{
    version.clear();
    DISPPARAMS none{};
    VARIANT result;
    VariantInit(&result);
    const HRESULT outcome = map->Invoke(2, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr);
    if (result.vt == VT_BSTR && result.bstrVal) version.assign(result.bstrVal, SysStringLen(result.bstrVal));
    else if (SUCCEEDED(outcome)) version = L"<not a string>";
    VariantClear(&result);
    return outcome;
}

HRESULT RunMap(IDispatch* map, LONG parentWindow)
{
    VARIANT parent;
    VariantInit(&parent);
    parent.vt = VT_I4;
    parent.lVal = parentWindow;
    DISPPARAMS arguments{&parent, nullptr, 1, 0};
    return map->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &arguments, nullptr, nullptr, nullptr);
}

DISPID IdOfName(IDispatch* map, const wchar_t* name, HRESULT* result)
{
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    const HRESULT outcome = map->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
    if (result) *result = outcome;
    return SUCCEEDED(outcome) ? id : DISPID_UNKNOWN;
}

}  // namespace mappa::automationtest
