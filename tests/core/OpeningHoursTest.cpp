#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "localtime/OpeningHours.h"

namespace mappa::localtime {
namespace {

constexpr int Mo = 0, Tu = 1, We = 2, Th = 3, Fr = 4, Sa = 5, Su = 6;
constexpr int At(int hour, int minute = 0) { return hour * 60 + minute; }

struct StateCase {
    const char* hours;
    WeekTime now;
    bool open;
    std::optional<WeekTime> change;
};

class OpeningHoursState : public testing::TestWithParam<StateCase> {};

TEST_P(OpeningHoursState, OpenAndNextChange)
{
    const StateCase& c = GetParam();
    const OpenState state = OpeningHours::Parse(c.hours).StateAt(c.now);
    EXPECT_EQ(state.open, c.open);
    EXPECT_EQ(state.change, c.change);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OpeningHoursState,
    testing::Values(
        // A working day, its edges (the closing minute is closed), a weekend.
        StateCase{"Mo-Fr 09:00-17:30; Sa 10:00-13:00", {Tu, At(14, 35)}, true, WeekTime{Tu, At(17, 30)}},
        StateCase{"Mo-Fr 09:00-17:30; Sa 10:00-13:00", {Tu, At(9)}, true, WeekTime{Tu, At(17, 30)}},
        StateCase{"Mo-Fr 09:00-17:30; Sa 10:00-13:00", {Tu, At(17, 30)}, false, WeekTime{We, At(9)}},
        StateCase{"Mo-Fr 09:00-17:30; Sa 10:00-13:00", {Fr, At(20)}, false, WeekTime{Sa, At(10)}},
        StateCase{"Mo-Fr 09:00-17:30; Sa 10:00-13:00", {Sa, At(13)}, false, WeekTime{Mo, At(9)}},
        // Several ranges a day, and a lunch break.
        StateCase{"Mo-Fr 08:00-12:00,13:00-17:00", {We, At(12, 30)}, false, WeekTime{We, At(13)}},
        // Past midnight, also from Sunday into Monday; a range to 24:00 meets one from 00:00.
        StateCase{"Fr 22:00-02:00", {Sa, At(1)}, true, WeekTime{Sa, At(2)}},
        StateCase{"Su 22:00-02:00", {Mo, At(1, 59)}, true, WeekTime{Mo, At(2)}},
        StateCase{"Su 22:00-02:00", {Mo, At(2)}, false, WeekTime{Su, At(22)}},
        StateCase{"Mo 08:00-24:00; Tu 00:00-04:00", {Mo, At(23, 59)}, true, WeekTime{Tu, At(4)}},
        // Wrapping day ranges and lists; a later rule overrides, "off" closes.
        StateCase{"Fr-Mo 10:00-11:00", {Su, At(10, 30)}, true, WeekTime{Su, At(11)}},
        StateCase{"Mo,We,Fr 10:00-11:00", {Tu, At(10, 30)}, false, WeekTime{We, At(10)}},
        StateCase{"Mo-Fr 09:00-17:00; We off", {We, At(10)}, false, WeekTime{Th, At(9)}},
        StateCase{"09:00-17:00", {Su, At(10)}, true, WeekTime{Su, At(17)}},
        // Always open, never open: no change to announce.
        StateCase{"24/7", {We, At(3)}, true, std::nullopt},
        StateCase{"Mo-Su 00:00-24:00", {We, At(3)}, true, std::nullopt},
        StateCase{"off", {We, At(3)}, false, std::nullopt}));

TEST(OpeningHoursState, MinutesToChangeCountAcrossTheWeek)
{
    const auto hours = OpeningHours::Parse("Mo 09:00-10:00");
    EXPECT_EQ(hours.StateAt({Mo, At(10)}).minutesToChange, 7 * 24 * 60 - 60);
    EXPECT_EQ(hours.StateAt({Su, At(23)}).minutesToChange, 10 * 60);
}

class MalformedHours : public testing::TestWithParam<const char*> {};

TEST_P(MalformedHours, AreRefused)
{
    EXPECT_THROW(OpeningHours::Parse(GetParam()), OpeningHoursError) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Cases, MalformedHours,
                         testing::Values("", "Mo-Fr", "Mo-Fr 9:00-17:00", "Mo-Fr 09:00", "Mo-Fr 09:00-25:00",
                                         "Mo-Fr 09:60-17:00", "Mn-Fr 09:00-17:00", "mo-fr 09:00-17:00",
                                         "Mo-Fr 09:00-17:00;; Sa 10:00-12:00", "Mo-Fr 24:00-02:00",
                                         "Mo-Fr 09:00-17:00,"));

}  // namespace
}  // namespace mappa::localtime
