// The map window's local time panel: the shown office's wall clock and
// opening state, shown again as each minute turns.
#include "ui/OfficeTimes.h"
#include "ui/UMapUI.h"

namespace mappa {

void TMapUI::showLocalTime()
{
    KillTimer(window_, kLocalTimeTimer);
    if (!time_office_) return;
    const std::int64_t now = OfficeTimes::Now();
    const OfficeTimeLines* lines =
        mapData_ && time_index_ && *time_index_ < mapData_->TimeLines.size() ? &mapData_->TimeLines[*time_index_]
                                                                             : nullptr;
    HWND panel = control(MapControl::ldLocalTime);
    const OfficeTimeReading reading = OfficeTimes::Bundled().read(*time_office_, lines, now);
    // The days' abbreviations where their names would not fit: a long day's
    // name twice, in a long language.
    std::string text = LocalTimePanelText(reading);
    if (!controls_.fits(panel, text)) text = LocalTimePanelText(reading, {.shortDays = true});
    controls_.setText(panel, text);
    SetTimer(window_, kLocalTimeTimer, OfficeTimes::MillisecondsToNextMinute(), nullptr);
}

}  // namespace mappa
