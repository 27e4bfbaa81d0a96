// Every language's texts in their controls at the density of the run (run by
// tests/ui/run-scaling-tests.sh at 96, 120, 144 and 192 dpi): a longer
// wording than the design's room is a fault of the table, which takes a
// shorter one; controls and fonts stay as designed.
#include <windows.h>
#include <commctrl.h>

#include "ScalingHarness.h"

#include "support/Support2Win.h"

#include "support/UiText.h"
#include "ui/FindOfficeDialog.h"
#include "ui/FindOfficeIds.h"
#include "ui/MapCommandIds.h"
#include "ui/OfficeTimes.h"

namespace mappa::uitest {
namespace {

using enum MapControl;

// A label's text as it shows: the accelerator's mark is not drawn.
std::wstring Shown(std::wstring text)
{
    if (const auto mark = text.find(L'&'); mark != std::wstring::npos) text.erase(mark, 1);
    return text;
}

// Whether the local time row fits the panel at every hour of every day, in
// `language` with its own locale's clock and day names, the office open and
// closed with a change on another day: the full text, or else the one with
// the days' abbreviations, as the window chooses.
void ExpectLocalTimesFit(const UiLanguage& language, HWND panel)
{
    wchar_t locale[LOCALE_NAME_MAX_LENGTH] = {};
    ASSERT_GT(LCIDToLocaleName(MAKELCID(language.id, SORT_DEFAULT), locale, LOCALE_NAME_MAX_LENGTH, 0), 0);
    const int width = ClientSize(panel).cx;
    for (int day = 1; day <= 7; ++day) {  // 1 March 2027 is a Monday
        for (int hour : {0, 9, 12, 23}) {
            for (bool open : {false, true}) {
                OfficeTimeReading reading{};
                reading.clock.local = {.year = 2027, .month = 3, .day = day, .hour = hour, .minute = 59,
                                       .second = 0, .weekday = day % 7};
                reading.clock.offset.seconds = 9 * 3600 + 30 * 60;
                reading.clock.hours = localtime::OpenState{
                    .open = open, .change = localtime::WeekTime{(day + 2) % 7, hour * 60 + 59}, .minutesToChange = 2 * 1440};
                const std::wstring full = Utf8ToWide(LocalTimePanelText(reading, {.locale = locale}));
                const std::wstring brief = Utf8ToWide(LocalTimePanelText(reading, {.locale = locale, .shortDays = true}));
                if (TextSize(panel, full).cx > width) {
                    EXPECT_LE(TextSize(panel, brief).cx, width) << WideToUtf8(brief);
                }
            }
        }
    }
}

TEST_F(Scaling, EveryLanguagesTextsFitTheirControls)
{
    MapWindow map(BundledData());
    for (const UiLanguage& language : UiLanguages()) {
        SCOPED_TRACE(language.tag);
        SetUiLanguage(language);
        map->applyLanguage();
        Pump();

        // Labels are as large as their text; each ends before the control after it.
        const struct {
            MapControl label;
            std::optional<MapControl> next;  // none: the window's far edge
        } rows[] = {{lsCountry, ComboBox1}, {lsName, ldName},     {lsPhone, ldPhone},   {lsFax, ldFax},
                    {lsEMail, ldEmail},     {lsToll, ldToll},     {Label1, ldInterToll}, {lsWebLink, Label2},
                    {Label2, shKeySupport}, {lsWebLink2, std::nullopt}, {lsLocalTime, ldLocalTime}};
        for (const auto& row : rows) {
            HWND label = map->control(row.label);
            const RECT place = PlaceInParent(label);
            EXPECT_GE(place.right - place.left, TextSize(label, TextOf(label)).cx) << row.label;
            const long end = row.next ? PlaceInParent(map->control(*row.next)).left : ClientSize(map->handle()).cx;
            EXPECT_LE(place.right, end) << row.label << ": " << WideToUtf8(TextOf(label));
        }
        for (const MapControl name : {bCopy, bExit}) {
            HWND button = map->control(name);
            EXPECT_LE(TextSize(button, TextOf(button)).cx + 2 * GetSystemMetrics(SM_CXEDGE), ClientSize(button).cx)
                << name << ": " << WideToUtf8(TextOf(button));
        }
        ExpectLocalTimesFit(language, map->control(ldLocalTime));

        SendMessageW(map->handle(), WM_SYSCOMMAND, IDM_FIND_OFFICE, 0);
        Pump();
        const FindOfficeDialog* find = map->parts().commands.findDialog();
        ASSERT_TRUE(find);
        HWND label = GetDlgItem(find->handle(), IDC_FIND_LABEL);
        EXPECT_LE(TextSize(label, Shown(TextOf(label))).cx, ClientSize(label).cx) << WideToUtf8(TextOf(label));
        // The check box's text beside its box, inside the dialog.
        HWND openNow = find->openNowBox();
        EXPECT_LE(TextSize(openNow, Shown(TextOf(openNow))).cx + GetSystemMetrics(SM_CXMENUCHECK) + map->parts().scale(6),
                  ClientSize(openNow).cx)
            << WideToUtf8(TextOf(openNow));
        EXPECT_LE(PlaceInParent(openNow).bottom, ClientSize(find->handle()).cy);
        EXPECT_GE(PlaceInParent(openNow).top, PlaceInParent(GetDlgItem(find->handle(), IDC_FIND_LIST)).bottom);
        HWND list = GetDlgItem(find->handle(), IDC_FIND_LIST);
        for (int i = 0; i < 6; ++i) {
            wchar_t title[64] = {};
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.pszText = title;
            column.cchTextMax = 64;
            SendMessageW(list, LVM_GETCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
            // The header keeps a margin of a few pixels on each side of its text.
            EXPECT_LE(TextSize(list, title).cx + map->parts().scale(12), column.cx) << WideToUtf8(title);
        }
        SendMessageW(find->handle(), WM_COMMAND, IDCANCEL, 0);
        Pump();
    }
    SetUiLanguage(EnglishLanguage());
    map->applyLanguage();
}

}  // namespace
}  // namespace mappa::uitest
