// What an IT department meets deploying the server: a folder that holds
// planted DLLs, registration keys that a standard user may not write, and a
// volume without short names.
#include <oleacc.h>

#include <filesystem>
#include <vector>

#include "ServerTest.h"
#include "automation/ComServer.h"
#include "support/Support2Win.h"

namespace mappa::automationtest {
namespace {

namespace fs = std::filesystem;

// A copy of the program and its offices in the folder with a blank, removed at the end.
struct ProgramCopy {
    std::string folder = BlankFolder(), path = BlankFolder() + "\\Mappa.exe";
    ProgramCopy()
    {
        const fs::path built(Utf8ToWide(MappaPath()));
        fs::create_directories(Utf8ToWide(folder));
        fs::copy_file(built, Utf8ToWide(path), fs::copy_options::overwrite_existing);
        fs::copy_file(built.parent_path() / L"Mappa2.dat", Utf8ToWide(folder) + L"\\Mappa2.dat",
                      fs::copy_options::overwrite_existing);
    }
    ~ProgramCopy()
    {
        EndServers();
        std::error_code ignored;
        fs::remove_all(Utf8ToWide(folder), ignored);
    }
};

constexpr const wchar_t* kOverrides = L"Software\\Wine\\AppDefaults\\Mappa.exe\\DllOverrides";

TEST_F(ServerTest, DllsPlantedBesideTheProgramAreNotLoaded)
{
    // The DLLs that the program names and Windows would first look for beside
    // it: those of its import table that are not Known DLLs. Wine is told to
    // prefer a DLL found there, as Windows' search order would.
    const wchar_t* const planted[] = {L"oleacc", L"comctl32"};
    const ProgramCopy copy;
    struct Overrides {
        ~Overrides() { RegDeleteTreeW(HKEY_CURRENT_USER, kOverrides); }
    } overrides;
    const fs::path library = fs::path(Utf8ToWide(MappaPath())).parent_path().parent_path() / L"tests" / L"automation" /
                             L"PlantedLibrary.dll";
    for (const wchar_t* name : planted) {
        fs::copy_file(library, Utf8ToWide(copy.folder) + L"\\" + name + L".dll", fs::copy_options::overwrite_existing);
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, kOverrides, name, REG_SZ, L"native,builtin",
                                  sizeof L"native,builtin"),
                  ERROR_SUCCESS);
    }

    Process program(Quoted(copy.path), true);
    ASSERT_TRUE(program.started());
    HWND map = WaitForProcessWindow(program.id(), "TMapUI", kMapCaption);
    ASSERT_TRUE(map) << "no map window";
    // A screen reader's question makes the program load oleacc: every control answers it.
    std::vector<HWND> controls;
    EnumChildWindows(
        map, [](HWND child, LPARAM list) { return reinterpret_cast<std::vector<HWND>*>(list)->push_back(child), TRUE; },
        reinterpret_cast<LPARAM>(&controls));
    int named = 0;
    for (HWND control : controls) {
        Microsoft::WRL::ComPtr<IAccessible> accessible;
        if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                              reinterpret_cast<void**>(accessible.GetAddressOf()))))
            continue;
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        if (accessible->get_accName(self, &name) == S_OK && name && SysStringLen(name) > 0) ++named;
        SysFreeString(name);
    }
    EXPECT_GT(named, 0) << "no control told its name";

    for (const wchar_t* dll : planted)
        EXPECT_FALSE(fs::exists(Utf8ToWide(copy.folder) + L"\\" + dll + L".dll.loaded"))
            << WideToUtf8(dll) << ".dll was loaded from beside the program";
    PostMessageW(map, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.wait(10000), 0u);
}

// Keys that cannot take subkeys, as the machine-wide ones are to a standard
// user: a volatile key refuses lasting subkeys.
struct UnwritableRegistration {
    UnwritableRegistration()
    {
        for (const char* key : {kTypeLibKey, kClassKey}) {
            RegDeleteTreeW(HKEY_CLASSES_ROOT, Utf8ToWide(key).c_str());
            HKEY created = nullptr;
            EXPECT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, Utf8ToWide(key).c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                                      KEY_WRITE, nullptr, &created, nullptr),
                      ERROR_SUCCESS);
            RegCloseKey(created);
        }
    }
    ~UnwritableRegistration()
    {
        for (const char* key : {kTypeLibKey, kClassKey}) RegDeleteTreeW(HKEY_CLASSES_ROOT, Utf8ToWide(key).c_str());
    }
};

TEST_F(ServerTest, AStartThatCannotRefreshItsRegistrationStillShowsTheMap)
{
    {
        const UnwritableRegistration unwritable;
        // The register switch still reports the failure.
        Process registering(Quoted(MappaPath()) + " /regserver", true);
        HWND box = WaitForProcessWindow(registering.id(), "#32770", "Application Error");
        ASSERT_TRUE(box) << "/regserver did not report the failure";
        EXPECT_NE(MessageBoxText(box).find("Error registering type library"), std::string::npos) << MessageBoxText(box);
        PressButton(box, IDOK);
        EXPECT_EQ(registering.wait(10000), 1u);

        Process program(Quoted(MappaPath()), true);
        ASSERT_TRUE(program.started());
        HWND map = WaitForProcessWindow(program.id(), "TMapUI", kMapCaption);
        EXPECT_TRUE(map) << "no map window";
        for (const char* caption : {"Application Error", "Mappa.exe"})
            EXPECT_FALSE(FindProcessWindow(program.id(), "#32770", caption)) << caption << " showed";
        // What could be written, was.
        EXPECT_EQ(RegistryText(std::string(kProgIdKey) + "\\Clsid"), "{53E9A354-DB33-430D-9DFD-15EE629798E6}");
        if (map) PostMessageW(map, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.wait(10000), 0u);
    }
    ASSERT_EQ(RunToEnd(Quoted(MappaPath()) + " /regserver"), 0u);
}

// A plain start writes its entries before the map shows: a client that sees
// the map finds them as the start wrote them.
TEST_F(ServerTest, APlainStartHasRepairedItsEntriesWhenTheMapShows)
{
    const std::string server_key = std::string(kClassKey) + "\\LocalServer32";
    const std::string library_key = std::string(kTypeLibKey) + "\\1.0";
    const std::optional<std::string> command = RegistryText(server_key);
    ASSERT_TRUE(command);
    const std::wstring elsewhere = L"C:\\elsewhere\\Mappa.exe";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CLASSES_ROOT, Utf8ToWide(server_key).c_str(), nullptr, REG_SZ, elsewhere.c_str(),
                              static_cast<DWORD>((elsewhere.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteTreeW(HKEY_CLASSES_ROOT, Utf8ToWide(kTypeLibKey).c_str()), ERROR_SUCCESS);

    Process program(Quoted(MappaPath()), true);
    ASSERT_TRUE(program.started());
    HWND map = WaitForProcessWindow(program.id(), "TMapUI", kMapCaption);
    ASSERT_TRUE(map) << "no map window";
    EXPECT_EQ(RegistryText(server_key), command);
    EXPECT_EQ(RegistryText(library_key), "Obel Mappa Library");
    PostMessageW(map, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.wait(10000), 0u);
}

// Windows without 8.3 names hands back the long path as its short form.
std::wstring NoShortNames(const std::wstring& path) { return path; }

TEST_F(ServerTest, AServerPathWhoseShortFormKeepsItsBlankIsWrittenInQuotes)
{
    const ProgramCopy copy;
    CreateSupportMapRegistration(copy.path);
    struct FreeAtEnd {
        ~FreeAtEnd() { FreeSupportMapRegistration(); }
    } free_at_end;
    const ComServer server(StartMode::Register);
    server.registerServer(Registration(), copy.path, RegistryFailures::Report, &NoShortNames);
    EXPECT_EQ(RegistryText(std::string(kClassKey) + "\\LocalServer32"), Quoted(copy.path));

    // COM starts the server from the quoted command.
    Microsoft::WRL::ComPtr<IDispatch> map;
    ASSERT_EQ(CreateMap(map), S_OK);
    const DWORD started = WaitForServerProcess();
    ASSERT_NE(started, 0u);
    std::wstring version;
    EXPECT_EQ(ReadVersion(map.Get(), version), S_OK);
    EXPECT_EQ(version, L"1");
    map.Reset();
    EXPECT_TRUE(WaitForExit(started, 10000));
    EXPECT_EQ(RunToEnd(Quoted(copy.path) + " /unregserver"), 0u);
}

}  // namespace
}  // namespace mappa::automationtest
