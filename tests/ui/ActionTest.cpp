// Choosing an office (on the map or in the country list), copying its details,
// opening the web and mail links, and failures shown in a box.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <sstream>

#include "MapHarness.h"

namespace mappa::uitest {
namespace {

using enum MapControl;

const std::vector<Office> kOffices = {
    Office{.name = "Oslo Sales", .country = "Norway", .type = "SALES", .x = 100, .y = 100,
           .email = "Sales.Oslo@Example.COM", .phone = "+47 1", .fax = "+47 2", .toll = "800 1", .interToll = "00800 1"},
    Office{.name = "Rio Support", .country = "Brazil", .type = "support", .x = 300, .y = 200, .email = "rio@example.com",
           .phone = "+55 1", .fax = "+55 2", .toll = "", .interToll = "00800 2"},
    Office{.name = "Bergen Partner", .country = "Norway", .type = "Partner", .x = 500, .y = 100,
           .email = "bergen@example.com", .phone = "", .fax = "+47 3", .toll = "800 3", .interToll = ""},
    Office{.name = "Tromso", .country = "NORWAY", .type = "", .x = 600, .y = 250, .email = "tromso@example.com"},
};

void ExpectShown(MapWindow& map, const Office& office, int ringSize)
{
    SCOPED_TRACE(office.name);
    EXPECT_EQ(map.text(ldName), office.name);
    EXPECT_EQ(map.text(ldPhone), office.phone);
    EXPECT_EQ(map.text(ldFax), office.fax);
    EXPECT_EQ(map.text(ldToll), office.toll);
    EXPECT_EQ(map.text(ldInterToll), office.interToll);
    std::string lower = office.email;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    EXPECT_EQ(map.text(ldEmail), lower);

    const auto entries = ComboEntries(map->control(ComboBox1));
    const auto selected = SendMessageA(map->control(ComboBox1), CB_GETCURSEL, 0, 0);
    ASSERT_NE(selected, CB_ERR);
    EXPECT_EQ(entries[std::size_t(selected)], office.country);
    EXPECT_EQ(std::find(entries.begin() + selected + 1, entries.end(), office.country), entries.end())
        << "the last equal entry is the one selected";

    HWND overlay = map->control(Overlay);
    EXPECT_TRUE(IsWindowVisible(overlay));
    RECT ring{};
    GetWindowRect(overlay, &ring);
    MapWindowPoints(HWND_DESKTOP, GetParent(overlay), reinterpret_cast<POINT*>(&ring), 2);
    EXPECT_EQ(ring.left, office.x - ringSize / 2);
    EXPECT_EQ(ring.top, office.y - ringSize / 2);
    EXPECT_EQ(ring.right - ring.left, ringSize);
    EXPECT_EQ(ring.bottom - ring.top, ringSize);
    UpdateWindow(overlay);
    HDC dc = GetDC(overlay);
    EXPECT_EQ(GetPixel(dc, ringSize / 2, ringSize / 2), RGB(255, 0, 0)) << "the ring is red";
    ReleaseDC(overlay, dc);
}

TEST(Selection, ClickShowsTheOfficeNearestToTheLastMove)
{
    MapWindow map(kOffices);
    map->Image1Click();
    ExpectShown(map, kOffices[0], 10);  // before any move the pointer counts as 0,0

    const int ringSizes[] = {10, 12, 8, 8};
    for (std::size_t i = 0; i < kOffices.size(); ++i) {
        map->Image1MouseMove(kOffices[i].x + 3, kOffices[i].y - 2);
        map->Image1Click();
        ExpectShown(map, kOffices[i], ringSizes[i]);
    }
}

TEST(Selection, CountryListShowsTheLaterOfficeOfACountry)
{
    MapWindow map(kOffices);
    HWND combo = map->control(ComboBox1);
    const struct {
        const char* country;
        std::size_t shown;
        int ring;
    } cases[] = {{"Brazil", 1, 12}, {"Norway", 2, 8}, {"NORWAY", 3, 8}};
    const auto entries = ComboEntries(combo);
    for (const auto& [country, shown, ring] : cases) {
        // The first of equal entries: the later office is shown all the same.
        SendMessageA(combo, CB_SETCURSEL, std::find(entries.begin(), entries.end(), country) - entries.begin(), 0);
        SendMessageA(map->handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
        ExpectShown(map, kOffices[shown], ring);
    }
}

TEST(Copy, PutsTheSixLabelledLinesOnTheClipboard)
{
    MapWindow map(kOffices);
    map->bCopyClick();
    EXPECT_EQ(ClipboardText(), "Country:   \r\nName:      \r\nPhone:     \r\nFax:       \r\nToll Free: \r\nEMail:     \r\n");

    map->Image1MouseMove(101, 101);
    map->Image1Click();
    SendMessageA(map->control(bCopy), BM_CLICK, 0, 0);
    EXPECT_EQ(ClipboardText(), "Country:   Norway\r\nName:      Oslo Sales\r\nPhone:     +47 1\r\nFax:       +47 2\r\n"
                               "Toll Free: 800 1\r\nEMail:     sales.oslo@example.com\r\n");
}

TEST(ErrorBox, AFailureInAHandlerIsShownAndTheWindowGoesOn)
{
    MapWindow map(kOffices);
    // Another thread holds the clipboard open meanwhile.
    std::atomic<int> stage{0};
    std::thread holder([&] {
        OpenClipboard(nullptr);
        stage = 1;
        while (stage != 2) Sleep(5);
        CloseClipboard();
    });
    while (stage != 1) Sleep(5);
    std::vector<MessageBoxWatcher::Box> boxes;
    {
        MessageBoxWatcher watcher;
        SendMessageA(map->control(bCopy), BM_CLICK, 0, 0);
        boxes = watcher.boxes();
    }
    stage = 2;
    holder.join();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Cannot open clipboard");
    EXPECT_TRUE(boxes[0].icon);

    map->Image1MouseMove(301, 201);
    map->Image1Click();
    map->bCopyClick();
    EXPECT_NE(ClipboardText().find("Rio Support"), std::string::npos);
}

// Points Wine's browser and mailer settings at a script that notes each request.
class ShellRequests : public testing::Test {
protected:
    void SetUp() override
    {
        folder.write("record.sh", "#!/bin/sh\nprintf '%s\\n' \"$*\" >> '" + folder.unixPath() + "/requests.log'\n");
        const std::string command = "/bin/sh " + folder.unixPath() + "/record.sh";
        for (const char* value : {"Browsers", "Mailers"})
            ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kKey, value, REG_SZ, command.c_str(), DWORD(command.size() + 1)),
                      ERROR_SUCCESS);
    }
    void TearDown() override
    {
        for (const char* value : {"Browsers", "Mailers"}) RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, value);
    }

    // Clicks `control`, then `markerControl` that asks for `marker`: once the marker has
    // arrived, whatever the first click opened would have arrived too.
    void expectOpens(MapWindow& map, MapControl control, const char* opened, const char* refusal,
                     MapControl markerControl, const char* marker)
    {
        MessageBoxWatcher watcher;
        const std::size_t before = requests().size();
        click(map, control);
        click(map, markerControl);
        std::vector<std::string> wanted{marker};
        if (opened) wanted.push_back(opened);
        auto seen = requestsAfter(before, wanted);
        std::sort(seen.begin(), seen.end());
        std::sort(wanted.begin(), wanted.end());
        EXPECT_EQ(seen, wanted) << "requests so far:\n" << folder.read("requests.log");
        const auto boxes = watcher.boxes();
        ASSERT_EQ(boxes.size(), opened ? 0u : 1u);
        if (!opened) {
            EXPECT_EQ(boxes[0].text, refusal);
            EXPECT_FALSE(boxes[0].icon);
        }
    }

    std::vector<std::string> requests() const
    {
        std::vector<std::string> lines;
        std::istringstream log(folder.read("requests.log"));
        for (std::string line; std::getline(log, line);) lines.push_back(line);
        return lines;
    }

    // The requests recorded after the first `skip`, once all of `wanted` are among
    // them. Each one passes through a shell request, Wine's browser launcher and a
    // Unix shell, three process starts that a loaded machine may hold up for
    // seconds: the wait ends after 30 s at the latest.
    std::vector<std::string> requestsAfter(std::size_t skip, const std::vector<std::string>& wanted) const
    {
        const ULONGLONG deadline = GetTickCount64() + 30000;
        std::vector<std::string> seen;
        while (true) {
            const auto lines = requests();
            seen.assign(lines.begin() + std::ptrdiff_t(std::min(skip, lines.size())), lines.end());
            const bool complete = std::all_of(wanted.begin(), wanted.end(), [&](const std::string& request) {
                return std::count(seen.begin(), seen.end(), request) >= std::count(wanted.begin(), wanted.end(), request);
            });
            if (complete || GetTickCount64() > deadline) return seen;
            Sleep(50);
        }
    }

    void click(MapWindow& map, MapControl control)
    {
        SendMessageA(map->handle(), WM_COMMAND, MAKEWPARAM(0, STN_CLICKED), reinterpret_cast<LPARAM>(map->control(control)));
    }

    static constexpr const char* kKey = "Software\\Wine\\WineBrowser";
    TempFolder folder;
};

TEST_F(ShellRequests, WebLinksOpenOnlyWebAddresses)
{
    const struct {
        const char* link;
        const char* opened;  // nullptr: refused
    } cases[] = {{"https://www.example.com/", "https://www.example.com/"},
                 // Wine's browser launcher hands on the address in its canonical form.
                 {"HTTP://EXAMPLE.COM", "http://example.com/"},
                 {"www.example.com", "https://www.example.com/"},
                 // The shell takes a text without a scheme for a file path: this one
                 // ran C:\users\Public\pwn.exe.
                 {"www.x\\..\\..\\..\\..\\..\\users\\Public\\pwn.exe", nullptr},
                 {"https://example.com/\" /c calc", nullptr},
                 {"C:\\Windows\\system32\\calc.exe", nullptr},
                 {"file:///etc/passwd", nullptr},
                 {"notepad", nullptr},
                 {"https://\u4F8B\u3048.jp/\u5730\u56F3", "https://\u4F8B\u3048.jp/\u5730\u56F3"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.link);
        MapWindow map(kOffices, c.link, true, true);
        expectOpens(map, lsWebLink, c.opened, "An Exception occurred opening the Web Browser", lsWebLink2,
                    "https://support.example.com/");
    }
}

TEST_F(ShellRequests, MailLinkOpensTheLowerCasedAddressOnly)
{
    const struct {
        const char* email;
        const char* opened;  // nullptr: refused
    } cases[] = {{"Sales.Oslo@Example.COM", "mailto:sales.oslo@example.com"},
                 {"a@example.com?subject=x", nullptr},
                 {"a\x07z@example.com", nullptr},
                 // A quote would end the mail client's argument and add one of its own.
                 {"x@y\" /a \"C:\\secret", nullptr},
                 {"a?b@example.com", "mailto:a%3Fb@example.com"},
                 // Letters beyond ASCII reach the shell as they stand in the file.
                 {"\u041F\u0440\u043E\u0434\u0430\u0436\u0438@\u043F\u0440\u0438\u043C\u0435\u0440.\u0440\u0444",
                  "mailto:\u041F\u0440\u043E\u0434\u0430\u0436\u0438@\u043F\u0440\u0438\u043C\u0435\u0440.\u0440\u0444"}};
    std::vector<Office> offices;
    for (const auto& c : cases) offices.push_back(Office{.x = 100 + 100 * int(offices.size()), .email = c.email});
    MapWindow map(offices, "https://www.example.com/", true, true);
    for (std::size_t i = 0; i < offices.size(); ++i) {
        SCOPED_TRACE(offices[i].email);
        map->Image1MouseMove(offices[i].x, offices[i].y);
        map->Image1Click();
        expectOpens(map, ldEmail, cases[i].opened, "An exception occurred opening the mail client.", lsWebLink,
                    "https://www.example.com/");
    }
}

}  // namespace
}  // namespace mappa::uitest
