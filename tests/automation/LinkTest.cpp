// mappa: links as the shell starts Mappa for them: in the running copy, in a
// new one, and hostile links refused with a message, the registration intact.
#include "ServerTest.h"

#include "support/Support2Win.h"

namespace mappa::automationtest {
namespace {

class Links : public ServerTest {
protected:
    // The name field of the map window of `server`: the first text of an office's name.
    static std::string ShownName(DWORD server)
    {
        HWND map = FindProcessWindow(server, "TMapUI", kMapCaption);
        std::string shown;
        for (HWND child = map ? GetWindow(map, GW_CHILD) : nullptr; child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t text[256] = {};
            GetWindowTextW(child, text, 256);
            const std::string line = WideToUtf8(text);
            if (shown.empty() && line.rfind("Norvantic", 0) == 0) shown = line;  // the name comes first
        }
        return shown;
    }
};

TEST_F(Links, ALinkOpensInTheRunningCopy)
{
    Process program(Quoted(MappaPath()), true);
    ASSERT_TRUE(WaitForProcessWindow(program.id(), "TMapUI", kMapCaption));
    EXPECT_EQ(RunToEnd(Quoted(MappaPath()) + " /link \"mappa:office?name=Norvantic%20Nordic%20AB&country=Sweden\""), 0u);
    EXPECT_TRUE(WaitUntil([&] { return ShownName(program.id()) == "Norvantic Nordic AB"; }, 5000))
        << "shown: " << ShownName(program.id());
    EXPECT_EQ(ServerProcesses(), std::vector<DWORD>{program.id()}) << "the link started a second copy";
    ASSERT_TRUE(CloseMapWindow(program.id()));
    ExpectEndWithoutWarning(program.id());
}

TEST_F(Links, ALinkStartsACopyWhenNoneRuns)
{
    Process program(Quoted(MappaPath()) + " /office \"Norvantic Chile SpA\"", true);
    ASSERT_TRUE(WaitForProcessWindow(program.id(), "TMapUI", kMapCaption));
    EXPECT_TRUE(WaitUntil([&] { return ShownName(program.id()) == "Norvantic Chile SpA"; }, 5000))
        << "shown: " << ShownName(program.id());
    // The window menu's "Copy link to this office" gives the link that opens it again.
    HWND map = FindProcessWindow(program.id(), "TMapUI", kMapCaption);
    SendMessageW(map, WM_SYSCOMMAND, 0x1030, 0);
    std::string copied;
    if (OpenClipboard(nullptr)) {
        if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
            copied = WideToUtf8(static_cast<const wchar_t*>(GlobalLock(data)));
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    EXPECT_EQ(copied, "mappa:office?name=Norvantic%20Chile%20SpA&country=Chile");
    ASSERT_TRUE(CloseMapWindow(program.id()));
    ExpectEndWithoutWarning(program.id());
}

TEST_F(Links, HostileLinksAreRefusedWithAMessageAndChangeNothing)
{
    const char* links[] = {
        "\"mappa:find?q=x\" /unregserver \"\"",
        "\"http://example.com/setup.exe\"",
        "\"mappa:find?q=%zz\"",
    };
    for (const char* link : links) {
        SCOPED_TRACE(link);
        Process copy(Quoted(MappaPath()) + " /link " + link, true);
        HWND box = WaitForProcessWindow(copy.id(), "#32770", "Mappa.exe", 10000);
        ASSERT_TRUE(box) << "no message";
        EXPECT_NE(MessageBoxText(box).find("was not opened"), std::string::npos) << MessageBoxText(box);
        EXPECT_FALSE(FindProcessWindow(copy.id(), "TMapUI", kMapCaption)) << "a refused link opened the map";
        PressButton(box, IDOK);
        EXPECT_EQ(copy.wait(5000), 1u);
        EXPECT_TRUE(KeyExists(kClassKey)) << "the link unregistered the server";
    }
}

// The reason is given in the user's chosen language.
TEST_F(Links, ARefusalSpeaksTheUsersLanguage)
{
    const wchar_t* key = L"Software\\Kestrelon\\Tools\\Mappa";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, L"Language", REG_SZ, L"de", 6), ERROR_SUCCESS);
    Process copy(Quoted(MappaPath()) + " /link \"mappa:find?q=%zz\"", true);
    HWND box = WaitForProcessWindow(copy.id(), "#32770", "Mappa.exe", 10000);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, key, L"Language");
    ASSERT_TRUE(box) << "no message";
    EXPECT_EQ(MessageBoxText(box),
              "Dieser Mappa-Link enth\u00E4lt eine fehlerhafte %-Codierung oder ein Steuerzeichen und wurde nicht "
              "ge\u00F6ffnet.");
    PressButton(box, IDOK);
    EXPECT_EQ(copy.wait(5000), 1u);
}

}  // namespace
}  // namespace mappa::automationtest
