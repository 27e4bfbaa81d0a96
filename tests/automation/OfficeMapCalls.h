// Calls to the office map from another process as a script makes them,
// through IDispatch by name, and a sink that hears its events the same way.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <string>
#include <vector>

namespace mappa::automationtest {

// Across processes Wine's marshaller reaches the office map only through
// IDispatch: the vtable proxy of IOfficeMap needs that of ISupportMap, whose
// library stays registered under locale 0x0409 as the designed one is.
HRESULT CreateOfficeMap(Microsoft::WRL::ComPtr<IDispatch>& map);

std::wstring Text(BSTR text);

// A call through IDispatch::Invoke by name, as a script makes it.
struct Outcome {
    HRESULT result = E_FAIL;
    HRESULT code = S_OK;  // the EXCEPINFO's, when the call raised an exception
    std::wstring source, description;
};

Outcome InvokeByName(IDispatch* object, const wchar_t* name, WORD flags, std::vector<VARIANT> arguments);

VARIANT Number(double value);
VARIANT Whole(LONG value);
// A member's value through IDispatch, as a script reads it; fails the test when the call fails.
VARIANT Value(IDispatch* object, const wchar_t* name, std::vector<VARIANT> arguments = {});
Microsoft::WRL::ComPtr<IDispatch> ObjectOf(IDispatch* object, const wchar_t* name, std::vector<VARIANT> arguments = {});
std::wstring TextOf(IDispatch* object, const wchar_t* name);
double NumberOf(IDispatch* object, const wchar_t* name);
// A text argument; these few small strings are left to the process's end.
VARIANT TextArgument(const wchar_t* text);
VARIANT ObjectArgument(IDispatch* object);

// Receives the office map's events as a script host does: through IDispatch.
class EventSink final : public IDispatch {
public:
    std::vector<long> selected;  // the Index of each OfficeSelected's office
    int closings = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }  // lives on the test's stack
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT*, EXCEPINFO*,
                                     UINT*) override;
    ULONG references() const { return references_; }

private:
    ULONG references_ = 0;
};

}  // namespace mappa::automationtest
