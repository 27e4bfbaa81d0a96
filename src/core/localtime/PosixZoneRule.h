// The POSIX TZ rule that closes every compiled IANA zone file, such as
// "CET-1CEST,M3.5.0,M10.5.0/3": the offsets in force after the file's last
// listed change, with RFC 8536's extensions (hours up to 167, negative
// transition times).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "localtime/UtcOffset.h"

namespace mappa::localtime {

class PosixZoneRule {
public:
    // Throws std::invalid_argument for a text that is not such a rule.
    static PosixZoneRule Parse(std::string_view text);

    UtcOffset OffsetAt(std::int64_t utcSeconds) const;
    // The first instant after utcSeconds at which the offset changes.
    std::optional<std::int64_t> NextChange(std::int64_t utcSeconds) const;
    bool HasDaylightTime() const { return hasDaylight_; }

    // One end of the daylight-time period, in the local time then in force.
    struct Transition {
        enum class Kind { JulianNoLeap, ZeroBasedDay, MonthWeekDay } kind = Kind::MonthWeekDay;
        int month = 0, week = 0, day = 0;  // day: weekday, or day of year
        std::int32_t secondsOfDay = 7200;  // default 02:00
    };

private:
    struct Change {
        std::int64_t when;
        UtcOffset offset;  // from then on
    };
    std::array<Change, 10> ChangesAround(std::int64_t utcSeconds) const;
    // The changes of one calendar year, as instants in UTC.
    std::int64_t DaylightStart(int year) const;
    std::int64_t DaylightEnd(int year) const;

    std::int32_t standardOffset_ = 0;  // seconds east of UTC
    std::int32_t daylightOffset_ = 0;
    bool hasDaylight_ = false;
    Transition start_, end_;
};

}  // namespace mappa::localtime
