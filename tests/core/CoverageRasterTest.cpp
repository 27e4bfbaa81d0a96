#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "ui/CoverageRaster.h"

namespace mappa {
namespace {

struct Point {
    float x, y;
};

// Adds a closed outline, edge by edge.
void Outline(AreaCoverage& area, const std::vector<Point>& points)
{
    for (std::size_t i = 0; i < points.size(); ++i) {
        const Point a = points[i], b = points[(i + 1) % points.size()];
        area.addEdge(a.x, a.y, b.x, b.y);
    }
}

// Clockwise on the screen (y down), as land runs.
std::vector<Point> Box(float left, float top, float right, float bottom)
{
    return {{left, top}, {right, top}, {right, bottom}, {left, bottom}};
}

std::vector<Point> Reversed(std::vector<Point> points) { return {points.rbegin(), points.rend()}; }

std::vector<std::vector<float>> Resolve(const AreaCoverage& area)
{
    std::vector<std::vector<float>> rows(static_cast<std::size_t>(area.height()),
                                         std::vector<float>(static_cast<std::size_t>(area.width())));
    for (std::int32_t y = 0; y < area.height(); ++y) area.resolveRow(y, rows[static_cast<std::size_t>(y)].data());
    return rows;
}

double Sum(const std::vector<std::vector<float>>& rows)
{
    double sum = 0;
    for (const auto& row : rows)
        for (const float v : row) sum += v;
    return sum;
}

TEST(AreaCoverage, EachPixelGetsTheShareOfItInside)
{
    AreaCoverage area;
    area.reset(5, 4);
    Outline(area, Box(1.25f, 0.5f, 3.5f, 2.0f));
    const auto rows = Resolve(area);
    const std::vector<float> top = {0, 0.375f, 0.5f, 0.25f, 0};  // half of each pixel's height
    const std::vector<float> middle = {0, 0.75f, 1, 0.5f, 0};
    for (std::size_t x = 0; x < 5; ++x) {
        EXPECT_NEAR(rows[0][x], top[x], 1e-6) << x;
        EXPECT_NEAR(rows[1][x], middle[x], 1e-6) << x;
        EXPECT_EQ(rows[2][x], 0.0f) << x;
    }

    // A slanted edge: the triangle below the diagonal of a 4 x 4 square.
    area.reset(4, 4);
    Outline(area, {{0, 0}, {4, 4}, {0, 4}});
    const auto triangle = Resolve(area);
    for (std::size_t y = 0; y < 4; ++y)
        for (std::size_t x = 0; x < 4; ++x)
            EXPECT_NEAR(triangle[y][x], x < y ? 1.0 : x == y ? 0.5 : 0.0, 1e-6) << x << "," << y;

    // Shallow edges cross many pixels in a row; the shares still add up to the area.
    area.reset(40, 6);
    Outline(area, {{0.3f, 1.2f}, {37.9f, 2.7f}, {31.4f, 5.1f}, {2.2f, 4.4f}});
    const double expected = 0.5 * ((0.3 * 2.7 - 37.9 * 1.2) + (37.9 * 5.1 - 31.4 * 2.7) + (31.4 * 4.4 - 2.2 * 5.1) +
                                   (2.2 * 1.2 - 0.3 * 4.4));
    EXPECT_NEAR(Sum(Resolve(area)), expected, 1e-3);
}

// Clockwise is inside; an outline the other way round takes away, so a lake
// in land is water, an island in the lake land again, and a lake whose land
// was left out stays water.
TEST(AreaCoverage, OutlinesAddUpByTheirTurning)
{
    AreaCoverage area;
    area.reset(10, 1);
    Outline(area, Box(0, 0, 8, 1));
    Outline(area, Reversed(Box(2, 0, 6, 1)));  // a lake
    Outline(area, Box(3, 0, 4, 1));            // an island in it
    Outline(area, Box(7, 0, 8, 1));            // land twice over is land
    Outline(area, Reversed(Box(9, 0, 10, 1)));  // a lake without its land
    const std::vector<float> expected = {1, 1, 0, 1, 0, 0, 1, 1, 0, 0};
    EXPECT_EQ(Resolve(area)[0], expected);

    // Only the turning counts, not where an outline starts or in which order edges come.
    AreaCoverage shuffled;
    shuffled.reset(5, 4);
    shuffled.addEdge(3.5f, 2.0f, 1.25f, 2.0f);
    shuffled.addEdge(1.25f, 0.5f, 3.5f, 0.5f);
    shuffled.addEdge(1.25f, 2.0f, 1.25f, 0.5f);
    shuffled.addEdge(3.5f, 0.5f, 3.5f, 2.0f);
    area.reset(5, 4);
    Outline(area, Box(1.25f, 0.5f, 3.5f, 2.0f));
    EXPECT_EQ(Resolve(shuffled), Resolve(area));
}

// Land reaching past the picture's edges covers what it covers inside and
// nothing else; an outline wholly left of the picture changes nothing.
TEST(AreaCoverage, OutlinesPastThePictureCountOnlyInside)
{
    AreaCoverage area;
    area.reset(6, 4);
    Outline(area, {{-50, -3}, {2.5f, -3}, {2.5f, 1}, {30, 1}, {30, 2.5f}, {-50, 2.5f}});
    const auto rows = Resolve(area);
    EXPECT_EQ(rows[0], (std::vector<float>{1, 1, 0.5f, 0, 0, 0}));
    EXPECT_EQ(rows[1], (std::vector<float>(6, 1.0f)));
    EXPECT_EQ(rows[2], (std::vector<float>(6, 0.5f)));
    EXPECT_EQ(rows[3], (std::vector<float>(6, 0.0f)));

    area.reset(6, 4);
    Outline(area, {{-90, -40}, {-3, 20}, {-10, 70}});
    Outline(area, {{-4, 1}, {3.5f, 1.5f}, {-2, 3}});  // crossing the left edge slantwise
    const auto slanted = Resolve(area);
    EXPECT_EQ(slanted[0], (std::vector<float>(6, 0.0f)));
    double inside = 0;
    for (const auto& row : slanted)
        for (const float v : row) inside += v;
    // The triangle's part right of x = 0: it crosses at y = 1 + 4 / 7.5 * 0.5 and y = 1.5 + 3.5 / 5.5 * 1.5.
    const double top = 1 + 4.0 / 7.5 * 0.5, bottom = 3 - 2.0 / 5.5 * 1.5;
    EXPECT_NEAR(inside, 0.5 * 3.5 * (bottom - top), 1e-4);
}

// The same canvas drawn on again after a reset shows only the new drawing,
// and says which rows are all one share.
TEST(AreaCoverage, ResetClearsWhatWasDrawnAndRowsTellWhenTheyArePlain)
{
    AreaCoverage area;
    area.reset(8, 3);
    Outline(area, {{0.5f, 0.2f}, {7.3f, 1.1f}, {2.2f, 2.9f}});
    area.reset(8, 3);
    Outline(area, Box(-1, 1, 9, 2));
    std::vector<float> row(8);
    EXPECT_TRUE(area.resolveRow(0, row.data()));
    EXPECT_EQ(row, std::vector<float>(8, 0.0f));
    EXPECT_TRUE(area.resolveRow(1, row.data()));
    EXPECT_EQ(row, std::vector<float>(8, 1.0f));
    area.reset(8, 3);
    Outline(area, Box(-1, 1, 7.5f, 2));
    EXPECT_FALSE(area.resolveRow(1, row.data()));
    EXPECT_EQ(row[7], 0.5f);
}

std::vector<float> Column(const LineCoverage& lines, std::int32_t x)
{
    std::vector<float> column;
    for (std::int32_t y = 0; y < lines.height(); ++y) column.push_back(lines.row(y)[static_cast<std::size_t>(x)]);
    return column;
}

TEST(LineCoverage, LinesCoverTheirWidthAcrossThePixels)
{
    LineCoverage lines;
    lines.reset(10, 6);
    lines.addSegment(1, 2.5f, 8, 2.5f, 1);     // along a row's middle
    lines.addSegment(1.25f, 0, 1.25f, 6, 0.5f);  // half a pixel wide, within column 1
    EXPECT_EQ(Column(lines, 5), (std::vector<float>{0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(lines.row(4)[1], 0.5f);
    EXPECT_EQ(lines.row(4)[0], 0.0f);
    EXPECT_EQ(lines.row(4)[2], 0.0f);

    // Off the pixel centres, the width is shared between the rows it touches.
    lines.reset(10, 6);
    lines.addSegment(0, 3.25f, 10, 3.25f, 2);
    const std::vector<float> shared = Column(lines, 4);
    EXPECT_NEAR(shared[1], 0, 1e-6);
    EXPECT_NEAR(shared[2], 0.75f, 1e-6);
    EXPECT_NEAR(shared[3], 1, 1e-6);
    EXPECT_NEAR(shared[4], 0.25f, 1e-6);
    // Ends are round: nothing a line's width beyond them.
    lines.reset(10, 6);
    lines.addSegment(3.5f, 3.5f, 6.5f, 3.5f, 1);
    EXPECT_EQ(lines.row(3)[2], 0.0f);
    EXPECT_EQ(lines.row(3)[3], 1.0f);
    EXPECT_EQ(lines.row(3)[7], 0.0f);
}

// Where segments meet or cross, the line is no darker than along it.
TEST(LineCoverage, JoinsAndCrossingsDoNotAddUp)
{
    LineCoverage lines;
    lines.reset(12, 12);
    lines.addSegment(1, 6.5f, 6.3f, 6.5f, 1.5f);
    lines.addSegment(6.3f, 6.5f, 11, 6.5f, 1.5f);
    lines.addSegment(6.5f, 1, 6.5f, 11, 1.5f);
    for (std::int32_t y = 0; y < 12; ++y)
        for (const float v : lines.row(y)) EXPECT_LE(v, 1.0f);
    const std::vector<float> left = Column(lines, 3), right = Column(lines, 9);
    for (std::size_t y = 0; y < 12; ++y) EXPECT_NEAR(left[y], right[y], 1e-6) << y;
    EXPECT_NEAR(left[5], 0.25f, 1e-6);
    EXPECT_EQ(lines.row(6)[6], 1.0f);
    // Segments entirely off the picture touch nothing, and a reset clears.
    lines.reset(12, 12);
    lines.addSegment(-30, -5, -2, -5, 2);
    lines.addSegment(20, 3, 40, 9, 2);
    for (std::int32_t y = 0; y < 12; ++y) {
        EXPECT_FALSE(lines.touches(y));
        for (const float v : lines.row(y)) EXPECT_EQ(v, 0.0f);
    }
}

}  // namespace
}  // namespace mappa
