// The local time panel and the tooltip's local time of every office of a
// list with hours and zones. The test writes what the window showed, with the
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

#include "support/Support2Win.h"
#include "ui/FindOfficeDialog.h"
#include "ui/OfficeTimes.h"

namespace mappa::uitest {
namespace {

TEST(LocalTime, PanelShowsEachOfficesClockAndState)
{
    std::ifstream file(MAPPA_HOURS_DATA, std::ios::binary);
    ASSERT_TRUE(file);
    MapWindow map(DataFile{std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>())});
    const TMapFunc& table = *map->table();
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
        const auto office = map->selectedOffice();
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
        if (report) {
            report << before << '\t' << after << '\t' << reading.zone << '\t' << lines.hours << '\t' << panel
                   << '\n';
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

}  // namespace
}  // namespace mappa::uitest
