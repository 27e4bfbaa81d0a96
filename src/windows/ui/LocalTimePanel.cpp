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
    SetTimer(window_, kTimer, OfficeTimes::MillisecondsToNextMinute(), nullptr);
}

}  // namespace mappa
