// The Windows services around the loader, each on the real platform: COM
// registration, message boxes, the end-of-program request, the program's own
// folder, true-case paths and number formatting.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <wrl/client.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <locale>
#include <sstream>

#include "ObelComDlg_TLB.h"
#include "WinTestSupport.h"
#include "mapdata/COMSupport.h"
#include "mapdata/DataFile.h"
#include "mapdata/MapFunc.h"
#include "support/Application.h"
#include "support/Support2Win.h"

namespace mappa::test {
namespace {

using Microsoft::WRL::ComPtr;

TEST(ClassRegistration, FollowsTheRegistry)
{
    GUID unknown{};
    ASSERT_EQ(CoCreateGuid(&unknown), S_OK);
    EXPECT_FALSE(TComSupport::isClassRegistered(unknown));
    {
        FinderRegistration registration;
        EXPECT_TRUE(TComSupport::isClassRegistered(CLSID_FindFile));
        EXPECT_FALSE(TComSupport::isClassRegistered(unknown));
        registration.remove();
        EXPECT_FALSE(TComSupport::isClassRegistered(CLSID_FindFile));
    }
}

// The test finder itself, as the loader's tests rely on it.
TEST(ClassRegistration, TestFinderActivatesAsAnInProcessServer)
{
    FinderRegistration registration;
    FinderEnvironment environment;
    FinderEnvironment::answer("path", "C:\\found.dat");

    ComPtr<IFindFile> finder;
    ASSERT_EQ(CoCreateInstance(CLSID_FindFile, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&finder)), S_OK);
    ComPtr<IDispatch> dispatch;
    EXPECT_EQ(finder.As(&dispatch), E_NOINTERFACE);
    BSTR resolved = nullptr;
    BSTR request = SysAllocString(L"{$QX}\\x");
    EXPECT_EQ(finder->resolvePath(request, 7, &resolved), S_OK);
    EXPECT_STREQ(resolved, L"C:\\found.dat");
    SysFreeString(resolved);
    SysFreeString(request);
    EXPECT_EQ(FinderEnvironment::value("MAPPA_FINDER_SEEN_OPTION"), "7");

    ComPtr<IUnknown> outer;
    ASSERT_EQ(finder.As(&outer), S_OK);
    ComPtr<IUnknown> aggregated;
    EXPECT_EQ(CoCreateInstance(CLSID_FindFile, outer.Get(), CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&aggregated)),
              CLASS_E_NOAGGREGATION);
}

TEST(MessageBoxes, PlainMessageHasTheTitleTheTextAndOnlyOk)
{
    DialogWatcher watcher;
    ShowMessage(kMessageCannotFind);
    watcher.stop();

    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "Mappa.exe");
    EXPECT_EQ(seen[0].text, "Cannot find file Mappa2.dat");
    EXPECT_TRUE(seen[0].okButton);
    EXPECT_FALSE(seen[0].cancelButton);
    EXPECT_FALSE(seen[0].icon);
}

TEST(MessageBoxes, ErrorMessageShowsAnIcon)
{
    DialogWatcher watcher;
    ShowErrorMessage("Something failed");
    watcher.stop();

    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].title, "Mappa.exe");
    EXPECT_EQ(seen[0].text, "Something failed");
    EXPECT_TRUE(seen[0].icon);
}

TEST(MessageBoxes, AreOwnedByTheActiveWindow)
{
    const HWND window = CreateWindowExA(0, "STATIC", "Mappa test owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10,
                                        200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    SetActiveWindow(window);
    if (GetActiveWindow() != window) {
        DestroyWindow(window);
        GTEST_SKIP() << "no window could be made active here";
    }
    DialogWatcher watcher;
    ShowMessage("Owned");
    watcher.stop();
    DestroyWindow(window);

    const auto seen = watcher.seen();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].owner, window);
}

// Leaves no quit message behind for later tests.
bool TakeQuitMessage()
{
    MSG message{};
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
}

int custom_requests = 0;

TEST(TerminateRequest, PostsTheQuitMessageUnlessAHandlerIsInstalled)
{
    while (TakeQuitMessage()) {}
    ScratchDirectory folder;

    RequestTerminate();
    EXPECT_TRUE(TakeQuitMessage());
    WindowsDataFileSource(folder.path()).requestTerminate();
    EXPECT_TRUE(TakeQuitMessage());

    const TerminateHandler previous = SetTerminateHandler([] { ++custom_requests; });
    RequestTerminate();
    EXPECT_EQ(custom_requests, 1);
    EXPECT_FALSE(TakeQuitMessage());

    SetTerminateHandler(nullptr);
    RequestTerminate();
    EXPECT_TRUE(TakeQuitMessage());
    SetTerminateHandler(previous);
}

TEST(ProgramFolder, DataFileIsLookedForBesideTheExecutable)
{
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string folder(exe, std::strrchr(exe, '\\'));
    EXPECT_EQ(WindowsDataFileSource().defaultPath(), folder + "\\Mappa2.dat");

    // The real loader with its real messages: the file beside the executable loads quietly.
    const std::string path = folder + "\\Mappa2.dat";
    ASSERT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES) << path << " is left over";
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const std::string text = DataFileText("Lisbon");
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);

    DialogWatcher watcher;
    const TMapFunc table;
    watcher.stop();
    DeleteFileA(path.c_str());

    EXPECT_TRUE(watcher.seen().empty());
    ASSERT_EQ(table.Locations.dataCount(), 1u);
    EXPECT_EQ(table.Locations[0].Name, "Lisbon");
}

struct CaseRow {
    const char* typed;   // below the lower-cased test folder
    const char* stored;  // what TrueCasePath gives below the folder
};

TEST(TrueCase, SpellsEachComponentAsStored)
{
    ScratchDirectory folder;
    folder.write("CaseDir\\MixedCase.TXT", "x");
    folder.write("\u041A\u0430\u0440\u0442\u044B\\\u5730\u56F3.TXT", "x");  // "Карты\地図.TXT"
    std::string lower = folder.path();
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    // The drive stays as typed; every later component comes from the disk.
    const std::string stored = lower.substr(0, 2) + folder.path().substr(2);

    const CaseRow rows[] = {
        {"casedir\\mixedcase.txt", "\\CaseDir\\MixedCase.TXT"},
        {"CASEDIR", "\\CaseDir"},
        {"casedir\\", "\\CaseDir"},
        {"casedir\\missing\\mixedcase.txt", "\\CaseDir\\MixedCase.TXT"},
        {"casedir\\missing.txt", "\\CaseDir"},
        {"casedir\\mixed*.txt", "\\CaseDir"},
        {"casedir\\mixedcase.tx?", "\\CaseDir"},
        // Names that no ANSI code page holds all of, in UTF-8 as the program has them.
        {"\u043A\u0430\u0440\u0442\u044B\\\u5730\u56F3.txt", "\\\u041A\u0430\u0440\u0442\u044B\\\u5730\u56F3.TXT"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        EXPECT_EQ(TrueCasePath("", lower + "\\" + row.typed), stored + row.stored);
        // A given folder is kept exactly as given.
        EXPECT_EQ(TrueCasePath(lower, row.typed), lower + row.stored);
        EXPECT_EQ(TrueCasePath(lower + "\\", row.typed), lower + row.stored);
    }
}

TEST(NumberFormat, CoordinatesReadTheSameUnderAnyCLibraryLocale)
{
    ScratchDirectory folder;
    folder.write("Mappa2.dat", DataFileText("Berlin", "52.5 N"));
    const auto latitude = [&folder] {
        RecordingSource source(folder.path());
        const TMapFunc table(source);
        EXPECT_TRUE(source.messages.empty());
        return table.Locations[0].Latitude;
    };

    const bool german = std::setlocale(LC_ALL, "German") != nullptr;
    if (german) {
        EXPECT_STREQ(std::localeconv()->decimal_point, ",");
    }
    EXPECT_EQ(latitude(), 52.5);

    FixNumberFormat();
    EXPECT_STREQ(std::localeconv()->decimal_point, ".");
    EXPECT_EQ(std::strtod("52.5", nullptr), 52.5);
    std::ostringstream formatted;
    formatted << 1234.5;
    EXPECT_EQ(formatted.str(), "1234.5");
    EXPECT_EQ(latitude(), 52.5);

    std::setlocale(LC_ALL, "C");
    std::locale::global(std::locale::classic());
    if (!german) GTEST_SKIP() << "the C library here knows no locale \"German\"; checked only under \"C\"";
}

}  // namespace
}  // namespace mappa::test
