#include "automation/OfficeMapRegistration.h"

#include <oleauto.h>

#include <stdexcept>

#include "ObelSupportMappaMap_TLB.h"
#include "automation/DispatchObject.h"
#include "automation/OfficeMapCom.h"
#include "support/Support2.h"
#include "support/Support2Win.h"

namespace mappa {
namespace {

std::string ClassKey() { return "CLSID\\" + GuidText(CLSID_OfficeMap); }

}  // namespace

void RegisterOfficeMap(const std::string& executablePath, RegistryFailures failures, ShortPathLookup shortPath)
{
    const auto attempt = [failures](auto&& write) {
        if (failures == RegistryFailures::Report) return write();
        try {
            write();
        } catch (const std::exception&) {
            // Skipped: what this user may not write stays as it was.
        }
    };
    attempt([&] {
        ITypeLib* library = OfficeMapTypeLibrary();
        const std::wstring path = Utf8ToWide(executablePath + "\\2");
        const std::wstring help_directory = Utf8ToWide(AddBackslash(ExtractDirectory(executablePath)));
        if (!library || FAILED(RegisterTypeLib(library, const_cast<LPOLESTR>(path.c_str()),
                                               const_cast<LPOLESTR>(help_directory.c_str()))))
            throw std::runtime_error("Error registering type library");
    });

    const std::string clsid = GuidText(CLSID_OfficeMap);
    const std::string class_key = ClassKey();
    const std::string command = ServerCommand(executablePath, shortPath);
    attempt([&] { WriteEntry(class_key, kOfficeMapDescription); });
    attempt([&] { WriteEntry(class_key + "\\LocalServer32", command); });
    attempt([&] { WriteEntry(class_key + "\\ProgID", kOfficeMapVersionedProgId); });
    attempt([&] { WriteEntry(class_key + "\\VersionIndependentProgID", kOfficeMapProgId); });
    attempt([&] { WriteEntry(class_key + "\\Version", "1.1"); });
    attempt([&] { WriteEntry(class_key + "\\TypeLib", GuidText(LIBID_ObelSupportMappaMap)); });
    attempt([&] { WriteEntry(kOfficeMapVersionedProgId, kOfficeMapDescription); });
    attempt([&] { WriteEntry(std::string(kOfficeMapVersionedProgId) + "\\Clsid", clsid); });
    attempt([&] { WriteEntry(kOfficeMapProgId, kOfficeMapDescription); });
    attempt([&] { WriteEntry(std::string(kOfficeMapProgId) + "\\Clsid", clsid); });
    attempt([&] { WriteEntry(std::string(kOfficeMapProgId) + "\\CurVer", kOfficeMapVersionedProgId); });

    // Links: the shell hands the link to Mappa as one argument after /link,
    // which makes every other argument count for nothing (a link is text from
    // anywhere: one with a quote in it must not add switches of its own).
    const std::string scheme = kLinkScheme;
    attempt([&] { WriteEntry(scheme, "URL:Mappa link"); });
    attempt([&] { WriteNamedEntry(scheme, "URL Protocol", ""); });
    attempt([&] { WriteEntry(scheme + "\\DefaultIcon", command + ",0"); });
    attempt([&] { WriteEntry(scheme + "\\shell\\open\\command", command + " /link \"%1\""); });
}

void UnregisterOfficeMap()
{
    UnRegisterTypeLib(LIBID_ObelSupportMappaMap, 1, 1, 0, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    const std::string class_key = ClassKey();
    const std::string versioned = kOfficeMapVersionedProgId;
    const std::string independent = kOfficeMapProgId;
    const std::string scheme = kLinkScheme;
    const std::string keys[] = {class_key + "\\TypeLib", class_key + "\\Version", class_key + "\\VersionIndependentProgID",
                                class_key + "\\ProgID", class_key + "\\LocalServer32", class_key,
                                versioned + "\\Clsid", versioned, independent + "\\CurVer", independent + "\\Clsid",
                                independent, scheme + "\\shell\\open\\command", scheme + "\\shell\\open",
                                scheme + "\\shell", scheme + "\\DefaultIcon", scheme};
    for (const std::string& key : keys) RegDeleteKeyW(HKEY_CLASSES_ROOT, Utf8ToWide(key).c_str());
}

}  // namespace mappa
