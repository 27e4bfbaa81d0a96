#include "ScriptCalls.h"

#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "support/Support2Win.h"

namespace mappa::winbench {

using Microsoft::WRL::ComPtr;

void Check(HRESULT result, const char* what)
{
    if (FAILED(result)) {
        char text[160];
        std::snprintf(text, sizeof text, "%s failed: 0x%08lX", what, static_cast<unsigned long>(result));
        throw std::runtime_error(text);
    }
}

DISPID IdOf(IDispatch* object, const wchar_t* name)
{
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    Check(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), "GetIDsOfNames");
    return id;
}

VARIANT Call(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT> arguments)
{
    std::reverse(arguments.begin(), arguments.end());  // IDispatch takes them last first
    DISPPARAMS parameters{arguments.empty() ? nullptr : arguments.data(), nullptr,
                          static_cast<UINT>(arguments.size()), 0};
    VARIANT result;
    VariantInit(&result);
    const HRESULT outcome = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &parameters, &result, nullptr, nullptr);
    for (VARIANT& argument : arguments) VariantClear(&argument);
    Check(outcome, "Invoke");
    return result;
}

VARIANT Text(const std::string& text)
{
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(Utf8ToWide(text).c_str());
    return value;
}

ComPtr<IDispatch> AsObject(VARIANT value)
{
    ComPtr<IDispatch> object;
    // Takes over the result's reference (MinGW's ComPtr::Attach would add one).
    if (value.vt == VT_DISPATCH && value.pdispVal) *object.GetAddressOf() = value.pdispVal;
    else VariantClear(&value);
    if (!object) throw std::runtime_error("the call gave no object");
    return object;
}

LONG AsLong(VARIANT value)
{
    Check(VariantChangeType(&value, &value, 0, VT_I4), "VariantChangeType");
    return value.lVal;
}

ComPtr<IDispatch> CreateOfficeMap()
{
    CLSID clsid{};
    Check(CLSIDFromProgID(L"ObelSupportMappaMap.OfficeMap", &clsid), "CLSIDFromProgID");
    ComPtr<IDispatch> map;
    Check(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, reinterpret_cast<void**>(map.GetAddressOf())),
          "CoCreateInstance");
    return map;
}

}  // namespace mappa::winbench
