// What the map window decides without the window system: the country list's
// order, the office kind, where the picture is on the screen and how near an
// office the pointer must be for the hand cursor.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "SampleOffices.h"
#include "mapdata/OfficeKind.h"
#include "ui/CountryList.h"
#include "ui/PictureGeometry.h"

namespace mappa {
namespace {

LocationSlots Offices(const std::vector<std::string>& countries)
{
    LocationSlots slots;
    slots.reset(countries.size() + 2);
    for (const std::string& country : countries) slots.append(test::Office("Office", country));
    return slots;
}

// The system's collation stands in here: letter case ignored, "Z" first.
std::string TestKey(std::string_view country)
{
    std::string key;
    for (char c : country) key += (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
    if (!key.empty() && key.front() == 'z') key.front() = '\0';
    return key;
}

TEST(CountryList, OneEntryPerOfficeInKeyOrderWithEqualKeysInTableOrder)
{
    const LocationSlots slots = Offices({"Norway", "Brazil", "", "NORWAY", "Zambia", "norway", "Brazil", "Chile"});
    std::map<std::string, int> asked;
    const auto key = [&](std::string_view country) {
        ++asked[std::string(country)];
        return TestKey(country);
    };
    EXPECT_EQ(CountryListEntries(slots, slots.dataCount(), key),
              (std::vector<std::string>{"Zambia", "Brazil", "Brazil", "Chile", "Norway", "NORWAY", "norway"}));
    for (const auto& [country, times] : asked) EXPECT_EQ(times, 1) << country << " is keyed once";
    EXPECT_EQ(asked.count(""), 0u) << "an office without a country has no entry";

    EXPECT_EQ(CountryListEntries(slots, 2, key), (std::vector<std::string>{"Brazil", "Norway"}))
        << "only the first `count` slots count";
    EXPECT_TRUE(CountryListEntries(slots, 0, key).empty());
}

TEST(CountryList, TheLastEqualEntryIsTheOneSelected)
{
    const std::vector<std::string> entries{"Brazil", "Norway", "NORWAY", "Norway", "Chile"};
    EXPECT_EQ(LastEntryOf(entries, "Norway"), 3u);
    EXPECT_EQ(LastEntryOf(entries, "NORWAY"), 2u);
    EXPECT_EQ(LastEntryOf(entries, "Brazil"), 0u);
    EXPECT_EQ(LastEntryOf(entries, "norway"), std::nullopt);
    EXPECT_EQ(LastEntryOf({}, ""), std::nullopt);
}

TEST(OfficeKind, SalesAndSupportInAnyLetterCase)
{
    const std::pair<const char*, OfficeKind> cases[] = {
        {"Sales", OfficeKind::Sales},     {"SALES", OfficeKind::Sales},    {"sUpPoRt", OfficeKind::Support},
        {"Sales ", OfficeKind::Other},    {"Sale", OfficeKind::Other},     {"Supports", OfficeKind::Other},
        {"", OfficeKind::Other},          {"Partner", OfficeKind::Other},
    };
    for (const auto& [type, kind] : cases) EXPECT_EQ(KindOfOffice(type), kind) << '"' << type << '"';
}

TEST(PictureGeometry, TheWholeFrameHeightIsAddedDownAndNoBorderAcross)
{
    // A window at 100,50 with a 3-pixel border and a 19-pixel caption around a 648 x 472 client area.
    const ScreenRect outer{100, 50, 100 + 3 + 648 + 3, 50 + 19 + 3 + 472 + 3};
    const ScreenRect picture = PictureScreenRect(outer, 472, {4, 5}, 640, 320);
    EXPECT_EQ(picture, (ScreenRect{104, 50 + 5 + 25, 104 + 640, 80 + 320}));

    EXPECT_EQ(PictureScreenRect({-700, -20, -40, 480}, 472, {4, 5}, 640, 320), (ScreenRect{-696, 13, -56, 333}))
        << "a window partly off the screen";
}

TEST(PictureGeometry, OnlyPointsStrictlyInsideCount)
{
    const ScreenRect rect{10, 20, 650, 340};
    const struct {
        int x, y;
        bool inside;
    } cases[] = {{11, 21, true},    {649, 339, true},  {10, 100, false}, {650, 100, false},
                 {100, 20, false},  {100, 340, false}, {-5, -5, false},  {330, 180, true}};
    for (const auto& c : cases) EXPECT_EQ(StrictlyInside(rect, c.x, c.y), c.inside) << c.x << "," << c.y;
}

TEST(PictureGeometry, TheHandShowsWithinFourPixelsBothWays)
{
    const MapPoint office{200, 150};
    const struct {
        int dx, dy;
        bool near;
    } cases[] = {{0, 0, true},   {4, 4, true},   {-4, -4, true}, {4, -4, true},
                 {5, 0, false},  {0, 5, false},  {-5, 0, false}, {0, -5, false}};
    for (const auto& c : cases)
        EXPECT_EQ(IsNearMarker({office.x + c.dx, office.y + c.dy}, office), c.near) << c.dx << "," << c.dy;
    EXPECT_FALSE(IsNearMarker({INT32_MIN, INT32_MIN}, {INT32_MAX, INT32_MAX})) << "far apart without overflow";
}

}  // namespace
}  // namespace mappa
