#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "mapdata/LocationTable.h"
#include "ui/HoverNames.h"
#include "ui/MapKeyboard.h"
#include "ui/PictureGeometry.h"
#include "ui/MapLogic.h"

namespace mappa {
namespace {

using Positions = std::vector<MapPoint>;
using enum MapDirection;

TEST(MapKeyboard, NearestOfficeWithinFortyFiveDegrees)
{
    const MapPoint from{100, 100};
    const Positions offices{
        {100, 100},  // 0: the start itself, in no direction
        {130, 100},  // 1: right, 30 away
        {120, 120},  // 2: on the diagonal right-down, 28.3 away
        {121, 100},  // 3: right, 21 away
        {60, 60},    // 4: on the diagonal left-up, 56.6 away
        {90, 150},   // 5: down, 51 away
    };
    EXPECT_EQ(OfficeInDirection(offices, from, Right), 3u);
    EXPECT_EQ(OfficeInDirection(offices, from, Down), 2u);  // the diagonal counts for down too
    EXPECT_EQ(OfficeInDirection(offices, from, Left), 4u);
    EXPECT_EQ(OfficeInDirection(offices, from, Up), 4u);

    // Just past 45 degrees it is the other direction's only.
    const Positions steep{{110, 111}};
    EXPECT_EQ(OfficeInDirection(steep, from, Down), 0u);
    EXPECT_EQ(OfficeInDirection(steep, from, Right), std::nullopt);
}

TEST(MapKeyboard, TiesGoToTheEarlierOfficeAndNothingMeansNoMove)
{
    const Positions twins{{50, 20}, {50, 0}, {50, 0}, {40, 10}, {60, 10}};
    EXPECT_EQ(OfficeInDirection(twins, {50, 10}, Up), 1u);
    EXPECT_EQ(OfficeInDirection(twins, {50, 10}, Left), 3u);
    EXPECT_EQ(OfficeInDirection(twins, {40, 10}, Right), 0u);  // (50, 20) and (50, 0) both 14.1 away

    EXPECT_EQ(OfficeInDirection(Positions{}, {0, 0}, Up), std::nullopt);
    EXPECT_EQ(OfficeInDirection(Positions{{5, 5}}, {5, 5}, Up), std::nullopt);
    EXPECT_EQ(PictureCentre(640, 320), (MapPoint{320, 160}));
    EXPECT_EQ(PictureCentre(641, 321), (MapPoint{320, 160}));

    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    const Positions far{{kMax, kMax}, {kMax, kMin}};
    EXPECT_EQ(OfficeInDirection(far, {kMin, 0}, Right), 0u);
}

// The office that a click at `pointer` selects, by the window's own search.
std::size_t ClickedOffice(const Positions& positions, MapPoint pointer)
{
    LocationSlots slots;
    slots.reset(positions.size() + 1);
    for (const MapPoint& p : positions) {
        TLocation office;
        office.Name = "office";
        office.MapX = p.x;
        office.MapY = p.y;
        slots.append(office);
    }
    return NearestLocation(slots, slots.dataCount(), pointer);
}

TEST(HoverNames, OfficesWithinReachNearestFirst)
{
    const Positions offices{{14, 10}, {10, 14}, {13, 13}, {10, 10}, {15, 10}, {10, 5}, {11, 11}};
    // Whole-pixel distances from (10, 10): 4, 4, 4 (4.24), 0, out, out, 1.
    EXPECT_EQ(OfficesUnderPointer(offices, {10, 10}, kHandReach), (std::vector<std::size_t>{3, 6, 0, 1, 2}));
    EXPECT_TRUE(OfficesUnderPointer(offices, {30, 30}, kHandReach).empty());
    EXPECT_EQ(OfficesUnderPointer(offices, {10, 10}, 1), (std::vector<std::size_t>{3, 6}));
    EXPECT_EQ(OfficesUnderPointer(offices, {10, 10}, 0), (std::vector<std::size_t>{3}));
}

// While the hand shows (the nearest office is within reach), the first name
// in the tooltip is the office that a click selects.
TEST(HoverNames, FirstNameIsTheOfficeAClickSelects)
{
    std::mt19937 random(13);
    std::uniform_int_distribution<std::int32_t> coordinate(0, 24);
    int hands = 0;
    for (int round = 0; round < 2000; ++round) {
        Positions offices(6);
        for (MapPoint& p : offices) p = {coordinate(random), coordinate(random)};
        const MapPoint pointer{coordinate(random), coordinate(random)};
        const std::size_t clicked = ClickedOffice(offices, pointer);
        if (!IsNearMarker(pointer, offices[clicked])) continue;
        ++hands;
        const auto under = OfficesUnderPointer(offices, pointer, kHandReach);
        ASSERT_FALSE(under.empty());
        EXPECT_EQ(under.front(), clicked) << "round " << round;
    }
    EXPECT_GT(hands, 500);
}

TEST(HoverNames, TooltipText)
{
    const OfficeLabel nordic{"Norvantic Nordic AB", "Orebro", "Sweden", {}};
    EXPECT_EQ(HoverText(std::vector<OfficeLabel>{nordic}), "Norvantic Nordic AB, Orebro, Sweden");
    EXPECT_EQ(HoverText(std::vector<OfficeLabel>{{"A", "", "Chile", {}}}), "A, Chile");
    EXPECT_EQ(HoverText(std::vector<OfficeLabel>{{"A", "Lima", " ", {}}}), "A, Lima");
    EXPECT_EQ(HoverText(std::vector<OfficeLabel>{{"A", "", "", {}}, nordic}), "A\r\nNorvantic Nordic AB, Orebro, Sweden");
    EXPECT_EQ(HoverText(std::vector<OfficeLabel>{}), "");
    // The local time follows the place, where it is known.
    EXPECT_EQ(HoverText(std::vector<OfficeLabel>{{"A", "Lima", "Peru", "09:12 local time, open"}, nordic}),
              "A, Lima, Peru, 09:12 local time, open\r\nNorvantic Nordic AB, Orebro, Sweden");

    std::vector<OfficeLabel> many;
    std::vector<std::string> names;
    for (int i = 1; i <= 8; ++i) names.push_back("O" + std::to_string(i));
    for (const std::string& name : names) many.push_back({name, "", "", {}});
    EXPECT_EQ(HoverText(many), "O1\r\nO2\r\nO3\r\nO4\r\nO5\r\nand 3 more");
    many.resize(6);
    EXPECT_EQ(HoverText(many), "O1\r\nO2\r\nO3\r\nO4\r\nO5\r\nand 1 more");
    many.resize(5);
    EXPECT_EQ(HoverText(many), "O1\r\nO2\r\nO3\r\nO4\r\nO5");
}

// Each line is embedded on its own: an embedding does not reach past the end
// of its line, and a line break inside one would leave it open.
TEST(HoverNames, RightToLeftLinesEmbedEachLine)
{
    const std::string rle = "\u202B", pdf = "\u202C";
    EXPECT_EQ(RightToLeftLines("A, Lima, 9:12 \xD9\x85"), rle + "A, Lima, 9:12 \xD9\x85" + pdf);
    EXPECT_EQ(RightToLeftLines("A\r\nB\nC"), rle + "A" + pdf + "\r\n" + rle + "B" + pdf + "\n" + rle + "C" + pdf);
    EXPECT_EQ(RightToLeftLines("A\r\n"), rle + "A" + pdf + "\r\n" + rle + pdf);
    EXPECT_EQ(RightToLeftLines("\r\n"), rle + pdf + "\r\n" + rle + pdf);
    EXPECT_EQ(RightToLeftLines(""), rle + pdf);
}

}  // namespace
}  // namespace mappa
