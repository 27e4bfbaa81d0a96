#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "ui/PictureScaling.h"

namespace mappa {
namespace {

using Pixels = std::vector<std::uint32_t>;

Pixels Scale(const Pixels& source, int sourceWidth, int sourceHeight, int width, int height)
{
    Pixels target(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0xDEADBEEF);
    ScaleByAreaAverage(source, sourceWidth, sourceHeight, target, width, height);
    return target;
}

TEST(AreaAverage, SameSizeIsAnExactCopyWithoutTheTopByte)
{
    Pixels source;
    for (std::uint32_t i = 0; i < 7 * 5; ++i) source.push_back(0xFF000000u | (i * 0x0107F3u));
    const Pixels copy = Scale(source, 7, 5, 7, 5);
    for (std::size_t i = 0; i < source.size(); ++i) EXPECT_EQ(copy[i], source[i] & 0x00FFFFFFu) << "pixel " << i;
}

// Each result pixel is the mean over exactly the source area it covers.
TEST(AreaAverage, ShrinkingWeighsEachSourcePixelByItsShareInside)
{
    // 2 x 2 blocks into one pixel, per channel, rounded to nearest.
    EXPECT_EQ(Scale({0x000000, 0x010203, 0x020406, 0xFF0000}, 2, 2, 1, 1), (Pixels{0x410202}));
    // Three columns into two: the middle one is split half and half, so
    // the left pixel is (2 * left + middle) / 3.
    EXPECT_EQ(Scale({0x0000FF, 0x00FF00, 0xFF0000}, 3, 1, 2, 1), (Pixels{0x0055AA, 0xAA5500}));
    // Rows and columns at once: 4 x 3 into 3 x 2.
    const Pixels grid = {0, 0, 0, 0,  //
                         0, 0, 0, 0,  //
                         0, 0, 0, 0xC0};
    // The bottom-right result pixel covers a third of source column 2, all of
    // column 3, half of row 1 and all of row 2: the 0xC0 pixel is half of it.
    EXPECT_EQ(Scale(grid, 4, 3, 3, 2), (Pixels{0, 0, 0, 0, 0, 0x60}));
}

TEST(AreaAverage, EnlargingRepeatsPixelsAndBlendsOnlyAcrossTheirEdges)
{
    // Two pixels into five: the middle one straddles the edge.
    EXPECT_EQ(Scale({0x000000, 0xFFFFFF}, 2, 1, 5, 1), (Pixels{0, 0, 0x808080, 0xFFFFFF, 0xFFFFFF}));
    EXPECT_EQ(Scale({0x123456}, 1, 1, 3, 2), (Pixels(6, 0x123456)));
}

TEST(AreaAverage, RefusesSizesThatAreNotPositiveOrDoNotFit)
{
    Pixels source(4), target(4);
    EXPECT_THROW(ScaleByAreaAverage(source, 2, 2, target, 0, 4), std::invalid_argument);
    EXPECT_THROW(ScaleByAreaAverage(source, -2, -2, target, 2, 2), std::invalid_argument);
    EXPECT_THROW(ScaleByAreaAverage(source, 2, 3, target, 2, 2), std::invalid_argument);
    EXPECT_THROW(ScaleByAreaAverage(source, 2, 2, target, 3, 2), std::invalid_argument);
}

}  // namespace
}  // namespace mappa
