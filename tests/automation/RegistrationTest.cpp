// Registration from the command line: the entries under HKEY_CLASSES_ROOT that
// /regserver writes and /unregserver removes, in the prefix's real registry.
#include <filesystem>

#include "ServerTest.h"

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

    // COM starts the copy from the registered command.
    {
        Microsoft::WRL::ComPtr<IDispatch> map;
        ASSERT_EQ(CreateMap(map), S_OK);
        const DWORD server = WaitForServerProcess();
        ASSERT_NE(server, 0u);
        HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, server);
        char image[MAX_PATH] = {};
        DWORD size = MAX_PATH;
        QueryFullProcessImageNameA(process, 0, image, &size);
        CloseHandle(process);
        EXPECT_TRUE(SamePath(image, copy)) << image;
        std::wstring version;
        EXPECT_EQ(ReadVersion(map.Get(), version), S_OK);
        map.Reset();
        EXPECT_TRUE(WaitForExit(server, 10000));
    }
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
