#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "localtime/CivilTime.h"
#include "localtime/PosixZoneRule.h"

namespace mappa::localtime {
namespace {

std::int64_t Utc(int year, int month, int day, int hour = 0, int minute = 0)
{
    return DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60;
}

// Daylight time all year, as RFC 8536 writes it: daylight time starts on
// 1 January at 00:00 and ends on 31 December at 25:00, the instant it starts again.
TEST(PosixZoneRule, DaylightTimeAllYearNeverChanges)
{
    const PosixZoneRule rule = PosixZoneRule::Parse("<+13>-13<+14>,0/0,J365/25");
    for (const std::int64_t at : {Utc(2026, 6, 1), Utc(2026, 12, 31, 10, 59), Utc(2026, 12, 31, 11), Utc(2027, 1, 1)}) {
        EXPECT_EQ(rule.OffsetAt(at).seconds, 14 * 3600) << at;
        EXPECT_TRUE(rule.OffsetAt(at).daylight) << at;
        EXPECT_EQ(rule.NextChange(at), std::nullopt) << at;
    }
}

// Daylight time that ends only after the next year's has started (35:00 on
// 31 December is 11:00 on 1 January): daylight from 05:00 to 13:00 UTC on
// 1 January, standard time the rest of the year, whatever the year asked about.
TEST(PosixZoneRule, DaylightTimeEndingInTheNextYearEndsThen)
{
    const PosixZoneRule rule = PosixZoneRule::Parse("XXX3YYY,0,J365/35");
    EXPECT_EQ(rule.OffsetAt(Utc(2027, 1, 1, 4, 59)).seconds, -3 * 3600);
    EXPECT_EQ(rule.OffsetAt(Utc(2027, 1, 1, 5)).seconds, -2 * 3600);
    EXPECT_EQ(rule.OffsetAt(Utc(2027, 1, 1, 13)).seconds, -3 * 3600);
    EXPECT_EQ(rule.NextChange(Utc(2026, 9, 13)), Utc(2027, 1, 1, 5));
    EXPECT_EQ(rule.NextChange(Utc(2027, 1, 1, 5)), Utc(2027, 1, 1, 13));
    EXPECT_EQ(rule.NextChange(Utc(2027, 1, 1, 13)), Utc(2028, 1, 1, 5));
}

// Daylight time over Christmas alone: after it, the next change is a year away.
TEST(PosixZoneRule, NextChangeMayBeAlmostAYearAway)
{
    const PosixZoneRule rule = PosixZoneRule::Parse("XXX3YYY,J358,J359");
    EXPECT_EQ(rule.NextChange(Utc(2026, 12, 30)), Utc(2027, 12, 24, 5));
    EXPECT_EQ(rule.OffsetAt(Utc(2027, 12, 24, 5)).seconds, -2 * 3600);
}

// Central Europe: the change is the first instant of the new offset.
TEST(PosixZoneRule, NextChangeIsTheFirstInstantOfTheOtherOffset)
{
    const PosixZoneRule rule = PosixZoneRule::Parse("CET-1CEST,M3.5.0,M10.5.0/3");
    const std::int64_t spring = Utc(2026, 3, 29, 1), autumn = Utc(2026, 10, 25, 1);
    EXPECT_EQ(rule.NextChange(Utc(2026, 1, 15)), spring);
    EXPECT_EQ(rule.OffsetAt(spring - 1).seconds, 3600);
    EXPECT_EQ(rule.OffsetAt(spring).seconds, 7200);
    EXPECT_EQ(rule.NextChange(spring), autumn);
    EXPECT_EQ(rule.NextChange(autumn), Utc(2027, 3, 28, 1));
}

}  // namespace
}  // namespace mappa::localtime
