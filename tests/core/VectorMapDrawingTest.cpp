#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ui/VectorMapDrawing.h"

namespace mappa {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes ReadResource(const std::string& name)
{
    std::ifstream in(std::string(MAPPA_TEST_DATA) + "/../../resources/" + name, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const WorldVectors& World()
{
    static const Bytes bytes = ReadResource("worldmap-vectors.bin");
    static const WorldVectors world = WorldVectors::Parse(bytes);
    return world;
}

// Water as the map pictures' rule has it: blue above both red and green.
bool IsWater(std::uint32_t rgb)
{
    const std::uint32_t r = rgb >> 16 & 0xFF, g = rgb >> 8 & 0xFF, b = rgb & 0xFF;
    return b > r && b > g;
}

// The 640 x 320 map picture's palette indices, top row first.
std::vector<std::uint8_t> DesignMapIndices()
{
    const Bytes bmp = ReadResource("worldmap.bmp");
    const auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(bmp.at(at) | bmp.at(at + 1) << 8 | bmp.at(at + 2) << 16 | bmp.at(at + 3) << 24);
    };
    const std::uint32_t offset = u32(10);
    std::vector<std::uint8_t> indices(640 * 320);
    for (std::size_t y = 0; y < 320; ++y)
        for (std::size_t x = 0; x < 640; ++x) indices[y * 640 + x] = bmp.at(offset + (319 - y) * 640 + x);
    return indices;
}

// The picture of a view of `width` x `height` at `scale`, its top-left
// corner at `origin` (within the zoomed world's edges).
std::vector<std::uint32_t> Draw(std::int32_t width, std::int32_t height, int scale, MapPoint origin,
                                MapViewport* shown = nullptr)
{
    MapViewport view(width, height);
    view.zoom(static_cast<int>(std::log2(scale)), {0, 0});
    view.pan(origin.x - view.origin().x, origin.y - view.origin().y);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0xDEADBEEF);
    DrawVectorView(World(), view, pixels.data());
    if (shown) *shown = view;
    return pixels;
}

// The zoomed world's pixel of a place.
MapPoint WorldPixel(double latitude, double longitude, std::int64_t worldWidth, std::int64_t worldHeight)
{
    return {static_cast<std::int32_t>(std::floor((longitude + 180) / 360 * static_cast<double>(worldWidth))),
            static_cast<std::int32_t>(std::floor((90 - latitude) / 180 * static_cast<double>(worldHeight)))};
}

// At scale 2 the coasts lie where the map picture has them, doubled: every
// coast pixel of the picture has land and water within a pixel of its
// doubled place, and what lies clear of the coast in the picture is the
// same at scale 2. The shorelines are the same ones the picture was made
// from; what differs is that the picture takes each pixel whole by its
// centre, so islands and straits narrower than a pixel show there or not
// by where the centre falls, while here they are shares of a pixel. Those
// are the exceptions allowed: 65 of the 6829 coast pixels (0.95 %), tiny
// islands in the Pacific and Indonesia, and fjords and sounds of Greenland,
// Norway and the Canadian Arctic.
TEST(VectorMapDrawing, ScaleTwoHasTheMapPicturesCoastsDoubled)
{
    const std::vector<std::uint8_t> design = DesignMapIndices();
    std::vector<std::uint32_t> zoomed(1280 * 640);
    for (const MapPoint origin : {MapPoint{0, 0}, MapPoint{640, 0}, MapPoint{0, 320}, MapPoint{640, 320}}) {
        const std::vector<std::uint32_t> part = Draw(640, 320, 2, origin);
        for (std::size_t y = 0; y < 320; ++y)
            for (std::size_t x = 0; x < 640; ++x)
                zoomed[(y + static_cast<std::size_t>(origin.y)) * 1280 + x + static_cast<std::size_t>(origin.x)] =
                    part[y * 640 + x];
    }
    const auto waterAt = [&](int x, int y) {
        return IsWater(zoomed[static_cast<std::size_t>(std::clamp(y, 0, 639)) * 1280 +
                              static_cast<std::size_t>(std::clamp(x, 0, 1279))]);
    };
    const auto designWater = [&](int x, int y) {
        return design[static_cast<std::size_t>(std::clamp(y, 0, 319)) * 640 + static_cast<std::size_t>((x + 640) % 640)] == 0;
    };

    int coasts = 0, coastsMissed = 0, clear = 0, clearMissed = 0;
    for (int y = 0; y < 320; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (design[static_cast<std::size_t>(y) * 640 + static_cast<std::size_t>(x)] == 2) {
                ++coasts;
                // A land pixel beside a water one, their shared edge no more
                // than a pixel from the doubled place [2x, 2x + 2) x [2y, 2y + 2).
                bool found = false;
                for (int v = 2 * y - 1; v <= 2 * y + 3 && !found; ++v)
                    for (int u = 2 * x - 1; u <= 2 * x + 2 && !found; ++u)
                        found = waterAt(u, v - 1) != waterAt(u, v);
                for (int u = 2 * x - 1; u <= 2 * x + 3 && !found; ++u)
                    for (int v = 2 * y - 1; v <= 2 * y + 2 && !found; ++v) found = waterAt(u - 1, v) != waterAt(u, v);
                if (!found) ++coastsMissed;
                continue;
            }
            bool plain = true;
            for (int v = y - 1; v <= y + 1; ++v)
                for (int u = x - 1; u <= x + 1; ++u) plain = plain && designWater(u, v) == designWater(x, y);
            if (!plain) continue;
            ++clear;
            for (int v = 2 * y; v <= 2 * y + 1; ++v)
                for (int u = 2 * x; u <= 2 * x + 1; ++u)
                    if (waterAt(u, v) != designWater(x, y)) {
                        ++clearMissed;
                        v = 2 * y + 2;
                        break;
                    }
        }
    }
    const double coastShare = static_cast<double>(coastsMissed) / coasts;
    const double clearShare = static_cast<double>(clearMissed) / clear;
    std::printf("scale 2 against the map picture: %d of %d coast pixels (%.2f %%) without a coast within a pixel, "
                "%d of %d clear pixels (%.3f %%) differing\n",
                coastsMissed, coasts, 100 * coastShare, clearMissed, clear, 100 * clearShare);
    EXPECT_GT(coasts, 6000);
    EXPECT_LE(coastShare, 0.012);
    EXPECT_LE(clearShare, 0.001);
}

struct Place {
    const char* name;
    double latitude, longitude;
    bool land;
};

// Places well away from any coast, on every level of detail, and on both
// sides of the date line and round the pole, where the outlines are closed
// across the map's edges.
TEST(VectorMapDrawing, PlacesAreLandOrWaterAtEveryScale)
{
    const Place places[] = {
        {"Sahara", 23.0, 10.0, true},
        {"Siberia", 62.0, 100.0, true},
        {"Great Plains", 40.0, -100.0, true},
        {"Madagascar", -19.0, 46.5, true},
        {"Antarctica", -80.0, 30.0, true},
        {"Chukotka, west of the date line", 67.0, 175.0, true},
        {"Chukotka, east of the date line", 66.0, -175.0, true},
        {"Wrangel Island, west", 71.1, 179.5, true},
        {"Wrangel Island, east", 71.2, -179.5, true},
        {"Viti Levu", -17.8, 178.5, true},
        {"North Atlantic", 30.0, -40.0, false},
        {"Hudson Bay", 60.0, -86.0, false},
        {"Caspian Sea", 42.0, 50.5, false},
        {"Arctic Ocean", 87.0, 0.0, false},
        {"Pacific by the date line", 5.0, 179.0, false},
    };
    for (const int scale : {4, 16, 128}) {
        for (const std::int32_t width : {640, 1280}) {
            const std::int32_t height = width / 2;
            for (const Place& place : places) {
                const MapPoint at = WorldPixel(place.latitude, place.longitude, std::int64_t{width} * scale,
                                               std::int64_t{height} * scale);
                MapViewport view;
                const std::vector<std::uint32_t> pixels =
                    Draw(width, height, scale, {at.x - width / 2, at.y - height / 2}, &view);
                const MapPoint p = view.toPicture(at);
                ASSERT_TRUE(p.x >= 0 && p.x < width && p.y >= 0 && p.y < height) << place.name;
                const std::uint32_t pixel =
                    pixels[static_cast<std::size_t>(p.y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(p.x)];
                EXPECT_EQ(IsWater(pixel), !place.land)
                    << place.name << " at scale " << scale << ", " << width << " wide: " << std::hex << pixel;
            }
        }
    }
}

// Inland and at sea the picture is the plain colour, also where tiles meet:
// the tiles' cut outlines cancel exactly, at every level.
TEST(VectorMapDrawing, TilesMeetWithoutSeams)
{
    for (const int scale : {8, 32, 64, 256}) {
        for (const auto& [latitude, longitude, colour] :
             {std::tuple{27.5, 3.0, kMapLand}, std::tuple{-45.0, -130.0, kMapSea}}) {
            if (colour == kMapLand && scale < 32) continue;  // the view would reach the borders
            const MapPoint at = WorldPixel(latitude, longitude, 640 * scale, 320 * scale);
            const std::vector<std::uint32_t> pixels = Draw(640, 320, scale, {at.x - 320, at.y - 160});
            std::size_t other = 0;
            for (const std::uint32_t p : pixels) other += p != colour;
            EXPECT_EQ(other, 0u) << "scale " << scale << " at " << latitude << ", " << longitude;
        }
    }
}

// The border along the 49th parallel runs along the row that covers it, as a
// thin line: grey there, plain land a few rows away.
TEST(VectorMapDrawing, BordersAreThinLinesInPlace)
{
    for (const int scale : {16, 64, 256}) {
        const MapPoint at = WorldPixel(49.0, -108.0, 640 * scale, 320 * scale);
        MapViewport view;
        const std::vector<std::uint32_t> pixels = Draw(640, 320, scale, {at.x - 320, at.y - 160}, &view);
        const std::int32_t row = view.toPicture(at).y;  // the row with latitude 49 in it
        const auto green = [&](std::int32_t x, std::int32_t y) {
            return static_cast<int>(pixels[static_cast<std::size_t>(y) * 640 + static_cast<std::size_t>(x)] >> 8 & 0xFF);
        };
        int lined = 0, plainAbove = 0, plainBelow = 0;
        for (std::int32_t x = 0; x < 640; ++x) {
            const int darkest = std::min({green(x, row - 1), green(x, row), green(x, row + 1)});
            lined += darkest < 194 - 40;
            plainAbove += pixels[static_cast<std::size_t>(row - 4) * 640 + static_cast<std::size_t>(x)] == kMapLand;
            plainBelow += pixels[static_cast<std::size_t>(row + 4) * 640 + static_cast<std::size_t>(x)] == kMapLand;
        }
        EXPECT_GT(lined, 600) << "scale " << scale;
        EXPECT_GT(plainAbove, 560) << "scale " << scale;
        EXPECT_GT(plainBelow, 560) << "scale " << scale;
    }
}

// Every pixel of the picture is drawn, at any size, and nothing past it.
TEST(VectorMapDrawing, DrawsEveryPixelOfAnySize)
{
    for (const auto& [width, height] : {std::pair{1, 1}, {3, 200}, {641, 3}, {800, 400}}) {
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height) + 1, 0xDEADBEEF);
        MapViewport view(width, height);
        view.zoom(3, {width / 2, height / 2});
        DrawVectorView(World(), view, pixels.data());
        for (std::size_t i = 0; i + 1 < pixels.size(); ++i) ASSERT_EQ(pixels[i] >> 24, 0u) << width << "x" << height;
        EXPECT_EQ(pixels.back(), 0xDEADBEEFu);
    }
    std::uint32_t untouched = 0xDEADBEEF;
    DrawVectorView(World(), MapViewport(0, 0), &untouched);
    EXPECT_EQ(untouched, 0xDEADBEEFu);
}

}  // namespace
}  // namespace mappa
