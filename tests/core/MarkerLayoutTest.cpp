// The markers' places, the pointer and the filter, on a table made here.
#include <gtest/gtest.h>

#include <vector>

#include "SampleOffices.h"
#include "mapdata/LocationTable.h"
#include "mapdata/OfficeKind.h"
#include "ui/MarkerLayout.h"

namespace mappa {
namespace {

constexpr int kWidth = 640, kHeight = 320;

// Two offices a few kilometres apart near Paris (sales and support) and one
// far off in the Atlantic (sales).
class MarkerLayoutTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        table.Locations.reset(4);
        add("Paris", 48.85, 'N', 2.35, 'E', "Sales");
        add("Paris support", 48.80, 'N', 2.40, 'E', "Support");
        add("Atlantic", 10.0, 'S', 30.0, 'W', "Sales");
        table.computePositions(kWidth, kHeight);
        layout.viewport() = MapViewport(kWidth, kHeight);
        layout.setOffices(&table.Locations);
    }
    void add(const char* name, double lat, char ns, double lon, char ew, const char* type)
    {
        TLocation office = test::Office(name, "", lat, ns, lon, ew);
        office.OfficeType = type;
        table.Locations.append(office);
    }
    MapPoint place(std::size_t office) const { return layout.placeOf(table.Locations[office]); }

    LocationTable table;
    MapScale scale;
    MarkerLayout layout{scale};
};

TEST_F(MarkerLayoutTest, HiddenOfficesCannotBePointedAtOrReached)
{
    const MapPoint paris = place(0);
    EXPECT_EQ(layout.finder().nearestShown(paris), 0u);
    EXPECT_EQ(layout.finder().officesUnder(paris).size(), 2u) << "both Paris offices lie under the hand";

    OfficeFilter noSales;
    noSales.show(OfficeKind::Sales, false);
    ASSERT_TRUE(layout.setFilter(noSales));
    EXPECT_FALSE(layout.setFilter(noSales)) << "the same filter again changes nothing";
    EXPECT_EQ(layout.finder().nearestShown(paris), 1u);
    EXPECT_EQ(layout.finder().officesUnder(paris), std::vector<std::size_t>{1});
    EXPECT_EQ(layout.finder().officeInDirection(1, MapDirection::Down), std::nullopt) << "the Atlantic office is hidden";

    OfficeFilter none = noSales;
    none.show(OfficeKind::Support, false);
    none.show(OfficeKind::Other, false);
    layout.setFilter(none);
    EXPECT_EQ(layout.finder().nearestShown(paris), std::nullopt);
    EXPECT_FALSE(layout.finder().pointedAt(paris));
    EXPECT_TRUE(layout.finder().officesUnder(paris).empty());
}

TEST_F(MarkerLayoutTest, ZoomedInOfficesCloseTogetherAreOneGroupThatTheHandReaches)
{
    ASSERT_TRUE(layout.viewport().zoom(1, place(0)));
    layout.place();
    EXPECT_EQ(layout.level(), 1);
    const auto pointed = layout.finder().pointedAt(place(0));
    ASSERT_TRUE(pointed && pointed->marker && pointed->marker->isGroup());
    EXPECT_EQ(pointed->marker->count, 2u);
    EXPECT_GE(pointed->key, layout.officeCount()) << "a group's key lies past every office's";
    EXPECT_EQ(layout.finder().reachOf(*pointed), GroupDiscSize(scale, 2) / 2);
    EXPECT_EQ(layout.finder().officesUnder(pointed->at), (std::vector<std::size_t>{0, 1}));

    // At the finest scale the two part, and the pointer finds each by itself.
    ASSERT_TRUE(layout.viewport().zoom(8, place(1)));
    layout.place();
    const auto support = layout.finder().pointedAt(place(1));
    ASSERT_TRUE(support && support->marker && !support->marker->isGroup());
    EXPECT_EQ(support->key, 1u);
    EXPECT_EQ(layout.finder().reachOf(*support), scale.handReach());
}

// The grouping waits for a view that needs it: it holds the offices that the
// filter shows then, and a filter changed in a zoomed view groups them again.
TEST_F(MarkerLayoutTest, GroupsHoldTheOfficesOfTheFilterInForceWhenTheyAreShown)
{
    OfficeFilter noSupport;
    noSupport.show(OfficeKind::Support, false);
    layout.setFilter(noSupport);
    ASSERT_TRUE(layout.viewport().zoom(1, place(0)));
    layout.place();
    const auto alone = layout.finder().pointedAt(place(0));
    ASSERT_TRUE(alone && alone->marker);
    EXPECT_FALSE(alone->marker->isGroup()) << "the hidden support office was grouped with Paris";

    layout.setFilter({});
    const auto both = layout.finder().pointedAt(place(0));
    ASSERT_TRUE(both && both->marker && both->marker->isGroup());
    EXPECT_EQ(both->marker->count, 2u);
}

}  // namespace
}  // namespace mappa
