#include <gtest/gtest.h>

#include <random>

#include "ui/MapLogic.h"
#include "ui/MapViewport.h"
#include "ui/OfficeFilter.h"

namespace mappa {
namespace {

// The world pixel at the finest scale that a picture pixel's left/top edge shows.
MapPoint FinestUnder(const MapViewport& view, MapPoint picture)
{
    const MapPoint world = view.toWorld(picture);
    const int factor = MapViewport::kMaxScale / view.scale();
    return {world.x * factor, world.y * factor};
}

TEST(MapViewport, ZoomKeepsTheWorldUnderThePointerAndStopsAtTheEnds)
{
    MapViewport view(640, 320);
    const MapPoint pointer{400, 100};
    const MapPoint under = FinestUnder(view, pointer);
    for (int scale = 2; scale <= 256; scale *= 2) {
        ASSERT_TRUE(view.zoom(1, pointer));
        EXPECT_EQ(view.scale(), scale);
        EXPECT_EQ(FinestUnder(view, pointer), under) << "scale " << scale;
    }
    EXPECT_FALSE(view.zoom(1, pointer)) << "256 is the largest scale";
    EXPECT_EQ(view.scale(), 256);

    // Back out: the pointer's world pixel stays within the pixel it now covers.
    for (int scale = 128; scale >= 1; scale /= 2) {
        ASSERT_TRUE(view.zoom(-1, pointer));
        const MapPoint now = FinestUnder(view, pointer);
        const int pixel = MapViewport::kMaxScale / scale;
        EXPECT_LE(now.x, under.x);
        EXPECT_GT(now.x + pixel, under.x);
        EXPECT_LE(now.y, under.y);
        EXPECT_GT(now.y + pixel, under.y);
    }
    EXPECT_FALSE(view.zoom(-3, pointer));
    EXPECT_TRUE(view.wholeWorld());
    EXPECT_EQ(view.origin(), (MapPoint{0, 0}));

    // Several steps at once, and more than there are.
    EXPECT_TRUE(view.zoom(20, pointer));
    EXPECT_EQ(view.scale(), 256);
}

TEST(MapViewport, TheViewNeverLeavesTheWorld)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> step(-3, 3), at(0, 639), pan(-5000, 5000);
    MapViewport view(640, 320);
    for (int i = 0; i < 5000; ++i) {
        if (random() % 2) view.zoom(step(random), {at(random), at(random) / 2});
        else view.pan(pan(random), pan(random));
        ASSERT_GE(view.origin().x, 0);
        ASSERT_GE(view.origin().y, 0);
        ASSERT_LE(view.origin().x + view.width(), view.worldWidth());
        ASSERT_LE(view.origin().y + view.height(), view.worldHeight());
    }

    MapViewport whole(640, 320);
    EXPECT_FALSE(whole.pan(100, -40)) << "at scale 1 there is nothing to pan";
    whole.zoom(1, {0, 0});
    EXPECT_EQ(whole.origin(), (MapPoint{0, 0})) << "zooming at the corner keeps the corner";
    EXPECT_TRUE(whole.pan(-10, 10000));
    EXPECT_EQ(whole.origin(), (MapPoint{0, 320})) << "no wrap across the date line, no pole to pole";
}

TEST(MapViewport, BringingAPlaceIntoViewMovesOnlyWhenItIsOut)
{
    MapViewport view(640, 320);
    view.zoom(2, {320, 160});  // scale 4: the world is 2560 x 1280, the view at its centre
    const MapPoint origin = view.origin();
    EXPECT_FALSE(view.bringIntoView({origin.x + 10, origin.y + 10}));
    EXPECT_TRUE(view.bringIntoView({origin.x + 10, origin.y + 10}, 20)) << "too near the edge for the margin";

    EXPECT_TRUE(view.bringIntoView({100, 1200}));
    EXPECT_TRUE(view.shows({100, 1200}));
    EXPECT_EQ(view.origin(), (MapPoint{0, 960})) << "centred as far as the world's corner allows";

    EXPECT_TRUE(view.bringIntoView({1500, 700}));
    EXPECT_EQ(view.toPicture({1500, 700}), (MapPoint{320, 160}));
}

TEST(MapViewport, PlacesAndCentre)
{
    LocationView vienna;
    vienna.Latitude = 48.2;
    vienna.LatHemisphere = 'N';
    vienna.Longitude = 16.4;
    vienna.LongHemisphere = 'E';
    EXPECT_EQ(ZoomedPlace(vienna, 640, 320, 1), LocationTable::projectLocation(vienna, 640, 320));
    const MapPoint at4 = ZoomedPlace(vienna, 640, 320, 4);
    const MapPoint at1 = ZoomedPlace(vienna, 640, 320, 1);
    EXPECT_LE(std::abs(at4.x - 4 * at1.x), 4);
    EXPECT_LE(std::abs(at4.y - 4 * at1.y), 4);

    MapViewport view(640, 320);
    EXPECT_DOUBLE_EQ(view.centreLatitude(), 0.0);
    EXPECT_DOUBLE_EQ(view.centreLongitude(), 0.0);
    view.zoom(2, {0, 0});
    view.bringIntoView(at4);
    EXPECT_NEAR(view.centreLatitude(), 48.2, 0.2);
    EXPECT_NEAR(view.centreLongitude(), 16.4, 0.2);
}

TEST(MapViewport, DescriptionNamesTheScaleAndTheCentre)
{
    MapViewport view(640, 320);
    EXPECT_EQ(DescribeView(view), "Scale 1, centred on 0.0 N 0.0 E");
    view.zoom(2, {0, 0});
    view.pan(1396 - 320, 1000 - 160);  // centred on 1396, 1000 of 2560 x 1280
    EXPECT_EQ(DescribeView(view), "Scale 4, centred on 50.6 S 16.3 E");
}

TEST(MapViewport, SamplingTheWorldAtScaleOneAndTwo)
{
    // A 4 x 2 world of distinct pixels, viewed on a 4 x 2 picture.
    const std::uint32_t world[8] = {0, 1, 2, 3, 4, 5, 6, 7};
    MapViewport view(4, 2);
    std::uint32_t pixels[8]{};
    SampleWorld(world, 4, 2, view, pixels);
    EXPECT_EQ(std::vector<std::uint32_t>(pixels, pixels + 8), std::vector<std::uint32_t>(world, world + 8));
    view.zoom(1, {3, 1});  // pixel 3 of the world stays under picture pixel 3: zoomed columns 3 to 6
    SampleWorld(world, 4, 2, view, pixels);
    EXPECT_EQ(std::vector<std::uint32_t>(pixels, pixels + 8), (std::vector<std::uint32_t>{1, 2, 2, 3, 5, 6, 6, 7}));
}

TEST(OfficeFilter, KeptAsTextAndReadBackOnlyWhenItIsOurs)
{
    OfficeFilter filter;
    EXPECT_TRUE(filter.showsAll());
    EXPECT_EQ(filter.text(), "Sales,Support,Other");
    filter.show(OfficeKind::Support, false);
    EXPECT_EQ(filter.text(), "Sales,Other");
    EXPECT_EQ(OfficeFilter::FromText("Sales,Other"), filter);
    filter.show(OfficeKind::Sales, false);
    filter.show(OfficeKind::Other, false);
    EXPECT_EQ(OfficeFilter::FromText(""), filter) << "nothing shown is a choice too";
    for (const char* foreign : {"sales", "Sales,", "Sales,,Other", "All", " Sales"})
        EXPECT_FALSE(OfficeFilter::FromText(foreign)) << foreign;
}

TEST(NearestPlace, StraightLineDistanceEarlierWinsTiesAndFarPlacesCount)
{
    const std::vector<MapPoint> places{{100000, 0}, {-5, 0}, {5, 0}, {0, 4}};
    EXPECT_EQ(NearestPlace(places, {0, 0}), 3u);
    EXPECT_EQ(NearestPlace(places, {0, -4}), 1u) << "1 and 2 are as near; the earlier wins";
    EXPECT_EQ(NearestPlace(places, {90000, 7}), 0u) << "no limit on the distance";
    EXPECT_FALSE(NearestPlace({}, {0, 0}));
}

}  // namespace
}  // namespace mappa
