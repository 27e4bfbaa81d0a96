// The world map picture at every size the window may draw it: the design size
// is the built-in bitmap itself, and at every size land and sea lie where the
// window's projection puts them.
#include <gtest/gtest.h>

#include "MapHarness.h"

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/WinError.h"
#include "ui/MapLayout.h"
#include "ui/WorldMapPicture.h"

namespace mappa::uitest {
namespace {

struct Size {
    int width, height;
};

// The picture at 96, 120, 144 and 192 dpi, then sizes that no display
// scaling gives: odd, out of proportion, and larger than the large map.
const std::vector<Size>& SizesDrawn()
{
    static const std::vector<Size> sizes = [] {
        std::vector<Size> result;
        for (int dpi : {96, 120, 144, 192}) result.push_back({MulDiv(640, dpi, 96), MulDiv(320, dpi, 96)});
        for (Size odd : {Size{641, 321}, Size{1000, 333}, Size{1600, 800}}) result.push_back(odd);
        return result;
    }();
    return sizes;
}

std::string Describe(Size size) { return std::to_string(size.width) + " x " + std::to_string(size.height); }

bool IsWater(Rgb colour) { return colour.blue > colour.red && colour.blue > colour.green; }

// Where the window puts a place with this latitude and longitude (negative:
// south, west) on a picture of that size.
MapPoint Project(double latitude, double longitude, Size size)
{
    TLocation place;
    place.Latitude = std::abs(latitude);
    place.LatHemisphere = latitude < 0 ? 'S' : 'N';
    place.Longitude = std::abs(longitude);
    place.LongHemisphere = longitude < 0 ? 'W' : 'E';
    return TMapFunc::projectLocation(place, size.width, size.height);
}

TEST(WorldMapPicture, AtTheDesignSizeIsTheBuiltInBitmapPixelForPixel)
{
    MapPicture design, made;
    design.loadResource(GetModuleHandleA(nullptr), kWorldMapResource);
    made.loadWorldMap(GetModuleHandleA(nullptr), 640, 320);
    ASSERT_EQ(made.width(), 640);
    ASSERT_EQ(made.height(), 320);
    EXPECT_TRUE(Capture(made) == Capture(design));
}

// At 192 dpi the picture is the large map as it is: three colours, no blend,
// and finer than the design picture doubled.
TEST(WorldMapPicture, AtTwiceTheDesignSizeIsTheLargeMapUnblended)
{
    MapPicture large;
    large.loadWorldMap(GetModuleHandleA(nullptr), 1280, 640);
    const Pixels design = BareMap();
    const Rgb kCoast{134, 144, 108};
    int blended = 0, finer = 0;
    for (int y = 0; y < 640; ++y)
        for (int x = 0; x < 1280; ++x) {
            const Rgb colour = large.pixel(x, y);
            blended += colour != kSea && colour != kLand && colour != kCoast;
            finer += IsWater(colour) != IsWater(At(design, x / 2, y / 2));
        }
    EXPECT_EQ(blended, 0);
    EXPECT_GT(finer, 1000);
}

TEST(WorldMapPicture, LandAndSeaLieWhereTheProjectionPutsThemAtEverySize)
{
    struct Place {
        const char* name;
        double latitude, longitude;
        bool land;
    };
    // Each lies far enough from a coast to be clear at every size, the last
    // three in a row across the Bering Strait.
    const Place places[] = {
        {"Sahara", 23, 10, true},           {"central Australia", -25, 134, true},
        {"Siberia", 62, 100, true},         {"Amazon", -5, -60, true},
        {"Greenland", 72, -40, true},       {"Antarctica", -85, 0, true},
        {"Great Plains", 40, -100, true},   {"Mongolia", 46, 103, true},
        {"Pacific", 0, -150, false},        {"mid-Atlantic", 30, -40, false},
        {"Indian Ocean", -30, 80, false},   {"Southern Ocean", -60, -100, false},
        {"Arctic Ocean", 87, 0, false},     {"Hudson Bay", 60, -86, false},
        {"Caspian Sea", 42, 50.5, false},   {"Chukotka west of 180", 67.5, 179.5, true},
        {"Chukotka east of 180", 67.5, -179.5, true}, {"Pacific west of 180", 5, 179.5, false},
        {"Pacific east of 180", 5, -179.5, false},    {"Chukotka by the Bering Strait", 65.8, -173.5, true},
        {"Bering Strait", 65.5, -169, false},         {"Seward Peninsula", 65.3, -165.5, true},
    };
    for (const Size size : SizesDrawn()) {
        SCOPED_TRACE(Describe(size));
        MapPicture picture;
        picture.loadWorldMap(GetModuleHandleA(nullptr), size.width, size.height);
        ASSERT_EQ(picture.width(), size.width);
        ASSERT_EQ(picture.height(), size.height);
        for (const Place& place : places) {
            const MapPoint at = Project(place.latitude, place.longitude, size);
            EXPECT_EQ(!IsWater(picture.pixel(at.x, at.y)), place.land) << place.name << " at " << at.x << "," << at.y;
        }
    }
}

// Walking along a meridian or a parallel, land and sea change where the
// coastline data has the coasts, give or take two pixels: the projection
// rounds toward the centre of the map, a pixel's colour is that of most of
// its area, and coasts run at a slant to the walk.
TEST(WorldMapPicture, CoastsAreCrossedWhereTheCoastlineDataHasThemAtEverySize)
{
    struct Walk {
        const char* name;
        bool alongMeridian;     // else along a parallel
        double line;            // the meridian's longitude or the parallel's latitude
        double from, to;        // the other coordinate at both ends
        bool startsOnLand;
        std::vector<double> coasts;  // in walking order
    };
    const Walk walks[] = {
        {"Strait of Gibraltar, Spain to Morocco", true, -5.0, 38.3, 34.0, true, {36.44, 35.40}},
        {"English Channel, Sussex to Normandy", true, -0.7, 52.3, 47.8, true, {50.74, 49.35}},
        {"Suez, the Mediterranean onto the land bridge", true, 32.2, 32.5, 29.8, false, {31.13}},
        {"Red Sea, Sudan to Arabia", false, 20.0, 34.0, 44.0, true, {37.18, 40.49}},
        {"Caspian Sea, Azerbaijan to Turkmenistan", false, 40.5, 44.0, 56.0, true, {50.18, 52.79}},
    };
    for (const Size size : SizesDrawn()) {
        SCOPED_TRACE(Describe(size));
        MapPicture picture;
        picture.loadWorldMap(GetModuleHandleA(nullptr), size.width, size.height);
        for (const Walk& walk : walks) {
            SCOPED_TRACE(walk.name);
            const auto project = [&](double along) {
                return walk.alongMeridian ? Project(along, walk.line, size) : Project(walk.line, along, size);
            };
            const auto coordinate = [&](MapPoint p) { return walk.alongMeridian ? p.y : p.x; };
            const MapPoint start = project(walk.from), end = project(walk.to);
            const int step = coordinate(end) > coordinate(start) ? 1 : -1;
            std::vector<int> changes;
            bool land = !IsWater(picture.pixel(start.x, start.y));
            EXPECT_EQ(land, walk.startsOnLand);
            for (int i = coordinate(start) + step; i != coordinate(end) + step; i += step) {
                const Rgb colour = walk.alongMeridian ? picture.pixel(start.x, i) : picture.pixel(i, start.y);
                if (!IsWater(colour) != land) {
                    land = !land;
                    changes.push_back(i);
                }
            }
            ASSERT_EQ(changes.size(), walk.coasts.size());
            for (std::size_t c = 0; c < changes.size(); ++c)
                EXPECT_NEAR(changes[c], coordinate(project(walk.coasts[c])), 2) << "coast at " << walk.coasts[c];
        }
    }
}

TEST(WorldMapPicture, AnyPositiveSizeIsMadeAndOtherSizesAreRefused)
{
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    for (const Size size : {Size{1, 1}, Size{7, 3}, Size{3, 700}, Size{2000, 1}}) {
        SCOPED_TRACE(Describe(size));
        MapPicture picture;
        picture.loadWorldMap(instance, size.width, size.height);
        EXPECT_EQ(picture.width(), size.width);
        EXPECT_EQ(picture.height(), size.height);
    }
    // One pixel is the whole world's mean: mostly sea, so bluish, but not the sea colour.
    MapPicture world;
    world.loadWorldMap(instance, 1, 1);
    EXPECT_TRUE(IsWater(world.pixel(0, 0)));
    EXPECT_NE(world.pixel(0, 0), kSea);

    MapPicture picture;
    picture.loadWorldMap(instance, 800, 400);
    EXPECT_THROW(picture.loadWorldMap(instance, 0, 400), std::invalid_argument);
    EXPECT_THROW(picture.loadWorldMap(instance, 800, -1), std::invalid_argument);
    EXPECT_THROW(picture.loadWorldMap(instance, 100000, 100000), WindowsError);
    EXPECT_EQ(picture.width(), 800) << "a refused size leaves the picture as it was";
    EXPECT_EQ(picture.height(), 400);
    EXPECT_TRUE(IsWater(picture.pixel(400, 50))) << "the Norwegian Sea, still there";
}

}  // namespace
}  // namespace mappa::uitest
