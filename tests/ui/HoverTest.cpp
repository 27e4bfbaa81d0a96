// Moving over the map: the dotted guide line to the nearest office, the hand
// cursor near an office, and the pointer check against the picture's place on screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "MapHarness.h"

namespace mappa::uitest {
namespace {

const std::vector<Office> kTwoOffices = {Office{.name = "West", .type = "Sales", .x = 200, .y = 150},
                                         Office{.name = "East", .type = "Support", .x = 400, .y = 150}};

class Hover : public testing::Test {
protected:
    void SetUp() override
    {
        ParkPointer();
        ASSERT_TRUE(MovePointer(PictureOnScreen(map.ui(), 320, 160))) << "the system does not report the pointer where it was put";
        clean = Capture(map->parts().view.picture());
    }
    void TearDown() override { ParkPointer(); }

    MapWindow map{kTwoOffices};
    Pixels clean;
};

double DistanceToSegment(double px, double py, MapPoint a, MapPoint b)
{
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double t = std::clamp(((px - a.x) * dx + (py - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(px - (a.x + t * dx), py - (a.y + t * dy));
}

// Every changed pixel is a clean pixel inverted by the white pen and lies on the line from `from` to `to`.
void ExpectOnlyLine(const Pixels& now, const Pixels& clean, MapPoint from, MapPoint to)
{
    int changed = 0;
    for (int y = 0; y < 320; ++y)
        for (int x = 0; x < 640; ++x) {
            const Rgb before = At(clean, x, y), after = At(now, x, y);
            if (before == after) continue;
            ++changed;
            const Rgb inverted{std::uint8_t(255 - before.red), std::uint8_t(255 - before.green), std::uint8_t(255 - before.blue)};
            ASSERT_EQ(after, inverted) << "at " << x << "," << y;
            ASSERT_LE(DistanceToSegment(x, y, from, to), 1.0) << "at " << x << "," << y;
        }
    const double length = std::hypot(to.x - from.x, to.y - from.y);
    EXPECT_GE(changed, length / 3) << "a dotted line changes about every other pixel";
    EXPECT_LE(changed, length + 2);
}

TEST_F(Hover, DrawsDottedLineToNearestOfficeAndRedrawsInPlace)
{
    map->Image1MouseMove(250, 200);
    EXPECT_TRUE(map->parts().view.pointer().guide().lineShown);
    EXPECT_EQ(map->parts().view.pointer().guide().hoverLoc, (MapPoint{200, 150}));
    const Pixels first = Capture(map->parts().view.picture());
    ExpectOnlyLine(first, clean, {250, 200}, {200, 150});

    map->Image1MouseMove(250, 200);
    EXPECT_EQ(Capture(map->parts().view.picture()), first) << "the old line is erased before the same one is drawn";

    map->Image1MouseMove(350, 250);
    EXPECT_EQ(map->parts().view.pointer().guide().hoverLoc, (MapPoint{400, 150}));
    const Pixels moved = Capture(map->parts().view.picture());
    ExpectOnlyLine(moved, clean, {350, 250}, {400, 150});
    map->FormMouseMove();
    map->Image1MouseMove(350, 250);
    EXPECT_EQ(Capture(map->parts().view.picture()), moved) << "only the newest line is left";

    map->FormMouseMove();
    EXPECT_FALSE(map->parts().view.pointer().guide().lineShown);
    EXPECT_EQ(Capture(map->parts().view.picture()), clean);
}

TEST_F(Hover, DrawsOnlyWhileThePointerIsStrictlyInsideThePicture)
{
    struct Case {
        int x, y;  // pointer, in picture coordinates as the window reckons them
        bool drawn;
    };
    const Case cases[] = {{0, 100, false},  {1, 100, true},   {639, 100, true}, {640, 100, false}, {100, 0, false},
                          {100, 1, true},   {100, 319, true}, {100, 320, false}, {-100, 100, false}, {100, 400, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "pointer at " << c.x << "," << c.y);
        map->FormMouseMove();
        // The pointer as a mouse message reports it: the live cursor, read back
        // from X, may still trail the last warp by a pixel.
        map->Image1MouseMove(250, 200, PictureOnScreen(map.ui(), c.x, c.y));
        EXPECT_EQ(map->parts().view.pointer().guide().lineShown, c.drawn);
        EXPECT_EQ(Capture(map->parts().view.picture()) != clean, c.drawn);
        EXPECT_EQ(map->parts().view.pointer().guide().curMouse, (MapPoint{250, 200})) << "the click goes where the pointer was reported";
    }
}

TEST_F(Hover, HandCursorWithinFourPixelsOfAnOffice)
{
    const struct {
        int dx, dy;
        bool hand;
    } cases[] = {{0, 0, true}, {4, 4, true}, {-4, -4, true}, {4, -4, true}, {5, 0, false}, {0, 5, false}, {-5, 0, false}, {40, 40, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "offset " << c.dx << "," << c.dy);
        map->Image1MouseMove(200 + c.dx, 150 + c.dy);
        EXPECT_EQ(map->parts().view.pointer().cursor(), LoadCursor(nullptr, c.hand ? IDC_HAND : IDC_ARROW));
    }
}

TEST(NearestOffice, LowerIndexWinsWhenEquallyNear)
{
    MapWindow map({Office{.name = "First", .x = 300, .y = 100}, Office{.name = "Second", .x = 340, .y = 100},
                   Office{.name = "Third", .x = 320, .y = 300}});
    const struct {
        MapPoint point;
        std::size_t nearest;
    } cases[] = {{{320, 100}, 0}, {{321, 100}, 1}, {{319, 100}, 0}, {{320, 290}, 2}, {{0, 0}, 0}, {{639, 0}, 1}};
    for (const auto& c : cases)
        EXPECT_EQ(map->parts().view.picker().nearestLocation(c.point), c.nearest) << "at " << c.point.x << "," << c.point.y;
}

}  // namespace
}  // namespace mappa::uitest
