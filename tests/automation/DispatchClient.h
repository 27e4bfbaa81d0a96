// A client of the map object in another process, calling it the only way that
// crosses processes under Wine: through IDispatch, as scripts do.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <string>

namespace mappa::automationtest {

// A new object from the registered local server (started by COM when needed).
HRESULT CreateMap(Microsoft::WRL::ComPtr<IDispatch>& map);
HRESULT ReadVersion(IDispatch* map, std::wstring& version);
HRESULT RunMap(IDispatch* map, LONG parentWindow);
// The member id of `name`, DISPID_UNKNOWN when the call fails.
DISPID IdOfName(IDispatch* map, const wchar_t* name, HRESULT* result = nullptr);

}  // namespace mappa::automationtest
