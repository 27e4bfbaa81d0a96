#include "automation/SupportMapCom.h"

#include <oleauto.h>

#include <memory>
#include <new>
#include <stdexcept>

#include "automation/ComServer.h"
#include "support/Application.h"
#include "support/Support2Win.h"
#include "support/WinError.h"
#include "support/WinHandles.h"

namespace mappa {
namespace {

std::unique_ptr<SupportMapRegistration> registration;

std::string WithClassName(const char* format)
{
    std::string text(format);
    text.replace(text.find("%s"), 2, "TSupportMap");
    return text;
}

std::string BstrText(const BstrHandle& text)
{
    return WideToUtf8(std::wstring_view(text.get(), SysStringLen(text.get())));
}

// The name and help string of a type library entry (-1: the library itself).
template <typename Documented>
void ReadDocumentation(Documented& documented, MEMBERID member, std::string* name, std::string* help)
{
    BSTR raw_name = nullptr;
    BSTR raw_help = nullptr;
    documented.GetDocumentation(member, name ? &raw_name : nullptr, help ? &raw_help : nullptr, nullptr, nullptr);
    const BstrHandle owned_name(raw_name);
    const BstrHandle owned_help(raw_help);
    if (name) *name = BstrText(owned_name);
    if (help) *help = BstrText(owned_help);
}

// Hands a failure to the caller as error information and an HRESULT.
HRESULT ReportFailure(const std::string& message, HRESULT code)
{
    Microsoft::WRL::ComPtr<ICreateErrorInfo> create;
    if (FAILED(CreateErrorInfo(&create))) return E_UNEXPECTED;
    const std::wstring source = registration ? Utf8ToWide(registration->progId) : std::wstring();
    const std::wstring description = Utf8ToWide(message);
    create->SetGUID(IID_ISupportMap);
    create->SetSource(const_cast<LPOLESTR>(source.c_str()));
    create->SetHelpFile(nullptr);
    create->SetDescription(const_cast<LPOLESTR>(description.c_str()));
    create->SetHelpContext(0);
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create.As(&info))) SetErrorInfo(0, info.Get());
    return code < 0 ? code : E_UNEXPECTED;
}

// Runs an operation of the object; every failure leaves it as an HRESULT.
template <typename Function>
HRESULT Translated(Function&& function)
{
    try {
        function();
        return S_OK;
    } catch (const WindowsError& error) {
        return ReportFailure(error.what(), error.code());
    } catch (const std::exception& error) {
        return ReportFailure(error.what(), 0);
    } catch (...) {
        return ReportFailure("Unknown error", 0);
    }
}

bool IsImplemented(REFIID iid)
{
    return iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_ISupportMap || iid == IID_ISupportErrorInfo ||
           iid == IID_IProvideClassInfo;
}

}  // namespace

void CreateSupportMapRegistration(const std::string& modulePath)
{
    auto record = std::make_unique<SupportMapRegistration>();
    const std::wstring path = Utf8ToWide(modulePath);
    ThrowIfFailed(LoadTypeLib(path.c_str(), &record->typeLibrary), "Cannot load the type library");

    if (FAILED(record->typeLibrary->GetTypeInfoOfGuid(CLSID_SupportMap, &record->classInfo)))
        throw std::runtime_error(WithClassName("Type information missing for class %s"));
    ReadDocumentation(*record->classInfo.Get(), MEMBERID_NIL, &record->className, &record->description);
    std::string library;
    ReadDocumentation(*record->typeLibrary.Get(), -1, &library, nullptr);
    record->progId = library + "." + record->className;

    // The default interface: flagged default and not source.
    TYPEATTR* attributes = nullptr;
    ThrowIfFailed(record->classInfo->GetTypeAttr(&attributes), "Cannot read the type information");
    const WORD implemented = attributes->cImplTypes;
    record->classInfo->ReleaseTypeAttr(attributes);
    for (UINT i = 0; i < implemented && !record->interfaceInfo; ++i) {
        INT flags = 0;
        HREFTYPE reference = 0;
        if (FAILED(record->classInfo->GetImplTypeFlags(i, &flags))) continue;
        if (!(flags & IMPLTYPEFLAG_FDEFAULT) || (flags & IMPLTYPEFLAG_FSOURCE)) continue;
        if (SUCCEEDED(record->classInfo->GetRefTypeOfImplType(i, &reference)))
            record->classInfo->GetRefTypeInfo(reference, &record->interfaceInfo);
    }
    if (!record->interfaceInfo) throw std::runtime_error(WithClassName("Incorrect type information for class %s"));

    ThrowIfFailed(record->interfaceInfo->GetTypeAttr(&attributes), "Cannot read the type information");
    const IID default_interface = attributes->guid;
    record->interfaceInfo->ReleaseTypeAttr(attributes);
    if (!IsImplemented(default_interface) || default_interface == IID_IUnknown)
        throw std::runtime_error(WithClassName("Dispatch interface missing from class %s"));
    record->errorInterface = default_interface;
    registration = std::move(record);
}

const SupportMapRegistration& Registration()
{
    if (!registration) throw std::logic_error("The automation class is not registered");
    return *registration;
}

void FreeSupportMapRegistration() { registration.reset(); }

// ---- TSupportMap ----

TSupportMap::TSupportMap(IUnknown* outer) : inner_(*this), controlling_(outer ? outer : &inner_)
{
    if (ComServer* server = Server()) server->countIn();
}

TSupportMap::~TSupportMap()
{
    if (ComServer* server = Server()) server->countOut();
}

HRESULT TSupportMap::Inner::QueryInterface(REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown) *object = static_cast<IUnknown*>(this);
    else if (iid == IID_IDispatch || iid == IID_ISupportMap) *object = static_cast<ISupportMap*>(&owner_);
    else if (iid == IID_ISupportErrorInfo) *object = static_cast<ISupportErrorInfo*>(&owner_);
    else if (iid == IID_IProvideClassInfo) *object = static_cast<IProvideClassInfo*>(&owner_);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    static_cast<IUnknown*>(*object)->AddRef();
    return S_OK;
}

ULONG TSupportMap::Inner::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&owner_.references_)); }

ULONG TSupportMap::Inner::Release()
{
    const LONG remaining = InterlockedDecrement(&owner_.references_);
    if (remaining == 0) delete &owner_;
    return static_cast<ULONG>(remaining);
}

HRESULT TSupportMap::QueryInterface(REFIID iid, void** object) { return controlling_->QueryInterface(iid, object); }
ULONG TSupportMap::AddRef() { return controlling_->AddRef(); }
ULONG TSupportMap::Release() { return controlling_->Release(); }

HRESULT TSupportMap::GetTypeInfoCount(UINT* count)
{
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT TSupportMap::GetTypeInfo(UINT index, LCID, ITypeInfo** info)
{
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    if (!registration) return E_UNEXPECTED;
    *info = registration->interfaceInfo.Get();
    (*info)->AddRef();
    return S_OK;
}

HRESULT TSupportMap::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids)
{
    if (!registration) return E_UNEXPECTED;
    return DispGetIDsOfNames(registration->interfaceInfo.Get(), names, count, ids);
}

HRESULT TSupportMap::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                            EXCEPINFO* exception, UINT* argumentError)
{
    if (!registration) return E_UNEXPECTED;
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) flags |= DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF;
    return registration->interfaceInfo->Invoke(static_cast<ISupportMap*>(this), id, flags, parameters, result,
                                               exception, argumentError);
}

namespace {
MapClientHold map_client_hold = nullptr;
}  // namespace

void SetMapClientHold(MapClientHold hold) { map_client_hold = hold; }

void HandMapToWindow(IUnknown* object)
{
    if (!map_client_hold) throw std::runtime_error("The map window does not exist");
    // The window holds this object from now on; an earlier object's hold is let go.
    map_client_hold(object);

    HWND owner = ApplicationWindow();
    HWND popup = owner ? GetLastActivePopup(owner) : nullptr;
    if (popup && popup != owner && IsWindowVisible(popup) && IsWindowEnabled(popup)) SetForegroundWindow(popup);
}

HRESULT TSupportMap::runMap(LONG)
{
    return Translated([&] { HandMapToWindow(static_cast<ISupportMap*>(this)); });
}

HRESULT TSupportMap::get_Version(BSTR* Value)
{
    return Translated([&] {
        if (!Value) throw WindowsError(E_UNEXPECTED, "No place for the version");
        *Value = nullptr;
        const std::wstring version = Utf8ToWide(kMapVersionText);
        BstrHandle text(SysAllocStringLen(version.data(), static_cast<UINT>(version.size())));
        if (!text) throw WindowsError(E_OUTOFMEMORY, "Out of memory");
        *Value = text.release();  // the caller's from here on
    });
}

HRESULT TSupportMap::InterfaceSupportsErrorInfo(REFIID iid) { return IsImplemented(iid) ? S_OK : S_FALSE; }

HRESULT TSupportMap::GetClassInfo(ITypeInfo** info)
{
    if (!info) return E_POINTER;
    *info = nullptr;
    if (!registration) return E_UNEXPECTED;
    *info = registration->classInfo.Get();
    (*info)->AddRef();
    return S_OK;
}

// ---- the class object ----

SupportMapClassFactory& ClassFactory()
{
    static SupportMapClassFactory factory;
    return factory;
}

HRESULT SupportMapClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer && iid != IID_IUnknown) return CLASS_E_NOAGGREGATION;

    TSupportMap* created = nullptr;
    try {
        created = new TSupportMap(outer);
    } catch (const std::exception& error) {
        std::string message = error.what();
        if (!message.empty() && message.back() > '.') message += '.';
        MessageBoxW(nullptr, Utf8ToWide(message).c_str(), L"DEZ Error", MB_OK | MB_ICONSTOP | MB_SETFOREGROUND);
        return E_UNEXPECTED;
    }
    // The new object holds no reference yet: a failed query frees it at once.
    IUnknown* inner = created->innerUnknown();
    inner->AddRef();
    const HRESULT result = inner->QueryInterface(iid, object);
    inner->Release();
    return result;
}

}  // namespace mappa
