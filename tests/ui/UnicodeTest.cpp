// Offices written in scripts that no ANSI code page holds all of: the panels,
// the country list and the clipboard carry them whole, and an 8-bit reader
// of the clipboard gets "?" only for what its code page lacks.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "MapHarness.h"
#include "support/Support2Win.h"

namespace mappa::uitest {
namespace {

using enum MapControl;

const std::vector<Office> kScripts = {
    Office{.name = "\u6771\u4EAC\u55B6\u696D\u6240", .country = "\u65E5\u672C", .x = 520, .y = 110,  // Japanese
           .email = "tokyo@example.com", .phone = "+81 3 5555 0100"},
    Office{.name = "\u4E0A\u6D77\u529E\u4E8B\u5904", .country = "\u4E2D\u56FD", .x = 480, .y = 120},  // Chinese
    Office{.name = "\uC11C\uC6B8 \uC9C0\uC0AC", .country = "\uB300\uD55C\uBBFC\uAD6D", .x = 500, .y = 105},  // Korean
    Office{.name = "\u0393\u03C1\u03B1\u03C6\u03B5\u03AF\u03BF \u0391\u03B8\u03AE\u03BD\u03B1\u03C2",
           .country = "\u0395\u03BB\u03BB\u03AC\u03B4\u03B1", .x = 360, .y = 95},  // Greek
    Office{.name = "\u041C\u043E\u0441\u043A\u043E\u0432\u0441\u043A\u0438\u0439 \u043E\u0444\u0438\u0441",
           .country = "\u0420\u043E\u0441\u0441\u0438\u044F", .x = 380, .y = 60,  // Russian
           .email = "\u041F\u0440\u043E\u0434\u0430\u0436\u0438@\u043F\u0440\u0438\u043C\u0435\u0440.\u0440\u0444"},
    Office{.name = "\u0645\u0643\u062A\u0628 \u062F\u0628\u064A",
           .country = "\u0627\u0644\u0625\u0645\u0627\u0631\u0627\u062A", .x = 410, .y = 130},  // Arabic
    Office{.name = "Z\u00FCrich Vertrieb", .country = "Schweiz", .x = 330, .y = 80, .email = "Z\u00FCrich@Example.CH"},
};

TEST(Scripts, PanelsAndListShowEveryOfficeWhole)
{
    MapWindow map(kScripts, "https://www.example.com/", true, true);
    const char* scripts[] = {"japanese", "chinese", "korean", "greek", "russian", "arabic", "western"};
    HWND combo = map->control(ComboBox1);
    for (std::size_t i = 0; i < kScripts.size(); ++i) {
        const Office& office = kScripts[i];
        SCOPED_TRACE(scripts[i]);
        map->Image1MouseMove(office.x, office.y);
        map->Image1Click();
        EXPECT_EQ(map.text(ldName), office.name);
        EXPECT_EQ(map.text(ldPhone), office.phone);
        // Only ASCII letters are lowered: "Z\u00FCrich" keeps its letters beyond ASCII as written.
        std::string lower = office.email;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
        EXPECT_EQ(map.text(ldEmail), lower);
        const auto entries = ComboEntries(combo);
        const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
        ASSERT_NE(selected, CB_ERR);
        EXPECT_EQ(entries[std::size_t(selected)], office.country);
    }

    // In the order a sorted Unicode list box gives them under the user's collation.
    HWND sorted = CreateWindowExW(0, WC_COMBOBOXW, L"", WS_POPUP | CBS_DROPDOWNLIST | CBS_SORT | CBS_HASSTRINGS, 0, 0,
                                  200, 200, nullptr, nullptr, nullptr, nullptr);
    for (const Office& office : kScripts)
        SendMessageW(sorted, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToWide(office.country).c_str()));
    EXPECT_EQ(ComboEntries(combo), ComboEntries(sorted));
    DestroyWindow(sorted);
}

TEST(Scripts, CopyPutsUnicodeTextAndCodePageTextOnTheClipboard)
{
    MapWindow map(kScripts, "https://www.example.com/", true, true);
    const auto copy = [&](const Office& office) {
        map->Image1MouseMove(office.x, office.y);
        map->Image1Click();
        SendMessageW(map->control(bCopy), BM_CLICK, 0, 0);
    };
    copy(kScripts[4]);
    EXPECT_EQ(UnicodeClipboardText(), "Country:   " + kScripts[4].country + "\r\nName:      " + kScripts[4].name +
                                          "\r\nPhone:     +47 555 0100\r\nFax:       +47 555 0101\r\n"
                                          "Toll Free: 800 555 01\r\nEMail:     " + kScripts[4].email + "\r\n");
    if (GetACP() != 1252) GTEST_SKIP() << "the 8-bit texts below are those of code page 1252, not " << GetACP();
    // Each letter outside the code page is one "?", never a look-alike.
    EXPECT_EQ(ClipboardText(), "Country:   ??????\r\nName:      ?????????? ????\r\nPhone:     +47 555 0100\r\n"
                               "Fax:       +47 555 0101\r\nToll Free: 800 555 01\r\nEMail:     ???????@??????.??\r\n");

    copy(kScripts[6]);
    EXPECT_EQ(ClipboardText(), "Country:   Schweiz\r\nName:      Z\xFCrich Vertrieb\r\nPhone:     +47 555 0100\r\n"
                               "Fax:       +47 555 0101\r\nToll Free: 800 555 01\r\nEMail:     z\xFCrich@example.ch\r\n");
    EXPECT_EQ(UnicodeClipboardText(), "Country:   Schweiz\r\nName:      Z\u00FCrich Vertrieb\r\nPhone:     +47 555 0100\r\n"
                                      "Fax:       +47 555 0101\r\nToll Free: 800 555 01\r\nEMail:     z\u00FCrich@example.ch\r\n");
}

}  // namespace
}  // namespace mappa::uitest
