// Registration from the command line: the entries under HKEY_CLASSES_ROOT that
// /regserver writes and /unregserver removes, in the prefix's real registry.
#include <filesystem>

#include "ServerTest.h"
#include "support/Support2Win.h"

namespace mappa::automationtest {
namespace {

using Names = std::vector<std::string>;

void ExpectClassEntries(const std::string& serverPath)
{
    const std::string class_key = kClassKey;
    EXPECT_EQ(RegistryText(class_key), "Map Object");
    EXPECT_EQ(RegistryText(class_key + "\\LocalServer32"), serverPath);
    EXPECT_EQ(RegistryText(class_key + "\\ProgID"), "ObelSupportMappaMap.SupportMap");
    EXPECT_EQ(RegistryText(class_key + "\\Version"), "1.0");
    EXPECT_EQ(RegistryText(class_key + "\\TypeLib"), "{401913BB-FADD-4255-A0BF-684C39EDEE26}");
    EXPECT_EQ(SubKeys(class_key), (Names{"LocalServer32", "ProgID", "TypeLib", "Version"}));
    for (const char* key : {"", "\\LocalServer32", "\\ProgID", "\\TypeLib", "\\Version"})
        EXPECT_EQ(ValueNames(class_key + key), Names{""}) << class_key + key;  // no ThreadingModel
    EXPECT_FALSE(RegistryText(class_key + "\\LocalServer32", "ThreadingModel"));

    EXPECT_EQ(RegistryText(kProgIdKey), "Map Object");
    EXPECT_EQ(RegistryText(std::string(kProgIdKey) + "\\Clsid"), "{53E9A354-DB33-430D-9DFD-15EE629798E6}");
    EXPECT_EQ(SubKeys(kProgIdKey), Names{"Clsid"});

    // The type library, registered from the executable under its own locale.
    const std::string library = RegistryText(std::string(kTypeLibKey) + "\\1.0\\409\\win64").value_or("");
    EXPECT_TRUE(SamePath(library, serverPath)) << library;
    EXPECT_EQ(RegistryText(std::string(kTypeLibKey) + "\\1.0"), "Obel Mappa Library");
    EXPECT_TRUE(KeyExists(kInterfaceKey));
}

void ExpectNoEntries()
{
    for (const char* key : {kClassKey, kProgIdKey, kTypeLibKey, kInterfaceKey})
        EXPECT_FALSE(KeyExists(key)) << key << " is still there";
}

// The office map's entries beside the designed ones: its class, the two
// ProgIDs, version 1.1 of the type library with its interfaces, and the link
// scheme, all naming the server at `serverPath` (a path without blanks).
constexpr const char* kOfficeMapClassKey = "CLSID\\{69AF8C35-14EF-4871-8C05-C7F2851971CD}";
constexpr const char* kOfficeMapClsid = "{69AF8C35-14EF-4871-8C05-C7F2851971CD}";
constexpr const char* kOfficeMapProgId = "ObelSupportMappaMap.OfficeMap";
constexpr const char* kOfficeMapVersionedProgId = "ObelSupportMappaMap.OfficeMap.1";
// IOffice, IOffices, IOfficeMap and the events' dispinterface.
constexpr const char* kOfficeMapInterfaceKeys[] = {"Interface\\{FCECA357-9D51-43FF-9A1C-C9E7A9272AA3}",
                                                   "Interface\\{108EC307-D9EA-4346-BD13-6484EC08BE7B}",
                                                   "Interface\\{771188D9-0CF6-4BC7-A528-52FEC5FAE20D}",
                                                   "Interface\\{6516B7AB-A9EB-4A79-B537-45563DE4CD72}"};
constexpr const char* kLinkSchemeKey = "mappa";

void ExpectOfficeMapEntries(const std::string& serverPath)
{
    const std::string class_key = kOfficeMapClassKey;
    EXPECT_EQ(RegistryText(class_key), "Office Map Object");
    EXPECT_EQ(RegistryText(class_key + "\\LocalServer32"), serverPath);
    EXPECT_EQ(RegistryText(class_key + "\\ProgID"), kOfficeMapVersionedProgId);
    EXPECT_EQ(RegistryText(class_key + "\\VersionIndependentProgID"), kOfficeMapProgId);
    EXPECT_EQ(RegistryText(class_key + "\\Version"), "1.1");
    EXPECT_EQ(RegistryText(class_key + "\\TypeLib"), "{401913BB-FADD-4255-A0BF-684C39EDEE26}");
    EXPECT_EQ(SubKeys(class_key), (Names{"LocalServer32", "ProgID", "TypeLib", "Version", "VersionIndependentProgID"}));

    const std::string versioned = kOfficeMapVersionedProgId, independent = kOfficeMapProgId;
    EXPECT_EQ(RegistryText(versioned), "Office Map Object");
    EXPECT_EQ(RegistryText(versioned + "\\Clsid"), kOfficeMapClsid);
    EXPECT_EQ(SubKeys(versioned), Names{"Clsid"});
    EXPECT_EQ(RegistryText(independent), "Office Map Object");
    EXPECT_EQ(RegistryText(independent + "\\Clsid"), kOfficeMapClsid);
    EXPECT_EQ(RegistryText(independent + "\\CurVer"), kOfficeMapVersionedProgId);
    EXPECT_EQ(SubKeys(independent), (Names{"Clsid", "CurVer"}));

    // Version 1.1 from the executable's second type library, under locale 0.
    const std::string library = RegistryText(std::string(kTypeLibKey) + "\\1.1\\0\\win64").value_or("");
    EXPECT_TRUE(SamePath(library.substr(0, library.rfind('\\')), serverPath)) << library;
    EXPECT_EQ(library.substr(library.rfind('\\')), "\\2") << library;
    EXPECT_EQ(RegistryText(std::string(kTypeLibKey) + "\\1.1"), "Obel Mappa Library");
    for (const char* key : kOfficeMapInterfaceKeys)
        EXPECT_EQ(RegistryText(std::string(key) + "\\TypeLib", "Version"), "1.1") << key;
    // The designed interface stays with version 1.0, which is registered last.
    EXPECT_EQ(RegistryText(std::string(kInterfaceKey) + "\\TypeLib", "Version"), "1.0");

    // Links: the shell hands the link over as the one argument after /link.
    EXPECT_EQ(RegistryText(kLinkSchemeKey), "URL:Mappa link");
    EXPECT_EQ(RegistryText(kLinkSchemeKey, "URL Protocol"), "");
    EXPECT_EQ(RegistryText(std::string(kLinkSchemeKey) + "\\DefaultIcon"), serverPath + ",0");
    EXPECT_EQ(RegistryText(std::string(kLinkSchemeKey) + "\\shell\\open\\command"), serverPath + " /link \"%1\"");
    EXPECT_EQ(SubKeys(kLinkSchemeKey), (Names{"DefaultIcon", "shell"}));
}

void ExpectNoOfficeMapEntries()
{
    for (const char* key : {kOfficeMapClassKey, kOfficeMapProgId, kOfficeMapVersionedProgId, kLinkSchemeKey})
        EXPECT_FALSE(KeyExists(key)) << key << " is still there";
    for (const char* key : kOfficeMapInterfaceKeys) EXPECT_FALSE(KeyExists(key)) << key << " is still there";
    EXPECT_FALSE(KeyExists(std::string(kTypeLibKey) + "\\1.1")) << "type library 1.1 is still registered";
}

// COM starts the server from the registered command, and it answers.
void ExpectComStartsTheServerAt(const std::string& path)
{
    Microsoft::WRL::ComPtr<IDispatch> map;
    ASSERT_EQ(CreateMap(map), S_OK);
    const DWORD server = WaitForServerProcess();
    ASSERT_NE(server, 0u);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, server);
    wchar_t image[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    QueryFullProcessImageNameW(process, 0, image, &size);
    CloseHandle(process);
    EXPECT_TRUE(SamePath(WideToUtf8(image), path)) << WideToUtf8(image);
    std::wstring version;
    EXPECT_EQ(ReadVersion(map.Get(), version), S_OK);
    map.Reset();
    EXPECT_TRUE(WaitForExit(server, 10000));
}

class Registration : public ServerTest {};

TEST_F(Registration, SwitchesInEitherFormAndAnyCaseWriteTheEntries)
{
    const struct {
        const char* command;
        bool registered;
    } steps[] = {{" /unregserver", false}, {" -REGSERVER", true}, {" /UnRegServer", false}, {" /RegServer", true}};
    for (const auto& step : steps) {
        ASSERT_EQ(RunToEnd(Quoted(MappaPath()) + step.command), 0u) << step.command;
        if (step.registered) ExpectClassEntries(MappaPath());
        else ExpectNoEntries();
        EXPECT_TRUE(ServerProcesses().empty()) << step.command << " left a process";
    }
}

TEST_F(Registration, UnregisterRemovesEveryEntryAndIsHarmlessTwice)
{
    ExpectClassEntries(MappaPath());
    EXPECT_EQ(RunToEnd(Quoted(MappaPath()) + " /UnRegServer"), 0u);
    ExpectNoEntries();
    EXPECT_EQ(RunToEnd(Quoted(MappaPath()) + " /unregserver"), 0u);
    ExpectNoEntries();
}

TEST_F(Registration, TheOfficeMapAndTheLinkSchemeComeAndGoWithTheDesignedClass)
{
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "registered by the test's set-up" : "registered again");
        ExpectClassEntries(MappaPath());
        ExpectOfficeMapEntries(MappaPath());
        ASSERT_EQ(RunToEnd(Quoted(MappaPath()) + " /UnRegServer"), 0u);
        ExpectNoEntries();
        ExpectNoOfficeMapEntries();
        ASSERT_EQ(RunToEnd(Quoted(MappaPath()) + " /RegServer"), 0u);
    }
}

TEST_F(Registration, APathWithABlankIsWrittenInShortForm)
{
    const std::string folder = BlankFolder(), copy = folder + "\\Mappa.exe";
    struct RemoveAtEnd {
        std::string folder;
        ~RemoveAtEnd()
        {
            EndServers();
            std::error_code ignored;
            std::filesystem::remove_all(folder, ignored);
        }
    } remove_at_end{folder};
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(MappaPath(), copy, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(MappaPath().substr(0, MappaPath().rfind('\\')) + "\\Mappa2.dat", folder + "\\Mappa2.dat",
                               std::filesystem::copy_options::overwrite_existing);

    ASSERT_EQ(RunToEnd(Quoted(copy) + " /regserver"), 0u);
    const std::string registered = RegistryText(std::string(kClassKey) + "\\LocalServer32").value_or("");
    char short_form[MAX_PATH] = {};
    ASSERT_TRUE(GetShortPathNameA(copy.c_str(), short_form, MAX_PATH));
    EXPECT_EQ(registered, short_form);
    EXPECT_EQ(registered.find(' '), std::string::npos) << registered;
    EXPECT_TRUE(SamePath(registered, copy)) << registered;

    ExpectComStartsTheServerAt(copy);
    EXPECT_EQ(RunToEnd(Quoted(copy) + " /unregserver"), 0u);
    ExpectNoEntries();
}

// The entries in the country list of a map window seen from outside.
LRESULT CountryCount(HWND map)
{
    HWND combo = nullptr;
    EnumChildWindows(
        map,
        [](HWND child, LPARAM found) -> BOOL {
            wchar_t kind[32] = {};
            GetClassNameW(child, kind, 32);
            if (lstrcmpiW(kind, L"ComboBox") == 0) *reinterpret_cast<HWND*>(found) = child;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&combo));
    return combo ? SendMessageW(combo, CB_GETCOUNT, 0, 0) : -1;
}

// From a folder whose name no ANSI code page holds: the registered paths, the
// server started by COM, its data file and its settings under its tool key.
TEST_F(Registration, AFolderNameInAnyScriptServesAsWell)
{
    const std::filesystem::path folder(Utf8ToWide(ForeignFolder()));
    const std::string copy = ForeignFolder() + "\\Mappa.exe";
    struct RemoveAtEnd {
        std::filesystem::path folder;
        ~RemoveAtEnd()
        {
            EndServers();
            std::error_code ignored;
            std::filesystem::remove_all(folder.parent_path(), ignored);
        }
    } remove_at_end{folder};
    std::filesystem::create_directories(folder);
    const std::filesystem::path built(Utf8ToWide(MappaPath()));
    std::filesystem::copy_file(built, folder / L"Mappa.exe", std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(built.parent_path() / L"Mappa2.dat", folder / L"Mappa2.dat",
                               std::filesystem::copy_options::overwrite_existing);

    ASSERT_EQ(RunToEnd(Quoted(copy) + " /regserver"), 0u);
    ExpectClassEntries(copy);
    std::string help = RegistryText(std::string(kTypeLibKey) + "\\1.0\\0\\HELPDIR").value_or("");
    if (help.empty()) help = RegistryText(std::string(kTypeLibKey) + "\\1.0\\HELPDIR").value_or("");
    if (!help.empty() && help.back() == '\\') help.pop_back();
    EXPECT_TRUE(SamePath(help, ForeignFolder())) << help;

    constexpr const wchar_t* kToolKey = L"Software\\Kestrelon\\Tools\\Mappa";
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kToolKey, L"Window.TMapUI");
    ExpectComStartsTheServerAt(copy);
    {
        // Started as a user would: the bundled offices are read from beside the copy.
        Process program(Quoted(copy), true);
        ASSERT_TRUE(program.started());
        HWND window = WaitForProcessWindow(program.id(), "TMapUI", kMapCaption);
        ASSERT_TRUE(window) << "no map window";
        EXPECT_GT(CountryCount(window), 0);
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.wait(10000), 0u);
    }
    DWORD type = 0;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, kToolKey, L"Window.TMapUI", RRF_RT_REG_SZ, &type, nullptr, nullptr),
              ERROR_SUCCESS)
        << "the window's place is kept under the tool key";
    EXPECT_EQ(RunToEnd(Quoted(copy) + " /unregserver"), 0u);
    ExpectNoEntries();
}

TEST_F(Registration, AWordWithoutASwitchCharacterStartsTheProgram)
{
    Process program(Quoted(MappaPath()) + " regserver", true);
    ASSERT_TRUE(program.started());
    HWND map = WaitForProcessWindow(program.id(), "TMapUI", kMapCaption);
    ASSERT_TRUE(map) << "no map window";
    EXPECT_TRUE(program.running());
    PostMessageA(map, WM_CLOSE, 0, 0);
    ExpectEndWithoutWarning(program.id());
    EXPECT_EQ(program.wait(1000), 0u);
}

}  // namespace
}  // namespace mappa::automationtest
