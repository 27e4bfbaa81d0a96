#include "localtime/OpeningHours.h"

#include <algorithm>
#include <optional>

namespace mappa::localtime {

namespace {

constexpr int kDay = 24 * 60;
constexpr int kWeek = 7 * kDay;
constexpr std::string_view kDayNames[7] = {"Mo", "Tu", "We", "Th", "Fr", "Sa", "Su"};

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

[[noreturn]] void Fail(const std::string& what) { throw OpeningHoursError(what); }

int DayNumber(std::string_view name) {
    for (int day = 0; day < 7; ++day) {
        if (kDayNames[day] == name) return day;
    }
    Fail("unknown day \"" + std::string(name) + "\" (Mo Tu We Th Fr Sa Su)");
}

// Each item of a comma list with its two ends apart at the dash, trimmed
// ("Mo-Fr", "09:00-17:00"); an item without a dash has no last end.
template <typename Read>
void ForEachListItem(std::string_view text, Read&& read) {
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const std::string_view item = Trim(text.substr(0, comma));
        text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
        if (comma != std::string_view::npos && Trim(text).empty()) Fail("nothing after \",\"");
        const std::size_t dash = item.find('-');
        const std::optional<std::string_view> last =
            dash == std::string_view::npos ? std::nullopt : std::optional(Trim(item.substr(dash + 1)));
        read(item, Trim(item.substr(0, dash)), last);
    }
}

// "Mo", "Mo-Fr" or lists of them.
std::array<bool, 7> ReadDays(std::string_view text) {
    std::array<bool, 7> days{};
    ForEachListItem(text, [&](std::string_view, std::string_view from, std::optional<std::string_view> to) {
        const int first = DayNumber(from);
        const int last = to ? DayNumber(*to) : first;
        for (int day = first;; day = (day + 1) % 7) {
            days[static_cast<std::size_t>(day)] = true;
            if (day == last) break;
        }
    });
    return days;
}

// "hh:mm", hours 0..24 ("24:00" ends a day).
int ReadClock(std::string_view text) {
    text = Trim(text);
    if (text.size() != 5 || text[2] != ':') Fail("a time must be written hh:mm, not \"" + std::string(text) + "\"");
    for (std::size_t i : {0u, 1u, 3u, 4u}) {
        if (text[i] < '0' || text[i] > '9') Fail("a time must be written hh:mm, not \"" + std::string(text) + "\"");
    }
    const int hours = (text[0] - '0') * 10 + (text[1] - '0');
    const int minutes = (text[3] - '0') * 10 + (text[4] - '0');
    if (hours > 24 || minutes > 59 || (hours == 24 && minutes != 0)) Fail("no such time: " + std::string(text));
    return hours * 60 + minutes;
}

}  // namespace

OpeningHours OpeningHours::Parse(std::string_view text) {
    OpeningHours hours;
    if (Trim(text).empty()) Fail("no hours given");
    if (Trim(text) == "24/7") {
        for (auto& ranges : hours.days_) ranges = {{0, kDay}};
        return hours;
    }
    while (!text.empty()) {
        const std::size_t semicolon = text.find(';');
        const std::string_view rule = Trim(text.substr(0, semicolon));
        text = semicolon == std::string_view::npos ? std::string_view() : text.substr(semicolon + 1);
        if (rule.empty()) {
            if (semicolon == std::string_view::npos) break;  // a trailing ";"
            Fail("an empty rule between two \";\"");
        }
        // The days come first, when the rule starts with a letter.
        std::array<bool, 7> days;
        days.fill(true);
        std::string_view times = rule;
        if ((rule.front() >= 'A' && rule.front() <= 'Z') || (rule.front() >= 'a' && rule.front() <= 'z')) {
            const std::size_t space = rule.find(' ');
            if (space == std::string_view::npos) {
                if (rule == "off" || rule == "closed") {
                    times = rule;
                } else {
                    Fail("no times after \"" + std::string(rule) + "\"");
                }
            } else {
                days = ReadDays(rule.substr(0, space));
                times = Trim(rule.substr(space + 1));
            }
        }
        std::vector<Range> ranges;
        if (times != "off" && times != "closed") {
            ForEachListItem(times, [&](std::string_view item, std::string_view from, std::optional<std::string_view> to) {
                if (!to) Fail("a time range must be written hh:mm-hh:mm, not \"" + std::string(item) + "\"");
                Range range{ReadClock(from), ReadClock(*to)};
                if (range.begin == kDay) Fail("a range cannot begin at 24:00");
                if (range.end <= range.begin) range.end += kDay;  // past midnight
                ranges.push_back(range);
            });
            if (ranges.empty()) Fail("no times in \"" + std::string(rule) + "\"");
        }
        for (std::size_t day = 0; day < 7; ++day) {
            if (days[day]) hours.days_[day] = ranges;
        }
    }
    return hours;
}

OpenState OpeningHours::StateAt(WeekTime now) const {
    // The week as minutes: open where any range of any day covers them.
    std::vector<std::pair<int, int>> spans;
    for (int day = 0; day < 7; ++day) {
        for (const Range& range : days_[static_cast<std::size_t>(day)]) {
            const int begin = day * kDay + range.begin, end = day * kDay + range.end;
            if (end <= kWeek) {
                spans.push_back({begin, end});
            } else {  // Sunday night into Monday
                spans.push_back({begin, kWeek});
                spans.push_back({0, end - kWeek});
            }
        }
    }
    std::sort(spans.begin(), spans.end());
    std::vector<std::pair<int, int>> merged;
    for (const auto& span : spans) {
        if (!merged.empty() && span.first <= merged.back().second) {
            merged.back().second = std::max(merged.back().second, span.second);
        } else {
            merged.push_back(span);
        }
    }
    OpenState state;
    const int at = ((now.day % 7 + 7) % 7) * kDay + std::clamp(now.minute, 0, kDay - 1);
    if (merged.empty()) return state;
    if (merged.size() == 1 && merged[0].first == 0 && merged[0].second == kWeek) {
        state.open = true;
        return state;
    }
    // The boundaries of the open spans, a week's worth either side of now;
    // a span that runs through Sunday midnight into Monday is one span.
    std::vector<std::pair<int, bool>> changes;  // minute, open from then on
    for (const auto& span : merged) {
        if (span.first != 0 || merged.back().second != kWeek) changes.push_back({span.first, true});
        if (span.second != kWeek || merged.front().first != 0) changes.push_back({span.second, false});
    }
    std::sort(changes.begin(), changes.end());
    state.open = std::any_of(merged.begin(), merged.end(),
                             [&](const auto& span) { return span.first <= at && at < span.second; });
    for (int week = 0; week <= 1; ++week) {
        for (const auto& [minute, opens] : changes) {
            const int when = minute + week * kWeek;
            if (when > at && opens != state.open) {
                state.minutesToChange = when - at;
                state.change = WeekTime{(when / kDay) % 7, when % kDay};
                return state;
            }
        }
    }
    return state;
}

}  // namespace mappa::localtime
