// Loading the office list through the real platform services: the file system,
// the file finder activated through COM from the registry, and the loader's
// messages (recorded instead of shown).
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <optional>

#include "WinTestSupport.h"
#include "mapdata/DataFile.h"
#include "mapdata/MapFunc.h"
#include "support/PolicyRules.h"
#include "support/Support2Win.h"

namespace mappa::test {
namespace {

constexpr const char* kSharedFile = "Shared Data\\Mappa2.dat";
// Folders whose names no ANSI code page holds all of: the finder's answer must
// reach the file system without passing through one.
constexpr const char* kNonAsciiFile = "\u041A\u0430\u0440\u0442\u044B\\\u5730\u56F3 Donn\u00E9es\\Mappa2.dat";

// S_OK when the finder's module has no live objects. COM keeps the module
// loaded in the apartment after it made an object, so it is there to ask.
HRESULT FinderModuleIdle()
{
    const HMODULE module = GetModuleHandleA(TEST_FILE_FINDER_DLL);
    if (!module) return E_HANDLE;
    const auto can_unload = reinterpret_cast<HRESULT(__stdcall*)()>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    return can_unload ? can_unload() : E_FAIL;
}

class DataFileLoading : public testing::Test {
protected:
    void expectNothingLoaded(const TMapFunc& table)
    {
        EXPECT_EQ(table.Locations.size(), 0u);
        EXPECT_EQ(table.Locations.dataCount(), 0u);
        EXPECT_EQ(table.WebLink, "");
        EXPECT_EQ(table.WebLink2, "");
    }
    void expectFinderUntouched()
    {
        EXPECT_FALSE(FinderEnvironment::isSet("MAPPA_FINDER_CREATED"));
        EXPECT_FALSE(FinderEnvironment::isSet("MAPPA_FINDER_CALLS"));
        EXPECT_FALSE(FinderEnvironment::isSet("MAPPA_FINDER_SEEN_PATH"));
    }

    ScratchDirectory folder;
    FinderEnvironment finder;
    FinderRegistration registration;
    RecordingSource source{folder.path()};
};

TEST_F(DataFileLoading, FileBesideTheProgramIsReadWithoutAskingTheFinder)
{
    folder.write("Mappa2.dat", DataFileText("Oslo", "59.9 N"));
    finder.answer("path", folder.write(kSharedFile, DataFileText("Bergen")));

    for (const bool registered : {true, false}) {
        SCOPED_TRACE(registered ? "finder registered" : "finder not registered");
        if (!registered) registration.remove();
        // Given with and without the trailing backslash.
        for (const std::string& directory : {folder.path(), folder.path() + "\\"}) {
            RecordingSource beside(directory);
            const TMapFunc table(beside);
            EXPECT_TRUE(beside.messages.empty());
            EXPECT_EQ(beside.terminateRequests, 0);
            EXPECT_EQ(table.WebLink, "http://www.example.com/");
            EXPECT_EQ(table.WebLink2, "http://support.example.com/");
            ASSERT_EQ(table.Locations.dataCount(), 1u);
            EXPECT_EQ(table.Locations[0].Name, "Oslo");
            EXPECT_EQ(table.Locations[0].Latitude, 59.9);
            EXPECT_EQ(table.Locations[0].LatHemisphere, 'N');
            EXPECT_EQ(table.Locations[0].Email, "oslo@example.com");
        }
        expectFinderUntouched();
    }
}

TEST_F(DataFileLoading, WithoutTheFileAndWithoutTheFinderTheProgramEnds)
{
    registration.remove();
    finder.answer("path", folder.write(kSharedFile, DataFileText("Bergen")));

    const TMapFunc table(source);

    EXPECT_EQ(source.messages, std::vector<std::string>{kMessageCannotFind});
    EXPECT_EQ(source.terminateRequests, 1);
    expectNothingLoaded(table);
    expectFinderUntouched();
}

// What the finder answers when the file is not beside the program.
struct FinderCase {
    const char* name;
    const char* mode;
    const char* result;   // relative to the test folder; "" for none
    const char* office;   // the office loaded, nullptr when nothing is
    const char* message;  // nullptr when the file loads
    bool terminates;
};

class FinderAnswer : public DataFileLoading, public testing::WithParamInterface<FinderCase> {};

TEST_P(FinderAnswer, DecidesWhatIsLoadedAndReported)
{
    const FinderCase& c = GetParam();
    folder.write(kSharedFile, DataFileText("Bergen"));
    if (c.result == std::string_view(kNonAsciiFile)) folder.write(kNonAsciiFile, DataFileText("Tromso"));
    finder.answer(c.mode, *c.result ? folder.pathOf(c.result) : "");

    const TMapFunc table(source);

    EXPECT_EQ(FinderEnvironment::value("MAPPA_FINDER_SEEN_PATH"), "{$QX}\\Shared\\Mappa2.dat");
    EXPECT_EQ(FinderEnvironment::value("MAPPA_FINDER_SEEN_OPTION"), "5");
    EXPECT_EQ(FinderEnvironment::value("MAPPA_FINDER_CALLS"), "1");
    EXPECT_EQ(FinderModuleIdle(), S_OK) << "the program still holds a finder object";
    EXPECT_EQ(source.messages, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
    EXPECT_EQ(source.terminateRequests, c.terminates ? 1 : 0);
    if (c.office) {
        ASSERT_EQ(table.Locations.dataCount(), 1u);
        EXPECT_EQ(table.Locations[0].Name, c.office);
        EXPECT_EQ(table.WebLink, "http://www.example.com/");
    } else {
        expectNothingLoaded(table);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, FinderAnswer,
    testing::Values(FinderCase{"FileElsewhere", "path", kSharedFile, "Bergen", nullptr, false},
                    FinderCase{"FileUnderNonAsciiFolder", "path", kNonAsciiFile, "Tromso", nullptr, false},
                    FinderCase{"NullString", "null", "", nullptr, kMessageCannotFind, true},
                    FinderCase{"EmptyString", "empty", "", nullptr, kMessageCannotFind, true},
                    FinderCase{"MissingFile", "path", "Shared Data\\Gone.dat", nullptr, kMessageCannotFind, true},
                    FinderCase{"Folder", "path", "Shared Data", nullptr, kMessageCannotFind, true},
                    FinderCase{"CallFails", "fail", "", nullptr, kMessageDataError, false}),
    [](const testing::TestParamInfo<FinderCase>& info) { return std::string(info.param.name); });

// Another program's handle on the data file, open while the program loads it.
struct SharingCase {
    const char* name;
    DWORD access;
    DWORD share;
    bool loads;
};

class OpenElsewhere : public DataFileLoading, public testing::WithParamInterface<SharingCase> {};

TEST_P(OpenElsewhere, LoadsOnlyWhenNobodyMayWrite)
{
    const SharingCase& c = GetParam();
    const std::string path = folder.write("Mappa2.dat", DataFileText("Oslo"));
    const HANDLE other = CreateFileA(path.c_str(), c.access, c.share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);

    const TMapFunc table(source);
    CloseHandle(other);

    EXPECT_EQ(source.terminateRequests, 0);
    if (c.loads) {
        EXPECT_TRUE(source.messages.empty());
        EXPECT_EQ(table.Locations.dataCount(), 1u);
    } else {
        EXPECT_EQ(source.messages, std::vector<std::string>{kMessageUnableToOpen});
        expectNothingLoaded(table);
    }
    expectFinderUntouched();
}

INSTANTIATE_TEST_SUITE_P(
    Handles, OpenElsewhere,
    testing::Values(SharingCase{"ExclusiveWriter", GENERIC_WRITE, 0, false},
                    SharingCase{"WriterSharingReads", GENERIC_WRITE, FILE_SHARE_READ, false},
                    SharingCase{"WriterSharingAll", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, false},
                    SharingCase{"ExclusiveReader", GENERIC_READ, 0, false},
                    SharingCase{"ReaderSharingReads", GENERIC_READ, FILE_SHARE_READ, true},
                    SharingCase{"ReaderSharingAll", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, true}),
    [](const testing::TestParamInfo<SharingCase>& info) { return std::string(info.param.name); });

TEST_F(DataFileLoading, FaultyContentIsReportedWithoutEnding)
{
    folder.write("Mappa2.dat", DataFileText("Oslo", "north N"));

    const TMapFunc table(source);

    EXPECT_EQ(source.messages, std::vector<std::string>{kMessageDataError});
    EXPECT_EQ(source.terminateRequests, 0);
    expectFinderUntouched();
}

// The DataFile policy under the real registry: the machine's before the
// user's, both before the file beside the program, and the finder still the
// fallback when the file that the policy names is missing.
class DataFilePolicy : public DataFileLoading {
protected:
    DataFilePolicy() { folder.write("Mappa2.dat", DataFileText("Beside")); }
    ~DataFilePolicy() override { SetEnvironmentVariableW(L"MAPPA_POLICY_FOLDER", nullptr); }

    std::string loadedOffice()
    {
        const TMapFunc table(source);
        return table.Locations.dataCount() == 1 ? std::string(table.Locations[0].Name) : std::string();
    }

    PolicyValues policies;
};

TEST_F(DataFilePolicy, ThePolicyInForceNamesTheFileRead)
{
    const std::string machine_file = folder.write("Machine\\Offices.dat", DataFileText("Machine"));
    const std::string user_file = folder.write("User\\Offices.dat", DataFileText("User"));
    const std::string non_ascii = folder.write(kNonAsciiFile, DataFileText("Tromso"));
    SetEnvironmentVariableW(L"MAPPA_POLICY_FOLDER", Utf8ToWide(folder.pathOf("User")).c_str());
    const auto text = [](const std::string& value, DWORD type = REG_SZ) {
        return [value, type](PolicyValues& p, HKEY root) { p.setText(root, kDataFilePolicy, value, type); };
    };
    const auto none = [](PolicyValues& p, HKEY root) { p.remove(root, kDataFilePolicy); };
    const auto dword = [](PolicyValues& p, HKEY root) { p.setRaw(root, kDataFilePolicy, REG_DWORD, {1, 0, 0, 0}); };
    using Set = std::function<void(PolicyValues&, HKEY)>;
    struct Case { const char* what; Set machine; Set user; const char* office; };
    const Case cases[] = {
        {"no policy", none, none, "Beside"},
        {"machine", text(machine_file), none, "Machine"},
        {"user", none, text(user_file), "User"},
        {"machine over user", text(machine_file), text(user_file), "Machine"},
        {"user, expandable", none, text("%MAPPA_POLICY_FOLDER%\\Offices.dat", REG_EXPAND_SZ), "User"},
        {"machine, expandable", text("%MAPPA_POLICY_FOLDER%\\Offices.dat", REG_EXPAND_SZ), none, "User"},
        // REG_SZ is taken as written, as Windows does.
        {"variable in plain text", text("%MAPPA_POLICY_FOLDER%\\Offices.dat"), none, "Beside"},
        {"unset variable", text("%MAPPA_NO_SUCH_FOLDER%\\Offices.dat", REG_EXPAND_SZ), none, "Beside"},
        {"folder in another script", none, text(non_ascii), "Tromso"},
        {"machine's of the wrong type", dword, text(user_file), "User"},
        {"machine's relative", text("Machine\\Offices.dat"), text(user_file), "User"},
        {"machine's empty", text(""), text(user_file), "User"},
        {"user's of the wrong type", none, dword, "Beside"},
    };
    for (const Case& c : cases) {
        c.machine(policies, HKEY_LOCAL_MACHINE);
        c.user(policies, HKEY_CURRENT_USER);
        source.messages.clear();
        EXPECT_EQ(loadedOffice(), c.office) << c.what;
        EXPECT_TRUE(source.messages.empty()) << c.what;
    }
    expectFinderUntouched();
}

TEST_F(DataFilePolicy, MissingPolicyFileFallsBackToTheFinderNotToTheFileBeside)
{
    policies.setText(HKEY_CURRENT_USER, kDataFilePolicy, folder.pathOf("Gone\\Offices.dat"));
    finder.answer("path", folder.write(kSharedFile, DataFileText("Bergen")));

    EXPECT_EQ(loadedOffice(), "Bergen");
    EXPECT_TRUE(source.messages.empty());
    EXPECT_EQ(FinderEnvironment::value("MAPPA_FINDER_SEEN_PATH"), kFinderRequest);

    registration.remove();
    EXPECT_EQ(loadedOffice(), "");
    EXPECT_EQ(source.messages, std::vector<std::string>{kMessageCannotFind});
    EXPECT_EQ(source.terminateRequests, 1);
}

}  // namespace
}  // namespace mappa::test
