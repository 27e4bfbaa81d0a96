// The map window as it opens: frame, controls, the country list, and closing
// (its picture: MapPictureTest.cpp).
#include <gtest/gtest.h>

#include "MapHarness.h"

#include <commctrl.h>
#include <algorithm>
#include <unknwn.h>
#include <oleacc.h>

#include "support/Application.h"
#include "ui/MapLayout.h"

namespace mappa::uitest {
namespace {

using enum MapControl;

// The tooltip that the window owns.
HWND TooltipOf(HWND window)
{
    struct Search {
        HWND owner, tooltip = nullptr;
    } search{window};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND candidate, LPARAM found) -> BOOL {
            auto* s = reinterpret_cast<Search*>(found);
            char type[32] = {};
            GetClassNameA(candidate, type, sizeof type);
            if (std::string(type) == TOOLTIPS_CLASSA && GetWindow(candidate, GW_OWNER) == s->owner) s->tooltip = candidate;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.tooltip;
}

// The text that the window's tooltip shows for a control.
std::string TooltipText(HWND window, HWND control)
{
    char text[256] = {};
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    SendMessageA(TooltipOf(window), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
}

// The controls that the tooltip has tools for, once for each tool.
std::vector<HWND> ToolControls(HWND window)
{
    HWND tooltip = TooltipOf(window);
    const auto count = static_cast<UINT>(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0));
    std::vector<HWND> controls;
    for (UINT i = 0; i < count; ++i) {
        wchar_t text[1024] = {};  // the enumeration copies each tool's text here
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.lpszText = text;
        if (SendMessageW(tooltip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool)))
            controls.push_back(reinterpret_cast<HWND>(tool.uId));
    }
    std::sort(controls.begin(), controls.end());
    return controls;
}

TEST(MapWindowLayout, FrameCaptionAndClass)
{
    MapWindow map({Office{}});
    HWND window = map->handle();
    char text[64] = {};
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ(text, "Norvantic - Worldwide Locations");
    GetClassNameA(window, text, sizeof text);
    EXPECT_STREQ(text, "TMapUI");
    const LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 648);
    EXPECT_EQ(client.bottom, 472);
}

TEST(MapWindowLayout, ControlsSitWhereTheFormPutsThemWithTheirHints)
{
    struct Expected {
        MapControl name;
        int left, top, width, height;  // 0 x 0: sized to its text
        const char* hint;
    };
    const Expected expected[] = {
        {lsName, 8, 362, 0, 0, ""}, {lsPhone, 8, 386, 0, 0, ""}, {lsFax, 8, 410, 0, 0, ""},
        {lsToll, 297, 386, 0, 0, ""}, {lsEMail, 8, 432, 0, 0, ""}, {lsWebLink, 297, 336, 0, 0, nullptr},
        {Label2, 519, 336, 0, 0, ""}, {lsCountry, 8, 336, 0, 0, ""}, {shKeySupport, 632, 332, 10, 25, ""},
        {Label1, 297, 410, 0, 0, ""}, {lsWebLink2, 297, 362, 0, 0, nullptr},
        {ComboBox1, 64, 332, 209, 21, "Please select a Country."},
        {ldName, 64, 360, 209, 17, "Company Name."}, {ldPhone, 64, 384, 209, 17, "Company Phone Number."},
        {ldFax, 64, 408, 209, 17, "Company Fax Number."}, {ldToll, 432, 384, 209, 17, "Company Toll Free Number."},
        {bCopy, 488, 438, 75, 25, "Copy contact details to Clipboard."}, {bExit, 568, 438, 75, 25, "Exit Program"},
        {ldEmail, 64, 431, 209, 17, "Click to EMail selected Office"}, {Panel1, 4, 5, 649, 321, ""},
        {Image1, 0, 0, 640, 320, ""}, {Overlay, 31, 235, 52, 53, ""},
        {ldInterToll, 432, 408, 209, 17, "Company Toll Free Number."},
        {lsLocalTime, 8, 454, 0, 0, ""}, {ldLocalTime, 76, 452, 407, 17, ""},
    };
    ASSERT_EQ(std::size(expected), std::size(kMapControls)) << "every control of the window is listed here";
    MapWindow map({Office{}}, "http://www.example.com/home");
    for (const Expected& item : expected) {
        SCOPED_TRACE(item.name);
        HWND control = map->control(item.name);
        ASSERT_NE(control, nullptr);
        const RECT place = PlaceInParent(control);
        EXPECT_EQ(place.left, item.left);
        EXPECT_EQ(place.top, item.top);
        if (item.width) {
            EXPECT_EQ(place.right - place.left, item.width);
            EXPECT_EQ(place.bottom - place.top, item.height);
        }
        if (item.hint) {
            EXPECT_EQ(map->parts().controls.hintOf(item.name), item.hint);
            if (*item.hint) {
                EXPECT_EQ(TooltipText(map->handle(), control), item.hint);
            }
        }
    }
    EXPECT_EQ(GetParent(map->control(Image1)), map->control(Panel1));
    EXPECT_EQ(GetWindowLongA(map->control(ComboBox1), GWL_STYLE) & (CBS_DROPDOWNLIST | CBS_SORT),
              CBS_DROPDOWNLIST | CBS_SORT);
    EXPECT_EQ(map.text(lsWebLink), "Norvantic Website");
    EXPECT_EQ(map->parts().controls.hintOf(lsWebLink), "http://www.example.com/home");
    EXPECT_EQ(TooltipText(map->handle(), map->control(lsWebLink)), "http://www.example.com/home");
    EXPECT_EQ(map.text(lsWebLink2), "Norvantic Support Website");
    EXPECT_EQ(map->parts().controls.hintOf(lsWebLink2), "https://support.example.com/");
}

TEST(MapWindowLayout, EachControlHasOneTooltipToolHoweverOftenItsHintIsSet)
{
    MapWindow map({Office{}}, "http://www.example.com/home");
    const std::vector<HWND> first = ToolControls(map->handle());
    EXPECT_TRUE(std::adjacent_find(first.begin(), first.end()) == first.end()) << "a control with two tools";
    for (const MapControl name : {lsWebLink, lsWebLink2, ComboBox1, ldName, bExit})
        EXPECT_EQ(std::count(first.begin(), first.end(), map->control(name)), 1) << name;

    // Showing the data again sets the web links' and the country list's hints a second time.
    map->FormShow();
    EXPECT_EQ(ToolControls(map->handle()), first);
    EXPECT_EQ(TooltipText(map->handle(), map->control(lsWebLink)), "http://www.example.com/home");
    EXPECT_EQ(TooltipText(map->handle(), map->control(lsWebLink2)), "https://support.example.com/");
    EXPECT_EQ(TooltipText(map->handle(), map->control(ComboBox1)), "Please select a Country.");
}

// A screen reader that lets go of a control's accessible object frees it: a
// reader asks again for every event, and each object holds the system's own.
TEST(MapWindowLayout, AControlsAccessibleObjectEndsWithTheReadersLastReference)
{
    MapWindow map({Office{}});
    for (const MapControl name : {ldPhone, Image1, bCopy}) {
        IAccessible* object = nullptr;
        ASSERT_EQ(AccessibleObjectFromWindow(map->control(name), OBJID_CLIENT, IID_IAccessible,
                                             reinterpret_cast<void**>(&object)),
                  S_OK);
        EXPECT_EQ(object->Release(), 0u) << name;
    }
}

TEST(MapWindowLayout, TabRunsCountryListCopyExitEmailMapAndTheTwoWebLinks)
{
    MapWindow map({Office{}});
    const MapControl order[] = {ComboBox1, bCopy, bExit, ldEmail, Image1, lsWebLink, lsWebLink2, ComboBox1};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
        EXPECT_EQ(GetNextDlgTabItem(map->handle(), map->control(order[i]), FALSE), map->control(order[i + 1])) << order[i];
}

TEST(CountryList, OneSortedEntryPerOfficeWithACountry)
{
    MapWindow map({Office{.name = "A", .country = "Norway", .x = 100}, Office{.name = "B", .country = "", .x = 200},
                   Office{.name = "C", .country = "Brazil", .x = 300}, Office{.name = "D", .country = "Norway", .x = 400},
                   Office{.name = "E", .country = "austria", .x = 500}});
    EXPECT_EQ(ComboEntries(map->control(ComboBox1)),
              (std::vector<std::string>{"austria", "Brazil", "Norway", "Norway"}));
    EXPECT_EQ(map->parts().view.picture().pixel(200, 160), kSalesColour) << "an office without a country is still drawn";
    EXPECT_EQ(SendMessageA(map->control(ComboBox1), CB_GETCURSEL, 0, 0), CB_ERR);
}

// The window sorts the list itself; its order must be the one a sorted list
// box gives, under the user's collation (hyphens and apostrophes weigh little,
// accents follow the base letter, letter case does not count), and names that
// compare equal keep the order of the data file.
TEST(CountryList, OrderIsTheSystemsSortedOrderAndEqualNamesKeepFileOrder)
{
    const std::vector<std::string> names{"Co-op Land", "Coop", "Cook Islands", "\xD6sterreich", "Oman", "Ecuador",
                                         "\xC9ire", "Eire", "Zambia", "10 Downing", "9 Elms", "d'Ivoire", "Denmark",
                                         "NORWAY", "Bahamas, The", "Bahamas"};
    std::vector<Office> offices;
    for (std::size_t i = 0; i < names.size(); ++i)
        offices.push_back(Office{.name = "Office " + std::to_string(i), .country = names[i], .x = 20 + 30 * int(i)});
    offices.push_back(Office{.name = "Later", .country = "norway", .x = 600});
    offices.push_back(Office{.name = "Last", .country = "Norway", .x = 620});
    MapWindow map(offices);

    HWND sorted = CreateWindowExA(0, WC_COMBOBOXA, "", WS_POPUP | CBS_DROPDOWNLIST | CBS_SORT | CBS_HASSTRINGS, 0, 0,
                                  200, 200, nullptr, nullptr, nullptr, nullptr);
    for (const std::string& name : names) SendMessageA(sorted, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    std::vector<std::string> expected = ComboEntries(sorted);
    DestroyWindow(sorted);
    const auto norway = std::find(expected.begin(), expected.end(), "NORWAY") - expected.begin();
    ASSERT_LT(norway, std::ssize(expected));
    expected.insert(expected.begin() + norway + 1, {"norway", "Norway"});
    EXPECT_EQ(ComboEntries(map->control(ComboBox1)), expected);

    // The entry equal to the office's country, letter case included, is selected.
    map->showInfo(ToLocation(map->parts().table->Locations[names.size()]));
    EXPECT_EQ(SendMessageA(map->control(ComboBox1), CB_GETCURSEL, 0, 0), norway + 1);
}

TEST(EmptyTable, MissingFileIsReportedAndHoverClickAndCopyStayHarmless)
{
    MapWindow map({}, "", false);
    EXPECT_EQ(map.source.messages, std::vector<std::string>{"Cannot find file Mappa2.dat"});
    EXPECT_EQ(map.source.terminateRequests, 1);
    EXPECT_EQ(SendMessageA(map->control(ComboBox1), CB_GETCOUNT, 0, 0), 0);
    const Pixels before = Capture(map->parts().view.picture());
    EXPECT_EQ(before, BareMap());
    ASSERT_TRUE(MovePointer(PictureOnScreen(map.ui(), 320, 160)));
    map->Image1MouseMove(320, 160);
    map->Image1Click();
    map->FormMouseMove();
    ParkPointer();
    EXPECT_EQ(Capture(map->parts().view.picture()), before);
    EXPECT_EQ(map.text(ldName), "");
    EXPECT_FALSE(IsWindowVisible(map->control(Overlay)));
    SendMessageA(map->control(bCopy), BM_CLICK, 0, 0);
    EXPECT_EQ(ClipboardText(), "Country:   \r\nName:      \r\nPhone:     \r\nFax:       \r\nToll Free: \r\nEMail:     \r\n");
}

// A reference that notes when its last holder lets go.
struct WatchedObject : IUnknown {
    bool released = false;
    ULONG count = 0;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override
    {
        *out = id == IID_IUnknown ? this : nullptr;
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++count; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        if (--count == 0) released = true;
        return count;
    }
};

TEST(Closing, CloseReleasesTheAutomationObjectAndAsksToQuit)
{
    SetTerminateHandler(nullptr);
    MapWindow map({Office{}});
    WatchedObject client;
    map->mapClient = &client;  // MinGW's ComPtr::Attach would add a reference too
    SendMessageA(map->handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(client.released);
    EXPECT_EQ(map->mapClient, nullptr);
    MSG message{};
    EXPECT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_TRUE(IsWindow(map->handle())) << "the window stays until the application ends";
}

TEST(Closing, ExitButtonClosesTheWindow)
{
    SetTerminateHandler(nullptr);
    MapWindow map({Office{}});
    SendMessageA(map->control(bExit), BM_CLICK, 0, 0);
    bool quit = false;
    for (int i = 0; i < 50 && !quit; ++i, Sleep(10)) quit = Pump();
    EXPECT_TRUE(quit);
}

}  // namespace
}  // namespace mappa::uitest
