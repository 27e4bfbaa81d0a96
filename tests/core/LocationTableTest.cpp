#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>

#include "SampleOffices.h"
#include "mapdata/LocationTable.h"

namespace mappa {

static void PrintTo(const TLocation& l, std::ostream* os)
{
    *os << "{" << l.Name << " | " << l.Country << " | " << l.Latitude << ' ' << int(l.LatHemisphere) << " | "
        << l.Longitude << ' ' << int(l.LongHemisphere) << " | " << l.MapX << ',' << l.MapY << "}";
}

namespace {

using test::Office;

TEST(LocationSlots, ResetAppendAndCounts)
{
    LocationSlots slots;
    EXPECT_EQ(slots.size(), 0u);
    slots.reset(3);
    EXPECT_EQ(slots.size(), 3u);
    EXPECT_EQ(slots.dataCount(), 0u);
    EXPECT_EQ(slots.storedCount(), 0u);
    EXPECT_EQ(slots[2], TLocation{});

    EXPECT_TRUE(slots.append(Office("A", "X")));
    EXPECT_TRUE(slots.append(Office("", "Y")));
    EXPECT_TRUE(slots.append(Office("B", "Z")));
    EXPECT_FALSE(slots.append(Office("C", "W")));
    EXPECT_EQ(slots.size(), 3u);
    EXPECT_EQ(slots.storedCount(), 3u);
    EXPECT_EQ(slots.dataCount(), 1u);  // stops at the record without a name
    EXPECT_EQ(slots[2].Name, "B");

    slots.reset(2);
    EXPECT_EQ(slots.size(), 2u);
    EXPECT_EQ(slots.storedCount(), 0u);
    EXPECT_EQ(slots[0], TLocation{});
}

TEST(LocationSlots, RecordsKeepTheirTextAndPlaceAsTheTableGrows)
{
    LocationSlots slots;
    slots.reset(5000);
    const LocationView* first = nullptr;
    for (int i = 0; i < 5000; ++i) {
        TLocation office = Office("Office " + std::to_string(i) + " with a name too long for a short string", "X");
        office.Email = std::to_string(i);
        ASSERT_TRUE(slots.append(office));
        if (i == 0) first = &slots[0];
    }  // each appended TLocation is gone by now
    EXPECT_EQ(&slots[0], first);
    for (std::size_t i = 0; i < slots.size(); ++i) {
        ASSERT_EQ(slots[i].Email, std::to_string(i));
        ASSERT_EQ(slots[i].Name, "Office " + std::to_string(i) + " with a name too long for a short string");
    }
}

struct ProjectionCase {
    double latitude; char lat_hemisphere; double longitude; char long_hemisphere;
    std::int32_t width, height; MapPoint expected;
};

TEST(ProjectLocation, PlacesCoordinatesOnThePicture)
{
    const ProjectionCase cases[] = {
        {0, 'N', 0, 'E', 640, 320, {320, 160}},
        {51.5, 'N', 0.1, 'W', 640, 320, {320, 69}},
        {51.5, 'n', 0.1, 'w', 640, 320, {320, 69}},
        {33.9, 'S', 151.2, 'E', 640, 320, {588, 220}},
        {33.9, 's', 151.2, 'e', 640, 320, {588, 220}},
        {40, 'N', 74, 'W', 640, 320, {189, 89}},
        {0, 'N', 180, 'E', 640, 320, {640, 160}},
        {0, 'N', 180, 'W', 640, 320, {0, 160}},
        {90, 'S', 0, 'E', 640, 320, {320, 320}},
        {90, 'N', 0, 'E', 640, 320, {320, 0}},
        {0, 'N', 0.5, 'W', 640, 320, {320, 160}},
        {0, 'N', 0.5, 'E', 640, 320, {320, 160}},
        {0, 'N', 0.9, 'W', 640, 320, {319, 160}},
        {0, 'N', -0.9, 'W', 640, 320, {321, 160}},  // truncated toward zero
        {-10, 'N', 0, 'E', 640, 320, {320, 177}},
        {10, 'S', 0, 'E', 640, 320, {320, 177}},
        {-33.9, 'S', 0, 'E', 640, 320, {320, 100}},
        {0, 'N', 0, 'E', 641, 321, {320, 160}},
        {45.7, 'N', 90.3, 'E', 720, 360, {540, 89}},
        // Letters that form no pair count as N and E.
        {10, '\0', 10, '\0', 640, 320, {337, 143}},
        {10, 'x', 10, 'x', 640, 320, {337, 143}},
        {10, 'S', 10, '\0', 640, 320, {337, 143}},
        {10, '\0', 10, 'W', 640, 320, {337, 143}},
        {10, 'E', 10, 'N', 640, 320, {337, 143}},
        {10, 'S', 10, 'S', 640, 320, {337, 143}},
        {-10, '\0', -10, '\0', 640, 320, {303, 177}},
    };
    for (const auto& c : cases) {
        const auto office = Office("O", "C", c.latitude, c.lat_hemisphere, c.longitude, c.long_hemisphere);
        EXPECT_EQ(LocationTable::projectLocation(office, c.width, c.height), c.expected)
            << c.latitude << int(c.lat_hemisphere) << ' ' << c.longitude << int(c.long_hemisphere) << " at "
            << c.width << 'x' << c.height;
    }
}

TEST(ProjectLocation, PositionsAtTheEdgeOfInt32)
{
    // At width 2 each pixel is 180 degrees and the centre is 1.
    constexpr double max = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(LocationTable::projectLocation(Office("O", "C", 0, 'N', (max - 1) * 180, 'E'), 2, 2).x, INT32_MAX);
    EXPECT_THROW(LocationTable::projectLocation(Office("O", "C", 0, 'N', max * 180, 'E'), 2, 2), std::exception);
    EXPECT_EQ(LocationTable::projectLocation(Office("O", "C", 0, 'N', (max + 2) * 180, 'W'), 2, 2).x, INT32_MIN);
    EXPECT_THROW(LocationTable::projectLocation(Office("O", "C", 0, 'N', (max + 3) * 180, 'W'), 2, 2),
                 std::exception);
    EXPECT_EQ(LocationTable::projectLocation(Office("O", "C", (max - 1) * 90, 'S', 0, 'E'), 2, 2).y, INT32_MAX);
    EXPECT_THROW(LocationTable::projectLocation(Office("O", "C", max * 90, 'S', 0, 'E'), 2, 2), std::exception);
}

TEST(ProjectLocation, OffsetsThatFitNoIntegerThrow)
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (double huge : {1e10, -1e10, 1e300, -1e300, 1e19, inf, -inf, nan}) {
        for (char lat : {'N', 'S', '\0'}) {
            EXPECT_THROW(LocationTable::projectLocation(Office("O", "C", huge, lat, 0, 'E'), 640, 320),
                         std::exception) << huge << ' ' << int(lat);
        }
        for (char lon : {'E', 'W'}) {
            EXPECT_THROW(LocationTable::projectLocation(Office("O", "C", 0, 'N', huge, lon), 640, 320),
                         std::exception) << huge << ' ' << lon;
        }
    }
}

// Three offices in five slots: France, Germany, France.
class LocationTableTest : public testing::Test {
protected:
    void SetUp() override
    {
        table.Locations.reset(5);
        table.Locations.append(Office("Paris", "France", 48.86, 'N', 2.35, 'E'));
        table.Locations.append(Office("Berlin", "Germany", 52.52, 'N', 13.4, 'E'));
        table.Locations.append(Office("Lyon", "France", 45.76, 'N', 4.84, 'E'));
    }
    LocationTable table;
};

TEST_F(LocationTableTest, ComputePositionsCoversEverySlot)
{
    table.computePositions(640, 320);
    for (std::int32_t i = 0; i < 5; ++i) {
        const auto slot = table.getLocation(i);
        EXPECT_EQ((MapPoint{slot.MapX, slot.MapY}), LocationTable::projectLocation(slot, 640, 320)) << i;
    }
    EXPECT_EQ(table.getLocation(0).MapX, 324);
    EXPECT_EQ(table.getLocation(0).MapY, 74);
    EXPECT_EQ(table.getLocation(4).MapX, 320);  // empty slot: 0 with no letters, the centre
    EXPECT_EQ(table.getLocation(4).MapY, 160);

    LocationTable empty;
    EXPECT_NO_THROW(empty.computePositions(640, 320));
    EXPECT_EQ(empty.Locations.size(), 0u);
    EXPECT_EQ(empty.getLocation(0), TLocation{});
}

TEST_F(LocationTableTest, GetLocationCopiesOneSlot)
{
    table.computePositions(640, 320);
    auto copy = table.getLocation(1);
    EXPECT_EQ(copy.Name, "Berlin");
    copy.Name = "Changed";
    copy.MapX = 1;
    EXPECT_EQ(table.getLocation(1).Name, "Berlin");
    EXPECT_EQ(table.Locations[1].MapX, 343);

    EXPECT_EQ(table.getLocation(3).Name, "");
    for (std::int32_t index : {-1, 5, 6, INT32_MAX, INT32_MIN}) EXPECT_EQ(table.getLocation(index), TLocation{}) << index;
}

TEST_F(LocationTableTest, FindByCountryTakesTheLastExactMatch)
{
    const TLocation sentinel = Office("Sentinel", "Nowhere", 1, 'S', 2, 'W');
    struct Case { const char* country; const char* found; };
    const Case cases[] = {
        {"France", "Lyon"}, {"Germany", "Berlin"}, {"", ""},
        {"france", "Sentinel"}, {"France ", "Sentinel"}, {"Franc", "Sentinel"}, {"FRANCE", "Sentinel"},
        {"Spain", "Sentinel"}, {"Germany\n", "Sentinel"},
    };
    for (const auto& c : cases) {
        TLocation record = sentinel;
        table.findByCountry(c.country, record);
        EXPECT_EQ(record.Name, c.found) << '"' << c.country << '"';
    }
    TLocation record = sentinel;
    EXPECT_EQ(table.findByCountry("France", record), 2u);
    EXPECT_EQ(record, table.getLocation(2));
    EXPECT_EQ(table.findByCountry("", record), 4u);
    EXPECT_EQ(record, table.getLocation(4));
    EXPECT_EQ(table.findByCountry("Spain", record), std::nullopt);
}

TEST(FindByCountry, EmptyCountryInAFullTable)
{
    LocationTable table;
    table.Locations.reset(2);
    table.Locations.append(Office("A", "France"));
    table.Locations.append(Office("B", "Spain"));
    TLocation record = Office("Sentinel", "X");
    table.findByCountry("", record);
    EXPECT_EQ(record.Name, "Sentinel");

    table.Locations.reset(2);
    table.Locations.append(Office("A", ""));
    table.Locations.append(Office("B", "Spain"));
    table.findByCountry("", record);
    EXPECT_EQ(record.Name, "A");
}

}  // namespace
}  // namespace mappa
