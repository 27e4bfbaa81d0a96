#include "automation/AutomationErrors.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <new>

#include "support/Support2Win.h"

namespace mappa {

HRESULT ReportAutomationFailure(REFIID iid, const std::string& message, HRESULT code)
{
    Microsoft::WRL::ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(&create))) return E_UNEXPECTED;
    const std::wstring description = Utf8ToWide(message);
    create->SetGUID(iid);
    create->SetSource(const_cast<LPOLESTR>(L"ObelSupportMappaMap.OfficeMap"));
    create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create.As(&info))) SetErrorInfo(0, info.Get());
    return FAILED(code) ? code : E_UNEXPECTED;
}

BSTR NewBstr(const std::string& text)
{
    const std::wstring wide = Utf8ToWide(text);
    BSTR copy = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!copy) throw std::bad_alloc();
    return copy;
}

}  // namespace mappa
