// The program-wide stores and the executable's name they are keyed by.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "support/RegHelp.h"
#include "support/Support2Win.h"

namespace mappa {
namespace {

constexpr const char* kTestExeName = "mappa_settings_tests";

TEST(GlobalStores, CreatesEightStoresForUserAndMachine)
{
    CreateGlobalStores();
    const std::string root = "Software\\Kestrelon";
    const std::string tool = root + "\\Tools\\" + kTestExeName;
    struct Case { const char* name; std::unique_ptr<TRegWrap>& store; HKEY rootKey; std::string path; };
    const Case cases[] = {
        {"UserRootStore", UserRootStore, HKEY_CURRENT_USER, root},
        {"MachineRootStore", MachineRootStore, HKEY_LOCAL_MACHINE, root},
        {"UserGlobalStore", UserGlobalStore, HKEY_CURRENT_USER, root + "\\Global"},
        {"MachineGlobalStore", MachineGlobalStore, HKEY_LOCAL_MACHINE, root + "\\Global"},
        {"UserToolStore", UserToolStore, HKEY_CURRENT_USER, tool},
        {"MachineToolStore", MachineToolStore, HKEY_LOCAL_MACHINE, tool},
        {"UserModuleStore", UserModuleStore, HKEY_CURRENT_USER, tool},  // the code is linked into the executable
        {"MachineModuleStore", MachineModuleStore, HKEY_LOCAL_MACHINE, tool},
    };
    for (const Case& c : cases) {
        ASSERT_NE(c.store, nullptr) << c.name;
        EXPECT_EQ(c.store->rootKey(), c.rootKey) << c.name;
        EXPECT_EQ(c.store->BasePath, c.path) << c.name;
        EXPECT_EQ(c.store->KeyMode, kmClosed) << c.name;
    }
    FreeGlobalStores();
    for (const Case& c : cases) EXPECT_EQ(c.store, nullptr) << c.name;
}

TEST(ModuleBaseName, IsTheStoredFileNameWithoutExtension)
{
    EXPECT_EQ(ModuleBaseName(nullptr), kTestExeName);
    EXPECT_EQ(ModuleBaseName(ThisModule()), kTestExeName);
    EXPECT_EQ(ModuleBaseName(GetModuleHandleA("KERNEL32.DLL")), "kernel32");
}

// A copy of this executable stored as "CaseProbe.exe" and started as "caseprobe.EXE"
// reports its own name as stored (the program's main answers --write-module-name).
TEST(ModuleBaseName, FollowsTheStoredLettersWhenStartedInOthers)
{
    char temp[MAX_PATH]{};
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "MappaCaseProbe_" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    const std::string stored = folder + "\\CaseProbe.exe";
    const std::string report = folder + "\\name.txt";
    ASSERT_TRUE(CopyFileA(ModuleFileName(nullptr).c_str(), stored.c_str(), FALSE));

    std::string command = "\"" + folder + "\\caseprobe.EXE\" --write-module-name \"" + report + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(
        CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        << GetLastError();
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    std::ifstream in(report);
    std::string name, path;
    std::getline(in, name);
    std::getline(in, path);
    in.close();
    EXPECT_EQ(name, "CaseProbe") << "module file name: " << path;

    DeleteFileA(report.c_str());
    DeleteFileA(stored.c_str());
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
}  // namespace mappa
