#include "localtime/PosixZoneRule.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

#include "localtime/CivilTime.h"

namespace mappa::localtime {

namespace {

class RuleReader {
public:
    explicit RuleReader(std::string_view text) : text_(text) {}

    bool AtEnd() const { return at_ == text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[at_]; }
    bool Accept(char c) {
        if (Peek() != c) return false;
        ++at_;
        return true;
    }
    void Expect(char c) {
        if (!Accept(c)) Fail();
    }
    [[noreturn]] void Fail() const {
        throw std::invalid_argument("not a POSIX time-zone rule: " + std::string(text_));
    }

    void SkipName() {
        if (Accept('<')) {
            while (!AtEnd() && Peek() != '>') ++at_;
            Expect('>');
            return;
        }
        const std::size_t begin = at_;
        while ((Peek() >= 'A' && Peek() <= 'Z') || (Peek() >= 'a' && Peek() <= 'z')) ++at_;
        if (at_ - begin < 3) Fail();
    }

    int Number(int largest) {
        if (Peek() < '0' || Peek() > '9') Fail();
        int value = 0;
        while (Peek() >= '0' && Peek() <= '9') {
            value = value * 10 + (text_[at_++] - '0');
            if (value > largest) Fail();
        }
        return value;
    }

    // [+-]hh[:mm[:ss]] in seconds, the sign applied.
    std::int32_t Duration(int largestHours) {
        int sign = 1;
        if (Accept('-')) sign = -1;
        else Accept('+');
        std::int32_t seconds = Number(largestHours) * 3600;
        if (Accept(':')) {
            seconds += Number(59) * 60;
            if (Accept(':')) seconds += Number(59);
        }
        return sign * seconds;
    }

    PosixZoneRule::Transition Transition() {
        PosixZoneRule::Transition transition;
        using Kind = PosixZoneRule::Transition::Kind;
        if (Accept('J')) {
            transition.kind = Kind::JulianNoLeap;
            transition.day = Number(365);
            if (transition.day < 1) Fail();
        } else if (Accept('M')) {
            transition.kind = Kind::MonthWeekDay;
            transition.month = Number(12);
            Expect('.');
            transition.week = Number(5);
            Expect('.');
            transition.day = Number(6);
            if (transition.month < 1 || transition.week < 1) Fail();
        } else {
            transition.kind = Kind::ZeroBasedDay;
            transition.day = Number(365);
        }
        if (Accept('/')) transition.secondsOfDay = Duration(167);
        return transition;
    }

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

std::int64_t DayOfTransition(const PosixZoneRule::Transition& transition, int year) {
    using Kind = PosixZoneRule::Transition::Kind;
    const std::int64_t newYear = DaysFromCivil(year, 1, 1);
    switch (transition.kind) {
    case Kind::JulianNoLeap:
        return newYear + transition.day - 1 + (IsLeapYear(year) && transition.day >= 60 ? 1 : 0);
    case Kind::ZeroBasedDay:
        return newYear + transition.day;
    case Kind::MonthWeekDay:
        break;
    }
    const std::int64_t first = DaysFromCivil(year, transition.month, 1);
    const int firstWeekday = static_cast<int>(((first + 4) % 7 + 7) % 7);
    int day = 1 + (transition.day - firstWeekday + 7) % 7 + 7 * (transition.week - 1);
    while (day > DaysInMonth(year, transition.month)) day -= 7;
    return first + day - 1;
}

}  // namespace

PosixZoneRule PosixZoneRule::Parse(std::string_view text) {
    RuleReader reader(text);
    PosixZoneRule rule;
    reader.SkipName();
    rule.standardOffset_ = -reader.Duration(24);
    if (reader.AtEnd()) return rule;

    rule.hasDaylight_ = true;
    reader.SkipName();
    rule.daylightOffset_ = rule.standardOffset_ + 3600;
    if (!reader.AtEnd() && reader.Peek() != ',') rule.daylightOffset_ = -reader.Duration(24);
    if (reader.AtEnd()) {
        // No dates given: the United States' rules, as most C libraries assume.
        rule.start_ = {Transition::Kind::MonthWeekDay, 3, 2, 0, 7200};
        rule.end_ = {Transition::Kind::MonthWeekDay, 11, 1, 0, 7200};
        return rule;
    }
    reader.Expect(',');
    rule.start_ = reader.Transition();
    reader.Expect(',');
    rule.end_ = reader.Transition();
    if (!reader.AtEnd()) reader.Fail();
    return rule;
}

std::int64_t PosixZoneRule::DaylightStart(int year) const {
    return DayOfTransition(start_, year) * 86400 + start_.secondsOfDay - standardOffset_;
}

std::int64_t PosixZoneRule::DaylightEnd(int year) const {
    return DayOfTransition(end_, year) * 86400 + end_.secondsOfDay - daylightOffset_;
}

// A transition may lie up to a week outside its own year (hours up to 167), so
// the changes of the two years before and the two after cover an instant of
// this year and the change that follows it: the last change before an instant
// early in the year may be the end of daylight time two years before, a week
// into the year before, when that year's own daylight time started before it
// and ends only in this year.
std::array<PosixZoneRule::Change, 10> PosixZoneRule::ChangesAround(std::int64_t utcSeconds) const {
    const int year = CivilFromSeconds(utcSeconds).year;
    std::array<Change, 10> changes{};
    std::size_t count = 0;
    for (int y = year - 2; y <= year + 2; ++y) {
        changes[count++] = {DaylightStart(y), {daylightOffset_, true}};
        changes[count++] = {DaylightEnd(y), {standardOffset_, false}};
    }
    std::stable_sort(changes.begin(), changes.end(),
                     [](const Change& a, const Change& b) { return a.when < b.when; });
    return changes;
}

UtcOffset PosixZoneRule::OffsetAt(std::int64_t utcSeconds) const {
    if (!hasDaylight_) return {standardOffset_, false};
    const auto changes = ChangesAround(utcSeconds);
    UtcOffset offset = changes[0].offset.daylight ? UtcOffset{standardOffset_, false} : UtcOffset{daylightOffset_, true};
    for (const Change& change : changes) {
        if (change.when > utcSeconds) break;
        offset = change.offset;
    }
    return offset;
}

std::optional<std::int64_t> PosixZoneRule::NextChange(std::int64_t utcSeconds) const {
    if (!hasDaylight_) return std::nullopt;
    const UtcOffset now = OffsetAt(utcSeconds);
    const auto changes = ChangesAround(utcSeconds);
    // The last year's changes are only known to stand until the year after's
    // could come before them (a week and a day's offset before its start); a
    // rule that changes at all changes again within a year and a week.
    const std::int64_t known = (DaysFromCivil(CivilFromSeconds(utcSeconds).year + 3, 1, 1) - 9) * 86400;
    for (std::size_t i = 0; i < changes.size() && changes[i].when < known; ++i) {
        // Changes at one instant take effect together, the last one winning, as in
        // OffsetAt: daylight time all year ends each year at the instant it starts again.
        while (i + 1 < changes.size() && changes[i + 1].when == changes[i].when) ++i;
        if (changes[i].when > utcSeconds && !(changes[i].offset == now)) return changes[i].when;
    }
    return std::nullopt;
}

}  // namespace mappa::localtime
