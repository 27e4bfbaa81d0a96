#include "OfficeMapCalls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ObelSupportMappaMap_TLB.h"
#include "support/Support2Win.h"

namespace mappa::automationtest {

using Microsoft::WRL::ComPtr;

HRESULT CreateOfficeMap(ComPtr<IDispatch>& map)
{
    map.Reset();
    return CoCreateInstance(CLSID_OfficeMap, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch,
                            reinterpret_cast<void**>(map.GetAddressOf()));
}

std::wstring Text(BSTR text) { return text ? std::wstring(text, SysStringLen(text)) : L""; }

Outcome InvokeByName(IDispatch* object, const wchar_t* name, WORD flags, std::vector<VARIANT> arguments)
{
    Outcome outcome;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(outcome.result = object->GetIDsOfNames(IID_NULL, names, 1, 0, &id))) return outcome;
    std::reverse(arguments.begin(), arguments.end());
    DISPPARAMS parameters{arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
    EXCEPINFO exception{};
    VARIANT result;
    VariantInit(&result);
    UINT bad_argument = 0;
    outcome.result = object->Invoke(id, IID_NULL, 0, flags, &parameters, &result, &exception, &bad_argument);
    if (outcome.result == DISP_E_EXCEPTION) {
        if (exception.pfnDeferredFillIn) exception.pfnDeferredFillIn(&exception);
        outcome.code = exception.scode;
        outcome.source = Text(exception.bstrSource);
        outcome.description = Text(exception.bstrDescription);
    }
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    VariantClear(&result);
    return outcome;
}

VARIANT Number(double value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = value;
    return v;
}

VARIANT Whole(LONG value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT Value(IDispatch* object, const wchar_t* name, std::vector<VARIANT> arguments)
{
    VARIANT result;
    VariantInit(&result);
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK) << WideToUtf8(name);
    std::reverse(arguments.begin(), arguments.end());
    DISPPARAMS parameters{arguments.data(), nullptr, static_cast<UINT>(arguments.size()), 0};
    EXPECT_EQ(object->Invoke(id, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &parameters, &result, nullptr,
                             nullptr),
              S_OK)
        << WideToUtf8(name);
    return result;
}

ComPtr<IDispatch> ObjectOf(IDispatch* object, const wchar_t* name, std::vector<VARIANT> arguments)
{
    VARIANT value = Value(object, name, std::move(arguments));
    ComPtr<IDispatch> found;
    if (value.vt == VT_DISPATCH) found = value.pdispVal;
    VariantClear(&value);
    return found;
}

std::wstring TextOf(IDispatch* object, const wchar_t* name)
{
    if (!object) return L"<nothing>";
    VARIANT value = Value(object, name);
    std::wstring text = value.vt == VT_BSTR ? Text(value.bstrVal) : L"<not a text>";
    VariantClear(&value);
    return text;
}

double NumberOf(IDispatch* object, const wchar_t* name)
{
    VARIANT value = Value(object, name);
    VARIANT number;
    VariantInit(&number);
    const double result = SUCCEEDED(VariantChangeType(&number, &value, 0, VT_R8)) ? number.dblVal : std::nan("");
    VariantClear(&value);
    return result;
}

VARIANT TextArgument(const wchar_t* text)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(text);
    return v;
}

VARIANT ObjectArgument(IDispatch* object)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_DISPATCH;
    v.pdispVal = object;
    return v;
}


HRESULT STDMETHODCALLTYPE EventSink::QueryInterface(REFIID iid, void** object)
{
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_OfficeMapEvents) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*,
                                            EXCEPINFO*, UINT*)
{
    if (id == 2 && parameters->cArgs == 0) ++closings;
    if (id == 1 && parameters->cArgs == 1 && parameters->rgvarg[0].vt == VT_DISPATCH) {
        selected.push_back(static_cast<long>(NumberOf(parameters->rgvarg[0].pdispVal, L"Index")));
    }
    return S_OK;
}

}  // namespace mappa::automationtest
