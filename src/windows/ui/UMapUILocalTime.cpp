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
    controls_.setText(panel, LocalTimePanelText(OfficeTimes::Bundled().read(*time_office_, lines, now)));
    // Every zone's offset is a whole number of minutes, so its minute turns
    // with UTC's; a little after, so that the new minute has begun.
    FILETIME time{};
    GetSystemTimeAsFileTime(&time);
    const std::uint64_t ticks = (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    const auto into_minute = static_cast<UINT>(ticks / 10000 % 60000);
    SetTimer(window_, kLocalTimeTimer, 60000 - into_minute + 20, nullptr);
}

}  // namespace mappa
