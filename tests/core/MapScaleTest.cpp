// The map window's sizes at a display density: the design sizes at 96 dpi,
// MulDiv(value, dpi, 96) at every other.
#include <gtest/gtest.h>

#include "ui/MapLayout.h"
#include "ui/MapScale.h"
#include "ui/PictureGeometry.h"

namespace mappa {
namespace {

TEST(MapScale, AtTheDesignDensityEverySizeIsTheDesignSize)
{
    const MapScale scale(96);
    for (const ControlLayout& layout : kMapControls)
        EXPECT_EQ(scale.bounds(layout), (ControlBounds{layout.left, layout.top, layout.width, layout.height})) << layout.name;
    for (const OfficeKind kind : {OfficeKind::Sales, OfficeKind::Support, OfficeKind::Other}) {
        EXPECT_EQ(scale.markerFor(kind).size, MarkerFor(kind).size);
        EXPECT_EQ(scale.markerFor(kind).colour, MarkerFor(kind).colour);
        EXPECT_EQ(scale.ringSizeFor(kind), RingSizeFor(kind));
    }
    EXPECT_EQ(scale.handReach(), 4);
    EXPECT_EQ(scale.lineWidth(), 1);
    EXPECT_EQ(scale(-11), -11);
}

TEST(MapScale, EverySizeScalesFromItsDesignValue)
{
    struct Case {
        int dpi;
        int clientWidth, clientHeight, pictureWidth, pictureHeight;
        int sales, support, other;  // marker sizes
        int salesRing, supportRing, otherRing;
        int reach, line, formFont, linkFont;
    };
    const Case cases[] = {
        {120, 810, 590, 800, 400, 10, 13, 8, 13, 15, 10, 5, 1, -14, -19},
        {144, 972, 708, 960, 480, 12, 15, 9, 15, 18, 12, 6, 2, -17, -23},
        {192, 1296, 944, 1280, 640, 16, 20, 12, 20, 24, 16, 8, 2, -22, -30},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        const MapScale scale(c.dpi);
        EXPECT_EQ(scale.dpi(), c.dpi);
        EXPECT_EQ(scale(kClientWidth), c.clientWidth);
        EXPECT_EQ(scale(kClientHeight), c.clientHeight);
        EXPECT_EQ(scale(kPictureWidth), c.pictureWidth);
        EXPECT_EQ(scale(kPictureHeight), c.pictureHeight);
        EXPECT_EQ(scale.markerFor(OfficeKind::Sales).size, c.sales);
        EXPECT_EQ(scale.markerFor(OfficeKind::Support).size, c.support);
        EXPECT_EQ(scale.markerFor(OfficeKind::Other).size, c.other);
        EXPECT_EQ(scale.ringSizeFor(OfficeKind::Sales), c.salesRing);
        EXPECT_EQ(scale.ringSizeFor(OfficeKind::Support), c.supportRing);
        EXPECT_EQ(scale.ringSizeFor(OfficeKind::Other), c.otherRing);
        EXPECT_EQ(scale.handReach(), c.reach);
        EXPECT_EQ(scale.lineWidth(), c.line);
        EXPECT_EQ(scale(-11), c.formFont);
        EXPECT_EQ(scale(-15), c.linkFont);
        for (const ControlLayout& layout : kMapControls) {
            const ControlBounds bounds = scale.bounds(layout);
            EXPECT_EQ(bounds.left, MulDivRounded(layout.left, c.dpi, 96)) << layout.name;
            if (layout.kind == ControlKind::TextPanel)
                EXPECT_EQ(bounds.width, (layout.width * c.dpi + 95) / 96) << layout.name << ": rounded up";
            else
                EXPECT_EQ(bounds.width, MulDivRounded(layout.width, c.dpi, 96)) << layout.name;
        }
    }
}

TEST(MapScale, ADensityOutsideTheUsableRangeCountsAsTheDesignDensity)
{
    for (const int dpi : {0, -96, 47, 961, 65535}) EXPECT_EQ(MapScale(dpi).dpi(), 96) << dpi;
    for (const int dpi : {48, 72, 480, 960}) EXPECT_EQ(MapScale(dpi).dpi(), dpi) << dpi;
}

TEST(IsNearMarker, ReachGrowsWithTheDensity)
{
    const MapPoint office{200, 150};
    EXPECT_TRUE(IsNearMarker({208, 142}, office, 8));
    EXPECT_FALSE(IsNearMarker({209, 150}, office, 8));
    EXPECT_FALSE(IsNearMarker({200, 141}, office, 8));
    EXPECT_TRUE(IsNearMarker({204, 146}, office)) << "4 pixels at the design density";
    EXPECT_FALSE(IsNearMarker({205, 150}, office));
}

}  // namespace
}  // namespace mappa
