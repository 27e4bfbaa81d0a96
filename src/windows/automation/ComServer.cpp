#include "automation/ComServer.h"

#include <oleauto.h>

#include <string>

#include "ObelSupportMappaMap_TLB.h"
#include "support/Support2.h"
#include "support/Support2Win.h"
#include "support/UiText.h"

namespace mappa {
namespace {

ComServer* the_server = nullptr;

}  // namespace

std::string GuidText(const GUID& guid)
{
    wchar_t text[64] = {};
    StringFromGUID2(guid, text, 64);
    return WideToUtf8(text);
}

void WriteEntry(const std::string& key, const std::string& value) { WriteNamedEntry(key, "", value); }

void WriteNamedEntry(const std::string& key, const std::string& name, const std::string& value)
{
    HKEY created = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, Utf8ToWide(key).c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr,
                        &created, nullptr) != ERROR_SUCCESS)
        throw RegistryEntryError();
    const KeyHandle entry(created);
    const std::wstring text = Utf8ToWide(value);
    const std::wstring value_name = Utf8ToWide(name);
    if (RegSetValueExW(entry.get(), name.empty() ? nullptr : value_name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
        throw RegistryEntryError();
}

// The command by which COM starts the server. A path with a blank is written
// in its short form; where that still has a blank (a volume without 8.3
// names gives the long path back), it is written in quotes, or Windows would
// first try the path up to the blank as a program of its own.
std::string ServerCommand(const std::string& path, ShortPathLookup shortPath)
{
    if (path.find(' ') == std::string::npos) return path;
    const std::string short_form = WideToUtf8(shortPath(Utf8ToWide(path)));
    if (!short_form.empty() && short_form.find(' ') == std::string::npos) return short_form;
    return "\"" + path + "\"";
}

std::wstring SystemShortPath(const std::wstring& path)
{
    const DWORD length = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (length == 0) return {};
    std::wstring short_path(length, L'\0');
    short_path.resize(GetShortPathNameW(path.c_str(), short_path.data(), length));
    return short_path;
}

ComServer* Server() { return the_server; }
void SetServer(ComServer* server) { the_server = server; }

ComServer::ComServer(StartMode mode) : mode_(mode), main_thread_(GetCurrentThreadId()) {}

bool ComServer::initializeCom(bool apartmentThreaded)
{
    const HRESULT result = (apartmentThreaded && com_.initializeEx) ? com_.initializeEx(nullptr, COINIT_APARTMENTTHREADED)
                                                                       : CoInitialize(nullptr);
    start_suspended_ = apartmentThreaded && com_.initializeEx && com_.resumeClassObjects;
    return SUCCEEDED(result);
}

void ComServer::registerServer(const SupportMapRegistration& registration, const std::string& executablePath,
                               RegistryFailures failures, ShortPathLookup shortPath) const
{
    ITypeLib* const typeLibrary = registration.typeLibrary.Get();
    const std::string& prog_id = registration.progId;
    const std::string& description = registration.description;
    const auto attempt = [failures](auto&& write) {
        if (failures == RegistryFailures::Report) return write();
        try {
            write();
        } catch (const std::exception&) {
            // Skipped: what this user may not write stays as it was.
        }
    };
    attempt([&] {
        const std::wstring path = Utf8ToWide(executablePath);
        const std::wstring help_directory = Utf8ToWide(AddBackslash(ExtractDirectory(executablePath)));
        if (FAILED(RegisterTypeLib(typeLibrary, const_cast<LPOLESTR>(path.c_str()),
                                   const_cast<LPOLESTR>(help_directory.c_str()))))
            throw std::runtime_error("Error registering type library");
    });

    const std::string clsid = GuidText(CLSID_SupportMap);
    const std::string class_key = "CLSID\\" + clsid;
    attempt([&] { WriteEntry(class_key, description); });
    attempt([&] { WriteEntry(class_key + "\\LocalServer32", ServerCommand(executablePath, shortPath)); });
    attempt([&] { WriteEntry(prog_id, description); });
    attempt([&] { WriteEntry(prog_id + "\\Clsid", clsid); });
    attempt([&] { WriteEntry(class_key + "\\ProgID", prog_id); });
    attempt([&] {
        TLIBATTR* attributes = nullptr;
        if (FAILED(typeLibrary->GetLibAttr(&attributes))) throw RegistryEntryError();
        const std::string version =
            std::to_string(attributes->wMajorVerNum) + "." + std::to_string(attributes->wMinorVerNum);
        typeLibrary->ReleaseTLibAttr(attributes);
        WriteEntry(class_key + "\\Version", version);
    });
    attempt([&] { WriteEntry(class_key + "\\TypeLib", GuidText(LIBID_ObelSupportMappaMap)); });
}

void ComServer::unregisterServer(const SupportMapRegistration& registration) const
{
    const std::string& prog_id = registration.progId;
    using UnRegisterCall = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);
    if (const auto unregister = EntryPointOf<UnRegisterCall>(com_.oleAutomation(), "UnRegisterTypeLib"))
        unregister(LIBID_ObelSupportMappaMap, 1, 0, 0x0409, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);

    const std::string class_key = "CLSID\\" + GuidText(CLSID_SupportMap);
    const std::string keys[] = {class_key + "\\TypeLib", class_key + "\\Version",          class_key + "\\ProgID",
                                prog_id + "\\Clsid", prog_id, class_key + "\\LocalServer32",
                                class_key};
    for (const std::string& key : keys) RegDeleteKeyW(HKEY_CLASSES_ROOT, Utf8ToWide(key).c_str());
}

void ComServer::registerOfficeMapClassObject(IUnknown* classObject)
{
    // Resumed with the designed class, which is registered next.
    const DWORD flags = REGCLS_MULTIPLEUSE | (start_suspended_ ? REGCLS_SUSPENDED : 0);
    if (FAILED(CoRegisterClassObject(CLSID_OfficeMap, classObject, CLSCTX_LOCAL_SERVER, flags, &office_map_cookie_)))
        throw std::runtime_error("Cannot register the class object");
}

void ComServer::registerClassObject(IUnknown* classObject)
{
    const DWORD flags = REGCLS_MULTIPLEUSE | (start_suspended_ ? REGCLS_SUSPENDED : 0);
    const HRESULT result = CoRegisterClassObject(CLSID_SupportMap, classObject, CLSCTX_LOCAL_SERVER, flags, &cookie_);
    if (FAILED(result)) throw std::runtime_error("Cannot register the class object");
    if (start_suspended_) com_.resumeClassObjects();
}

void ComServer::revokeClassObject()
{
    if (cookie_) CoRevokeClassObject(cookie_);
    cookie_ = 0;
    if (office_map_cookie_) CoRevokeClassObject(office_map_cookie_);
    office_map_cookie_ = 0;
}

void ComServer::countIn()
{
    InterlockedIncrement(&object_count_);
    if (mode_ == StartMode::Automation && com_.addRefServerProcess) com_.addRefServerProcess();
}

void ComServer::countOut()
{
    const LONG remaining = InterlockedDecrement(&object_count_);
    bool last = remaining == 0;
    if (mode_ == StartMode::Automation && com_.releaseServerProcess) last = com_.releaseServerProcess() == 0;
    if (last && mode_ == StartMode::Automation) PostThreadMessageW(main_thread_, WM_QUIT, 0, 0);
}

bool ComServer::closeQuery() const
{
    if (object_count_ <= 0) return true;
    return MessageBoxW(nullptr, UiText(IDS_CLOSE_WARNING_TEXT).c_str(), UiText(IDS_CLOSE_WARNING_TITLE).c_str(),
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2 | MB_TASKMODAL | MessageBoxReading()) == IDYES;
}

}  // namespace mappa
