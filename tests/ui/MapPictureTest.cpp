// The map picture as the window opens: land and sea, a marker per office
// drawn as one drawing of it would, and the clean copy under the markers.
#include <gtest/gtest.h>

#include "MapHarness.h"

namespace mappa::uitest {
namespace {

using enum MapControl;

TEST(MapPicture, LandAndSeaAreWhereTheyBelong)
{
    struct Place {
        const char* name;
        double latitude, longitude;
        Rgb colour;
    };
    const Place places[] = {
        {"Sahara", 23, 10, kLand},          {"central Australia", -25, 134, kLand}, {"Siberia", 62, 100, kLand},
        {"Amazon", -5, -60, kLand},         {"Pacific", 0, -150, kSea},             {"mid-Atlantic", 30, -40, kSea},
        {"Indian Ocean", -30, 80, kSea},    {"Antarctica", -85, 0, kLand},
    };
    MapWindow map({Office{.x = 600, .y = 10}});
    ASSERT_EQ(map->parts().view.picture().width(), 640);
    ASSERT_EQ(map->parts().view.picture().height(), 320);
    for (const Place& place : places) {
        SCOPED_TRACE(place.name);
        const int x = 320 + static_cast<int>(place.longitude / 0.5625);
        const int y = 160 - static_cast<int>(place.latitude / 0.5625);
        EXPECT_EQ(map->parts().view.picture().pixel(x, y), place.colour);
    }
}

TEST(MapPicture, EachOfficeTypeHasItsMarker)
{
    struct Case {
        const char* type;
        Rgb fill;
        int size;
    };
    const Case cases[] = {{"Sales", kSalesColour, 8},    {"sAlEs", kSalesColour, 8},     {"SUPPORT", kSupportColour, 10},
                          {"support", kSupportColour, 10}, {"Partner", kOtherColour, 6}, {"", kOtherColour, 6},
                          {"Sales office", kOtherColour, 6}};
    std::vector<Office> offices;
    for (int i = 0; i < int(std::size(cases)); ++i) offices.push_back(Office{.type = cases[i].type, .x = 40 + 80 * i, .y = 160});
    MapWindow map(offices);
    const MapPicture& picture = map->parts().view.picture();
    const Pixels bare = BareMap();
    for (int i = 0; i < int(std::size(cases)); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(std::string("type \"") + c.type + "\"");
        const int x = 40 + 80 * i, y = 160, half = c.size / 2;
        EXPECT_EQ(picture.pixel(x, y), c.fill);
        EXPECT_EQ(picture.pixel(x, y - half), kBlack) << "top of the outline";
        EXPECT_EQ(picture.pixel(x - half, y), kBlack) << "left of the outline";
        EXPECT_EQ(picture.pixel(x, y - half - 1), At(bare, x, y - half - 1)) << "above the marker";
        EXPECT_EQ(picture.pixel(x - half - 1, y), At(bare, x - half - 1, y)) << "left of the marker";
        EXPECT_EQ(picture.pixel(x + half, y), At(bare, x + half, y)) << "right edge is exclusive";
        EXPECT_EQ(picture.pixel(x, y + half), At(bare, x, y + half)) << "bottom edge is exclusive";
    }
}

// The window copies each marker style from one drawing of it; the result must
// be the very pixels of drawing every marker with GDI, at the edges and
// corners, where markers overlap, and in file order.
TEST(MapPicture, MarkersAreThePixelsOfDrawingEachOne)
{
    std::vector<Office> offices;
    const char* types[] = {"Sales", "Support", "Partner"};
    const POINT places[] = {{0, 0},     {639, 0},   {0, 319},   {639, 319}, {1, 160},   {638, 161}, {320, 1},
                            {321, 318}, {100, 100}, {103, 101}, {105, 98},  {250, 200}, {251, 200}, {250, 201}};
    for (std::size_t i = 0; i < std::size(places); ++i)
        for (std::size_t t = 0; t < std::size(types); ++t)
            offices.push_back(Office{.type = types[(i + t) % 3], .x = int(places[i].x) + int(t) * 2 % 3,
                                     .y = int(places[i].y)});
    MapWindow map(offices);

    MapPicture expected;
    expected.loadResource(GetModuleHandleA(nullptr), kWorldMapResource);
    const TMapFunc& table = *map->parts().table;
    for (std::size_t i = 0; i < table.Locations.dataCount(); ++i) {
        const LocationView& office = table.Locations[i];
        const MarkerStyle marker = MarkerFor(KindOfOffice(office.OfficeType));
        HBRUSH brush = CreateSolidBrush(ToColorRef(marker.colour));
        const ScopedSelect select_brush(expected.dc(), brush);
        const ScopedSelect select_pen(expected.dc(), GetStockObject(BLACK_PEN));
        const int half = marker.size / 2;
        Ellipse(expected.dc(), office.MapX - half, office.MapY - half, office.MapX + half, office.MapY + half);
        SelectObject(expected.dc(), GetStockObject(NULL_BRUSH));
        DeleteObject(brush);
    }
    const Pixels drawn = Capture(map->parts().view.picture()), reference = Capture(expected);
    ASSERT_EQ(drawn.size(), reference.size());
    int differing = 0;
    for (std::size_t i = 0; i < drawn.size(); ++i)
        if (!(drawn[i] == reference[i]) && ++differing <= 5)
            ADD_FAILURE() << "pixel (" << i % 640 << ", " << i / 640 << ")";
    EXPECT_EQ(differing, 0);
}

TEST(MapPicture, LaterOfficesCoverEarlierOnes)
{
    MapWindow map({Office{.type = "Support", .x = 200, .y = 100}, Office{.type = "Sales", .x = 200, .y = 100},
                   Office{.type = "Sales", .x = 300, .y = 100}, Office{.type = "Support", .x = 300, .y = 100},
                   Office{.type = "Sales", .x = 0, .y = 0}});
    const MapPicture& picture = map->parts().view.picture();
    EXPECT_EQ(picture.pixel(200, 100), kSalesColour);
    EXPECT_EQ(picture.pixel(300, 100), kSupportColour);
    EXPECT_EQ(picture.pixel(1, 1), kSalesColour) << "an office in the top left corner";
}

TEST(MapPicture, CentreAndEdgesOfTheWorld)
{
    MapWindow map({Office{.latitude = "0 N", .longitude = "0 E"}, Office{.latitude = "0 N", .longitude = "180 E"}});
    EXPECT_EQ(map->parts().table->Locations[0].MapX, 320);
    EXPECT_EQ(map->parts().table->Locations[0].MapY, 160);
    EXPECT_EQ(map->parts().table->Locations[1].MapX, 640);
    EXPECT_EQ(map->parts().view.picture().pixel(320, 160), kSalesColour);
    EXPECT_EQ(map->parts().view.picture().pixel(320, 156), kBlack);
    EXPECT_EQ(map->parts().view.picture().pixel(639, 160), kSalesColour);
}

TEST(MapPicture, CleanCopyKeepsEveryMarker)
{
    MapWindow map({Office{.type = "Sales", .x = 100, .y = 100}, Office{.type = "Support", .x = 400, .y = 200},
                   Office{.country = "", .type = "", .x = 500, .y = 50}});
    const Pixels drawn = Capture(map->parts().view.picture());
    ASSERT_TRUE(map->parts().table->CleanMap);
    EXPECT_EQ(CaptureBitmap(map->parts().table->CleanMap.get(), 640, 320), drawn);
    map->FormMouseMove();
    EXPECT_EQ(Capture(map->parts().view.picture()), drawn);
    EXPECT_EQ(map->parts().view.picture().pixel(500, 50), kOtherColour);
}

}  // namespace
}  // namespace mappa::uitest
