// An office's opening hours in the weekday and time-range basics of
// OpenStreetMap's opening_hours: "Mo-Fr 09:00-17:30; Sa 10:00-13:00".
//
// Rules are separated by ";"; each names days (a day "Mo", a range "Mo-Fr" that
// may wrap "Fr-Mo", or a list "Mo,We,Fr-Su"; no days means every day) and then
// time ranges separated by "," ("09:00-12:00,13:00-17:00"), or "off". A range
// may end past midnight ("22:00-02:00", or up to "24:00"). A later rule
// replaces what earlier ones said about the days it names, so
// "Mo-Fr 09:00-17:00; We off" closes on Wednesdays. "24/7" is open always.
// Times are the office's wall clock.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace mappa::localtime {

class OpeningHoursError : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// A moment of the week: day 0 Monday .. 6 Sunday, minutes since midnight.
struct WeekTime {
    int day = 0;
    int minute = 0;
    bool operator==(const WeekTime&) const = default;
};

// Whether the office is open at a moment, and the next moment that changes it.
struct OpenState {
    bool open = false;
    std::optional<WeekTime> change;  // none when it never changes
    int minutesToChange = 0;         // from the moment asked about, at most a week
};

class OpeningHours {
public:
    // Throws OpeningHoursError, saying what is wrong, for a text that is not such hours.
    static OpeningHours Parse(std::string_view text);

    OpenState StateAt(WeekTime now) const;
    bool IsOpenAt(WeekTime now) const { return StateAt(now).open; }

private:
    struct Range {
        int begin = 0;  // minutes after the day's midnight
        int end = 0;    // exclusive; past 1440 when it runs into the next day
    };
    std::array<std::vector<Range>, 7> days_;
};

// The weekday of a Sunday-based number (0 Sunday, as CivilTime has it), counted from Monday.
inline int MondayBasedDay(int sundayBased) { return (sundayBased + 6) % 7; }

}  // namespace mappa::localtime
