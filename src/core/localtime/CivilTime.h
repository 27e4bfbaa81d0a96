// Calendar arithmetic on the proleptic Gregorian calendar, for instants given
// as seconds since 1970-01-01 00:00 UTC.
#pragma once

#include <cstdint>

namespace mappa::localtime {

struct CivilTime {
    int year = 1970;
    int month = 1;    // 1..12
    int day = 1;      // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int weekday = 4;  // 0 Sunday .. 6 Saturday
};

// Days since 1970-01-01 of a date; month 1..12.
std::int64_t DaysFromCivil(int year, int month, int day);

// The date and time of a count of seconds since 1970-01-01 00:00, read as a
// wall clock (no zone).
CivilTime CivilFromSeconds(std::int64_t seconds);

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);

}  // namespace mappa::localtime
