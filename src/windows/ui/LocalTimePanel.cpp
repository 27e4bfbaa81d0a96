#include "ui/LocalTimePanel.h"

#include "ui/OfficeTimes.h"

namespace mappa {

void LocalTimePanel::show(const TLocation& location, std::optional<std::size_t> index, const TMapFunc* table)
{
    office_ = location;
    index_ = index;
    refresh(table);
}

void LocalTimePanel::refresh(const TMapFunc* table)
{
    KillTimer(window_, kTimer);
    if (!office_) return;
    const std::int64_t now = OfficeTimes::Now();
    const OfficeTimeLines* lines =
        table && index_ && *index_ < table->TimeLines.size() ? &table->TimeLines[*index_] : nullptr;
    HWND panel = controls_.handle(MapControl::ldLocalTime);
    const OfficeTimeReading reading = OfficeTimes::Bundled().read(*office_, lines, now);
    // The days' abbreviations where their names would not fit: a long day's
    // name twice, in a long language.
    std::string text = LocalTimePanelText(reading);
    if (!controls_.fits(panel, text)) text = LocalTimePanelText(reading, {.shortDays = true});
    controls_.setText(panel, text);
    // Every zone's offset is a whole number of minutes, so its minute turns
    // with UTC's; a little after, so that the new minute has begun.
    FILETIME time{};
    GetSystemTimeAsFileTime(&time);
    const std::uint64_t ticks = (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    const auto into_minute = static_cast<UINT>(ticks / 10000 % 60000);
    SetTimer(window_, kTimer, 60000 - into_minute + 20, nullptr);
}

}  // namespace mappa
