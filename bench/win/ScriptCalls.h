// Calls through IDispatch as a script makes them: a member's id asked by
// name, arguments passed last first, results taken over.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <string>
#include <vector>

namespace mappa::winbench {

// Throws, naming `what`, when `result` is a failure.
void Check(HRESULT result, const char* what);

DISPID IdOf(IDispatch* object, const wchar_t* name);
VARIANT Call(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT> arguments = {});
VARIANT Text(const std::string& text);
// The object that `value` holds, its reference taken over; throws when it holds none.
Microsoft::WRL::ComPtr<IDispatch> AsObject(VARIANT value);
LONG AsLong(VARIANT value);
// A new office map object from the registered local server.
Microsoft::WRL::ComPtr<IDispatch> CreateOfficeMap();

}  // namespace mappa::winbench
