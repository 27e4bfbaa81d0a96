// The window in each of the program's languages: chosen in the window menu,
// every text read back as UTF-16 from the window, its menus, the find dialog
// and a message box, and Arabic mirrored with the map as it is.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "MapHarness.h"
#include "automation/ComServer.h"
#include "support/RegHelp.h"
#include "support/Support2PlacementWin.h"
#include "support/Support2Win.h"
#include "support/UiText.h"
#include "ui/FindOfficeDialog.h"
#include "ui/FindOfficeIds.h"
#include "ui/MapCommandIds.h"
#include "ui/MapTexts.h"

namespace mappa::uitest {
namespace {

using enum MapControl;

std::string Text(HWND window) { return WideToUtf8(WideWindowText(window)); }

std::string MenuText(HMENU menu, UINT item, UINT by)
{
    wchar_t text[256] = {};
    GetMenuStringW(menu, item, text, 256, by);
    return WideToUtf8(text);
}

// The texts of the picture's context menu, read while it is open (it was
// opened from the keyboard, as Shift+F10 does) and then closed.
std::vector<std::string> ContextMenuTexts(MapWindow& map)
{
    static std::vector<std::string> texts;
    texts.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        HWND popup = FindWindowW(L"#32768", nullptr);
        if (!popup || !IsWindowVisible(popup)) return;
        KillTimer(nullptr, id);
        HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
        for (int i = 0; i < GetMenuItemCount(menu); ++i)
            if (!(GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR))
                texts.push_back(MenuText(menu, static_cast<UINT>(i), MF_BYPOSITION));
        EndMenu();
    });
    HWND picture = map->control(Image1);
    SendMessageW(picture, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(picture), MAKELPARAM(-1, -1));
    KillTimer(nullptr, timer);
    return texts;
}

HMENU LanguageMenu(HWND window)
{
    HMENU menu = GetSystemMenu(window, FALSE);
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (HMENU sub = GetSubMenu(menu, i)) return sub;
    return nullptr;
}

std::string AccessibleName(HWND control)
{
    Microsoft::WRL::ComPtr<IAccessible> object;
    if (FAILED(AccessibleObjectFromWindow(control, OBJID_CLIENT, IID_PPV_ARGS(&object)))) return "(none)";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (FAILED(object->get_accName(self, &name)) || !name) return "(no name)";
    std::string text = WideToUtf8(name);
    SysFreeString(name);
    return text;
}

// Chooses a language as the user does: the window menu's item.
void Choose(MapWindow& map, UINT item)
{
    SendMessageW(map->handle(), WM_SYSCOMMAND, item, 0);
    Pump();
}

UINT ItemOf(const UiLanguage& language) { return IDM_LANGUAGE_FIRST + 0x10 * static_cast<UINT>(&language - UiLanguages().data()); }

// The choice is kept in the test program's own settings; every test leaves
// the program in English, following Windows.
class Languages : public testing::Test {
protected:
    void SetUp() override { CreateGlobalStores(); }
    void TearDown() override
    {
        SaveLanguageChoice("");
        FreeGlobalStores();
        SetUiLanguage(EnglishLanguage());
    }
};

const std::vector<Office> kOffices = {
    Office{.name = "Oslo Sales", .country = "Norway", .type = "Sales", .x = 100, .y = 100},
    Office{.name = "Rio Support", .country = "Brazil", .type = "Support", .x = 500, .y = 200},
};

TEST_F(Languages, EveryTextOfTheWindowItsMenusTheFindDialogAndAMessageIsThatLanguagesOwn)
{
    MapWindow map(kOffices);
    for (const UiLanguage& language : UiLanguages()) {
        SCOPED_TRACE(language.tag);
        Choose(map, ItemOf(language));
        ASSERT_EQ(&CurrentUiLanguage(), &language);
        EXPECT_EQ(SavedLanguageChoice(), language.tag) << "the choice is kept per user";
        const auto table = [&language](unsigned id) { return WideToUtf8(UiTextIn(language, id)); };

        EXPECT_EQ(Text(map->handle()), table(IDS_CAPTION));
        for (const ControlLayout& layout : kMapControls) {
            const ControlTextIds ids = TextIdsOf(layout.id);
            if (ids.text) {
                EXPECT_EQ(map.text(layout.id), table(ids.text)) << layout.name;
            }
            if (ids.hint) {
                EXPECT_EQ(map->parts().controls.hintOf(layout.id), table(ids.hint)) << layout.name;
            }
        }
        EXPECT_EQ(map.text(lsWebLink), table(IDS_LINK_WEB));
        EXPECT_EQ(map.text(lsWebLink2), table(IDS_LINK_SUPPORT_WEB));
        // Screen readers: a field is named by its label, the map by its own name.
        std::string phone = table(IDS_LABEL_PHONE);
        while (!phone.empty() && (phone.back() == ':' || phone.back() == ' ')) phone.pop_back();
        EXPECT_EQ(AccessibleName(map->control(ldPhone)), phone);
        EXPECT_EQ(AccessibleName(map->control(Image1)), table(IDS_ACCESSIBLE_WORLD_MAP));

        HMENU system = GetSystemMenu(map->handle(), FALSE);
        EXPECT_EQ(MenuText(system, IDM_FIND_OFFICE, MF_BYCOMMAND), table(IDS_MENU_FIND_OFFICE));
        EXPECT_EQ(MenuText(system, IDM_SAVE_CONTACT, MF_BYCOMMAND), table(IDS_MENU_SAVE_CONTACT));
        EXPECT_EQ(MenuText(system, IDM_COPY_LINK, MF_BYCOMMAND), table(IDS_MENU_COPY_LINK));
        const int count = GetMenuItemCount(system);
        EXPECT_EQ(GetSubMenu(system, count - 4), LanguageMenu(map->handle()))
            << "Copy link, Find and Save stay the last items";
        EXPECT_EQ(MenuText(system, static_cast<UINT>(count - 4), MF_BYPOSITION), table(IDS_MENU_LANGUAGE));
        HMENU languages = LanguageMenu(map->handle());
        EXPECT_EQ(MenuText(languages, IDM_LANGUAGE_OF_WINDOWS, MF_BYCOMMAND), table(IDS_MENU_LANGUAGE_OF_WINDOWS));
        for (const UiLanguage& other : UiLanguages()) {
            EXPECT_EQ(MenuText(languages, ItemOf(other), MF_BYCOMMAND), WideToUtf8(other.ownName)) << "each by its own name";
            EXPECT_EQ((GetMenuState(languages, ItemOf(other), MF_BYCOMMAND) & MF_CHECKED) != 0, &other == &language);
        }

        std::vector<std::string> menu;
        for (unsigned id : {IDS_MENU_ZOOM_IN, IDS_MENU_ZOOM_OUT, IDS_MENU_WHOLE_WORLD, IDS_MENU_SALES_OFFICES,
                            IDS_MENU_SUPPORT_OFFICES, IDS_MENU_OTHER_OFFICES})
            menu.push_back(table(id));
        EXPECT_EQ(ContextMenuTexts(map), menu);

        SendMessageW(map->handle(), WM_SYSCOMMAND, IDM_FIND_OFFICE, 0);
        Pump();
        const FindOfficeDialog* find = map->parts().commands.findDialog();
        ASSERT_TRUE(find && find->isOpen());
        EXPECT_EQ(Text(find->handle()), table(IDS_FIND_CAPTION));
        EXPECT_EQ(Text(GetDlgItem(find->handle(), IDC_FIND_LABEL)), table(IDS_FIND_LABEL));
        EXPECT_EQ(Text(find->openNowBox()), table(IDS_FIND_OPEN_NOW));
        const unsigned columns[] = {IDS_FIND_COLUMN_NAME, IDS_FIND_COLUMN_CITY, IDS_FIND_COLUMN_COUNTRY,
                                    IDS_FIND_COLUMN_PHONE, IDS_FIND_COLUMN_TYPE, IDS_FIND_COLUMN_LOCAL_TIME};
        for (int i = 0; i < static_cast<int>(std::size(columns)); ++i) {
            wchar_t title[64] = {};
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT;
            column.pszText = title;
            column.cchTextMax = 64;
            SendMessageW(GetDlgItem(find->handle(), IDC_FIND_LIST), LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
            EXPECT_EQ(WideToUtf8(title), table(columns[i])) << "column " << i;
        }
        EXPECT_EQ((GetWindowLongW(find->handle(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0, language.rightToLeft);
        SendMessageW(find->handle(), WM_COMMAND, IDCANCEL, 0);
        Pump();

        // Nothing is selected: saving a contact says why not.
        std::vector<MessageBoxWatcher::Box> boxes;
        {
            MessageBoxWatcher watcher;
            SendMessageW(map->handle(), WM_SYSCOMMAND, IDM_SAVE_CONTACT, 0);
            boxes = watcher.boxes();
        }
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].unicodeText, table(IDS_MESSAGE_NOTHING_TO_SAVE));
    }

    // The tables are the languages' own, not English under other names.
    const auto word = [](const char* tag, unsigned id) { return WideToUtf8(UiTextIn(*UiLanguageByTag(tag), id)); };
    EXPECT_EQ(word("de", IDS_BUTTON_COPY), "Kopieren");
    EXPECT_EQ(word("fr", IDS_BUTTON_EXIT), "Quitter");
    EXPECT_EQ(word("ja", IDS_BUTTON_COPY), "\u30B3\u30D4\u30FC");
    EXPECT_EQ(word("ar", IDS_BUTTON_COPY), "\u0646\u0633\u062E");
    EXPECT_EQ(word("en", IDS_CLOSE_WARNING_TEXT), kCloseWarningText) << "line breaks as designed";

    Choose(map, IDM_LANGUAGE_OF_WINDOWS);
    EXPECT_EQ(SavedLanguageChoice(), "");
    EXPECT_EQ(&CurrentUiLanguage(), &WindowsUiLanguage());
}

// A text of a table as a regular expression: each {n} stands for parts[n]
// (itself an expression) or, past them, for anything.
std::string Expression(const std::string& text, const std::vector<std::string>& parts = {})
{
    static const std::regex special(R"([.^$|()\[\]{}*+?\\])");
    std::string expression;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '{' && i + 2 < text.size() && text[i + 1] >= '0' && text[i + 1] <= '9' && text[i + 2] == '}') {
            const std::size_t n = static_cast<std::size_t>(text[i + 1] - '0');
            expression += n < parts.size() ? "(?:" + parts[n] + ")" : ".+";
            i += 2;
        } else {
            expression += std::regex_replace(std::string(1, text[i]), special, "\\$&");
        }
    }
    return expression;
}

// The local time's row and the tooltip in each language: the time, day and
// offset in that language's order and its own words for the office's state,
// renewed as soon as the language is chosen.
TEST_F(Languages, TheLocalTimeAndItsStateAreInTheChosenLanguage)
{
    std::ifstream file(MAPPA_HOURS_DATA, std::ios::binary);
    ASSERT_TRUE(file);
    MapWindow map(DataFile{std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>())});
    const std::vector<std::string> entries = ComboEntries(map->control(ComboBox1));
    const auto germany = std::find(entries.begin(), entries.end(), "Germany");
    ASSERT_NE(germany, entries.end());
    SendMessageW(map->control(ComboBox1), CB_SETCURSEL, germany - entries.begin(), 0);
    map->ComboBox1Click();  // Munich, open at night on weekdays
    ASSERT_TRUE(MovePointer(PictureOnScreen(map.ui(), 344, 67)));
    map->Image1MouseMove(344, 67);
    const MapPoint berlin = map->parts().view.pointer().guide().hoverLoc;  // open around the clock
    for (const UiLanguage& language : UiLanguages()) {
        SCOPED_TRACE(language.tag);
        Choose(map, ItemOf(language));
        const auto table = [&language](unsigned id) { return Expression(WideToUtf8(UiTextIn(language, id))); };
        const std::string state = table(IDS_OPEN_CLOSES_AT) + "|" + table(IDS_OPEN_CLOSES_ON) + "|" +
                                  table(IDS_CLOSED_OPENS_AT) + "|" + table(IDS_CLOSED_OPENS_ON);
        const std::string panel = map.text(ldLocalTime);
        EXPECT_TRUE(std::regex_match(
            panel, std::regex(Expression(WideToUtf8(UiTextIn(language, IDS_TIME_AND_STATE)),
                                         {table(IDS_LOCAL_TIME_NOW), state}))))
            << panel;
        // Berlin's line of the tip: the offices beside it may be closed at this hour.
        const std::string tip = map->parts().view.pointer().hoverTextAt(berlin);
        const std::size_t start = tip.find("Norvantic Deutschland GmbH");
        ASSERT_NE(start, std::string::npos) << tip;
        const std::string line = tip.substr(start, tip.find_first_of("\r\n", start) - start);
        EXPECT_TRUE(std::regex_search(
            line, std::regex(Expression(WideToUtf8(UiTextIn(language, IDS_TIME_AND_STATE)),
                                       {table(IDS_TIP_LOCAL_TIME), table(IDS_TIP_OPEN)}) + "$")))
            << tip;
    }
}

TEST_F(Languages, EnglishAgainGivesTheDesignedWindowBack)
{
    MapWindow map(kOffices);
    std::vector<std::string> before;
    for (const ControlLayout& layout : kMapControls) before.push_back(map.text(layout.id));
    std::vector<RECT> places;
    for (const ControlLayout& layout : kMapControls) places.push_back(PlaceInParent(map->control(layout.id)));
    Choose(map, ItemOf(*UiLanguageByTag("ar")));
    Choose(map, ItemOf(*UiLanguageByTag("de")));
    Choose(map, ItemOf(EnglishLanguage()));
    EXPECT_EQ(Text(map->handle()), "Norvantic - Worldwide Locations");
    for (std::size_t i = 0; i < std::size(kMapControls); ++i) {
        EXPECT_EQ(map.text(kMapControls[i].id), before[i]) << kMapControls[i].name;
        const RECT now = PlaceInParent(map->control(kMapControls[i].id));
        EXPECT_TRUE(EqualRect(&now, &places[i])) << kMapControls[i].name << " has moved";
    }
    EXPECT_EQ(GetWindowLongW(map->handle(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL, 0);
}

// The screen's pixels in a window's client area.
std::vector<COLORREF> ScreenPixels(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    RECT screen{};
    GetWindowRect(window, &screen);
    UpdateWindow(window);
    HDC desktop = GetDC(nullptr);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < client.bottom; y += 3)
        for (int x = 0; x < client.right; x += 3) pixels.push_back(GetPixel(desktop, screen.left + 1 + x, screen.top + 1 + y));
    ReleaseDC(nullptr, desktop);
    return pixels;
}

TEST_F(Languages, ArabicMirrorsTheWindowButNotTheMapAndAClickSelectsTheOfficeUnderThePointer)
{
    MapWindow map(kOffices);
    SetForegroundWindow(map->handle());
    Pump();
    HWND picture = map->control(Image1);
    RECT picture_before{}, copy_before{}, client{};
    GetWindowRect(picture, &picture_before);
    GetWindowRect(map->control(bCopy), &copy_before);
    GetClientRect(map->handle(), &client);
    POINT client_left{0, 0};
    ClientToScreen(map->handle(), &client_left);
    const std::vector<COLORREF> map_before = ScreenPixels(picture);

    Choose(map, ItemOf(*UiLanguageByTag("ar")));
    EXPECT_NE(GetWindowLongW(map->handle(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL, 0) << "the window is mirrored";
    EXPECT_NE(GetWindowLongW(map->control(ldName), GWL_EXSTYLE) & WS_EX_LAYOUTRTL, 0) << "its panels read from the right";
    EXPECT_EQ(GetWindowLongW(picture, GWL_EXSTYLE) & WS_EX_LAYOUTRTL, 0) << "the map is not";

    RECT picture_after{}, copy_after{};
    GetWindowRect(picture, &picture_after);
    GetWindowRect(map->control(bCopy), &copy_after);
    EXPECT_TRUE(EqualRect(&picture_before, &picture_after)) << "the map stays in its place";
    EXPECT_EQ(copy_after.left - client_left.x, client.right - (copy_before.right - client_left.x))
        << "Copy stands where the mirror puts it";
    EXPECT_EQ(copy_after.top, copy_before.top);
    EXPECT_EQ(ScreenPixels(picture), map_before) << "north stays up and east right";

    // A click on Rio's marker, at the real pointer, selects Rio.
    const POINT rio{picture_after.left + 500, picture_after.top + 200};
    ASSERT_TRUE(MovePointer(rio));
    POINT inside = rio;
    ScreenToClient(picture, &inside);
    EXPECT_EQ(inside.x, 500) << "the picture's own points are not mirrored";
    SendMessageW(picture, WM_MOUSEMOVE, 0, MAKELPARAM(inside.x, inside.y));
    SendMessageW(picture, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(inside.x, inside.y));
    SendMessageW(picture, WM_LBUTTONUP, 0, MAKELPARAM(inside.x, inside.y));
    Pump();
    ASSERT_TRUE(map->parts().selection.office());
    EXPECT_EQ(*map->parts().selection.office(), 1u);
    EXPECT_EQ(map.text(ldName), "Rio Support");
    ParkPointer();
}

// The names on hover read from the right in Arabic, each line on its own, and
// as they always did once English is chosen again.
TEST_F(Languages, TheHoverTipReadsFromTheRightInArabic)
{
    MapWindow map(kOffices);
    HoverTip& tip = map->parts().view.pointer().hoverTip();
    const auto shown_at_rio = [&] {
        tip.hide();
        EXPECT_TRUE(MovePointer(PictureOnScreen(map.ui(), 500, 200)));
        map->Image1MouseMove(500, 200);
        tip.onTimer();  // as the delay ends
        EXPECT_TRUE(tip.shown());
        return WindowText(tip.window());
    };
    Choose(map, ItemOf(*UiLanguageByTag("ar")));
    const std::string arabic = shown_at_rio();  // its local time follows the place
    EXPECT_TRUE(arabic.starts_with("\u202BRio Support, Town, Brazil, ") && arabic.ends_with("\u202C")) << arabic;
    EXPECT_NE(GetWindowLongW(tip.window(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL, 0) << "its lines stand at the right";
    Choose(map, ItemOf(EnglishLanguage()));
    const std::string english = shown_at_rio();
    EXPECT_TRUE(english.starts_with("Rio Support, Town, Brazil, ")) << english;
    EXPECT_EQ(english.find("\u202B"), std::string::npos);
    EXPECT_EQ(GetWindowLongW(tip.window(), GWL_EXSTYLE) & WS_EX_LAYOUTRTL, 0);
    ParkPointer();
}

// Run with LC_ALL set (tests/ui/run-language-tests.sh): Wine's display
// language, and so the program's, follows it; MAPPA_TEST_LANGUAGE names the
// language we expect.
TEST_F(Languages, TheLanguageOfWindowsIsTheNearestWeHave)
{
    const char* expected = std::getenv("MAPPA_TEST_LANGUAGE");
    if (!expected) GTEST_SKIP() << "MAPPA_TEST_LANGUAGE names no language";
    EXPECT_STREQ(WindowsUiLanguage().tag, expected);
}

}  // namespace
}  // namespace mappa::uitest
