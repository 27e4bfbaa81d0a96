// The local time panel and the tooltip's local time of every office of a
// list with hours and zones, and the find dialog's "Open now". The test writes what the window showed, with the
// instants before and after reading it, to the file that
// MAPPA_LOCAL_TIME_REPORT names; check-local-times.py compares it with
// Python's zoneinfo.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <set>

#include "MapHarness.h"

#include <commctrl.h>
#include <oleacc.h>
#include <wrl/client.h>

#include "support/Support2Win.h"
#include "ui/FindOfficeDialog.h"
#include "ui/FindOfficeIds.h"
#include "ui/MapCommandIds.h"
#include "ui/OfficeTimes.h"

namespace mappa::uitest {
namespace {

TEST(LocalTime, PanelShowsEachOfficesClockAndState)
{
    std::ifstream file(MAPPA_HOURS_DATA, std::ios::binary);
    ASSERT_TRUE(file);
    MapWindow map(DataFile{std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>())});
    const TMapFunc& table = *map->parts().table;
    ASSERT_GT(table.Locations.dataCount(), 40u);
    EXPECT_EQ(map.text(MapControl::lsLocalTime), "Local time:");
    EXPECT_EQ(map.text(MapControl::ldLocalTime), "");

    const char* report_path = std::getenv("MAPPA_LOCAL_TIME_REPORT");
    std::ofstream report;
    if (report_path) report.open(report_path, std::ios::binary);
    const std::vector<std::string> entries = ComboEntries(map->control(MapControl::ComboBox1));
    std::set<std::size_t> seen;
    for (std::size_t entry = 0; entry < entries.size(); ++entry) {
        SendMessageW(map->control(MapControl::ComboBox1), CB_SETCURSEL, entry, 0);
        const std::int64_t before = OfficeTimes::Now();
        map->ComboBox1Click();
        const std::string panel = map.text(MapControl::ldLocalTime);
        const std::int64_t after = OfficeTimes::Now();
        const auto office = map->parts().selection.office();
        ASSERT_TRUE(office);
        if (!seen.insert(*office).second) continue;
        const OfficeTimeLines& lines = table.TimeLines[*office];
        const auto reading = OfficeTimes::Bundled().read(table.Locations[*office], &lines, before);
        EXPECT_FALSE(panel.empty());
        // The state follows the time exactly when the office has hours.
        EXPECT_EQ(panel.find(", open") != std::string::npos || panel.find(", closed") != std::string::npos,
                  !lines.hours.empty())
            << panel;
        if (!lines.zone.empty()) {
            EXPECT_EQ(reading.zone, lines.zone);
        }
        // The tooltip's line for this office, among those under the pointer at its marker.
        const auto& location = table.Locations[*office];
        const std::string tip = map->parts().view.pointer().hoverTextAt({location.MapX, location.MapY});
        std::string tip_line;
        for (std::size_t at = 0; at < tip.size();) {
            const std::size_t end = std::min(tip.find('\n', at), tip.size());
            std::string line = tip.substr(at, end - at);
            if (line.ends_with('\r')) line.pop_back();
            if (line.starts_with(std::string(location.Name) + ", ")) tip_line = line;
            at = end + 1;
        }
        EXPECT_FALSE(tip_line.empty()) << tip;
        if (report) {
            report << before << '\t' << after << '\t' << reading.zone << '\t' << lines.hours << '\t' << panel
                   << '\t' << tip_line << '\n';
        }
    }
    EXPECT_GT(seen.size(), 30u);

    // The find dialog's last column: each office's time and day, its own zone line heeded.
    FindOfficeDialog find(GetModuleHandleA(nullptr), map->handle(), table.Locations, table.Locations.dataCount(),
                          [](std::size_t) {}, &table.TimeLines);
    find.open();
    wchar_t title[64]{};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = title;
    column.cchTextMax = 64;
    ASSERT_TRUE(SendMessageW(find.list(), LVM_GETCOLUMNW, 5, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(title, L"Local time");
    for (int row = 0; row < 5; ++row) {
        wchar_t cell[128]{};
        LVITEMW item{};
        item.iSubItem = 5;
        item.pszText = cell;
        item.cchTextMax = 128;
        SendMessageW(find.list(), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        // Rows stand in table order before anything is typed.
        const std::size_t office = static_cast<std::size_t>(row);
        const auto reading = OfficeTimes::Bundled().read(table.Locations[office], &table.TimeLines[office],
                                                         OfficeTimes::Now());
        EXPECT_EQ(WideToUtf8(cell), LocalTimeShortText(reading)) << table.Locations[office].Name;
    }
}

// Offices whose blocks start with a comment run holding their hours (none: no run).
DataFile WithHours(const std::vector<std::pair<Office, std::string>>& offices)
{
    std::vector<Office> plain;
    for (const auto& office : offices) plain.push_back(office.first);
    std::string text = DataFileText(plain);
    for (const auto& [office, hours] : offices) {
        if (hours.empty()) continue;
        const std::string block = "*-----\r\nNAME: " + office.name + "\r\n";
        const std::size_t at = text.find(block);
        text.insert(at + 8, "// HOURS: " + hours + "\r\n*-----\r\n");
    }
    return DataFile{text};
}

// The names of the offices that the find dialog lists, in its order.
std::vector<std::string> Listed(const TMapFunc& table, const FindOfficeDialog& find)
{
    EXPECT_EQ(static_cast<std::size_t>(ListView_GetItemCount(find.list())), find.rows().size());
    std::vector<std::string> names;
    for (const std::uint32_t office : find.rows()) names.emplace_back(table.Locations[office].Name);
    return names;
}

void Type(const FindOfficeDialog& find, const wchar_t* text)
{
    SetWindowTextW(find.editBox(), text);
    Pump();
}

// A click on the check box, as the user gives it.
void Click(HWND box)
{
    SendMessageW(box, BM_CLICK, 0, 0);
    Pump();
}

TEST(LocalTime, OpenNowKeepsOnlyTheOfficesOpenNowWithTheSearchText)
{
    const Office base{};
    const auto office = [&](const char* name, const char* country) {
        Office made = base;
        made.name = name;
        made.country = country;
        return made;
    };
    MapWindow map(WithHours({{office("Around the clock Oslo", "Norway"), "Mo-Su 00:00-24:00"},
                             {office("Never open Bergen", "Norway"), "off"},
                             {office("No hours Lima", "Peru"), ""},
                             {office("Always Tokyo", "Japan"), "24/7"},
                             {office("Unreadable Lima", "Peru"), "Mo-Fr 9:00-17:00"},
                             {office("Around the clock Lima", "Peru"), "Mo-Su 00:00-24:00"}}));
    const TMapFunc& table = *map->parts().table;
    ASSERT_EQ(table.Locations.dataCount(), 6u);
    SendMessageW(map->handle(), WM_SYSCOMMAND, IDM_FIND_OFFICE, 0);
    Pump();
    const FindOfficeDialog* find = map->parts().commands.findDialog();
    ASSERT_TRUE(find && find->isOpen());
    HWND box = find->openNowBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(WideToUtf8(WideWindowText(box)), "&Open now");
    EXPECT_EQ(IsDlgButtonChecked(find->handle(), IDC_FIND_OPEN_NOW), BST_UNCHECKED);
    const std::vector<std::string> all = Listed(table, *find);
    ASSERT_EQ(all.size(), 6u);

    // Checked: the offices open around the clock; those closed, without hours or with hours that do not read stay out.
    Click(box);
    EXPECT_EQ(IsDlgButtonChecked(find->handle(), IDC_FIND_OPEN_NOW), BST_CHECKED);
    EXPECT_EQ(Listed(table, *find),
              (std::vector<std::string>{"Around the clock Oslo", "Always Tokyo", "Around the clock Lima"}));
    EXPECT_EQ(find->selectedRow(), 0u);
    // As a minute turns, the offices open are found again, and the one the user selected stays selected.
    ListView_SetItemState(find->list(), 2, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ASSERT_EQ(find->selectedRow(), 2u);
    SendMessageW(find->handle(), WM_TIMER, FindOfficeDialog::kMinuteTimer, 0);
    Pump();
    EXPECT_EQ(Listed(table, *find),
              (std::vector<std::string>{"Around the clock Oslo", "Always Tokyo", "Around the clock Lima"}));
    EXPECT_EQ(find->selectedRow(), 2u);
    // Together with the search text, in either order.
    Type(*find, L"lima");
    EXPECT_EQ(Listed(table, *find), std::vector<std::string>{"Around the clock Lima"});
    Type(*find, L"bergen");
    EXPECT_TRUE(Listed(table, *find).empty());
    Click(box);
    EXPECT_EQ(Listed(table, *find), std::vector<std::string>{"Never open Bergen"});
    Type(*find, L"");
    EXPECT_EQ(Listed(table, *find), all);

    // The keyboard: the box follows the list in the tab order, then the search
    // again; its access key toggles it from the search box.
    EXPECT_EQ(GetNextDlgTabItem(find->handle(), find->list(), FALSE), box);
    EXPECT_EQ(GetNextDlgTabItem(find->handle(), box, FALSE), find->editBox());
    SetFocus(find->editBox());
    MSG key{};
    key.hwnd = find->editBox();
    key.message = WM_SYSCHAR;
    key.wParam = 'o';
    key.lParam = 1 << 29;  // with Alt
    EXPECT_TRUE(IsDialogMessageW(find->handle(), &key));
    Pump();
    EXPECT_EQ(IsDlgButtonChecked(find->handle(), IDC_FIND_OPEN_NOW), BST_CHECKED);
    EXPECT_EQ(Listed(table, *find).size(), 3u);

    // Screen readers hear a check box named by its text, and whether it is checked.
    Microsoft::WRL::ComPtr<IAccessible> accessible;
    ASSERT_HRESULT_SUCCEEDED(AccessibleObjectFromWindow(box, OBJID_CLIENT, IID_PPV_ARGS(&accessible)));
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    ASSERT_HRESULT_SUCCEEDED(accessible->get_accName(self, &name));
    EXPECT_EQ(WideToUtf8(name ? name : L""), "Open now");
    SysFreeString(name);
    VARIANT role{}, state{};
    ASSERT_HRESULT_SUCCEEDED(accessible->get_accRole(self, &role));
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_CHECKBUTTON);
    ASSERT_HRESULT_SUCCEEDED(accessible->get_accState(self, &state));
    EXPECT_TRUE(state.lVal & STATE_SYSTEM_CHECKED);
}

}  // namespace
}  // namespace mappa::uitest
