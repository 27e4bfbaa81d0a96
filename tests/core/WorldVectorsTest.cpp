#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "ui/WorldVectors.h"

namespace mappa {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Shape = std::vector<GridPoint>;

void Put(Bytes& out, std::uint64_t value)
{
    do {
        const auto low = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
        out.push_back(value ? (low | 0x80) : low);
    } while (value);
}

void PutSigned(Bytes& out, std::int64_t value) { Put(out, value >= 0 ? 2 * value : -2 * value - 1); }

void PutShapes(Bytes& out, const std::vector<Shape>& shapes)
{
    Put(out, shapes.size());
    for (const Shape& shape : shapes) {
        Put(out, shape.size());
        for (std::size_t i = 0; i < shape.size(); ++i) {
            if (i == 0) {
                Put(out, static_cast<std::uint64_t>(shape[0].x));
                Put(out, static_cast<std::uint64_t>(shape[0].y));
            } else {
                PutSigned(out, shape[i].x - shape[i - 1].x);
                PutSigned(out, shape[i].y - shape[i - 1].y);
            }
        }
    }
}

Bytes Tile(std::int32_t fill, const std::vector<Shape>& rings, const std::vector<Shape>& lines = {})
{
    Bytes out;
    PutSigned(out, fill);
    PutShapes(out, rings);
    PutShapes(out, lines);
    return out;
}

struct LevelSpec {
    std::uint32_t maxWorldWidth;
    std::uint8_t gridBits, tileBits;
    std::vector<std::pair<std::uint32_t, Bytes>> tiles;  // by index, in order
};

void PutU32(Bytes& out, std::size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// A file laid out as tools/make-world-vectors writes it.
Bytes MapFile(const std::vector<LevelSpec>& levels)
{
    Bytes out = {'W', 'O', 'R', 'L', 'D', 'V', 'E', 'C'};
    out.resize(16 + 32 * levels.size());
    PutU32(out, 8, 1);
    PutU32(out, 12, static_cast<std::uint32_t>(levels.size()));
    for (std::size_t l = 0; l < levels.size(); ++l) {
        Bytes index, data;
        std::int64_t previous = -1;
        for (const auto& [tile, body] : levels[l].tiles) {
            Put(index, static_cast<std::uint64_t>(tile - previous - 1));
            Put(index, body.size());
            data.insert(data.end(), body.begin(), body.end());
            previous = tile;
        }
        const std::size_t at = 16 + 32 * l;
        PutU32(out, at, levels[l].maxWorldWidth);
        out[at + 4] = levels[l].gridBits;
        out[at + 5] = levels[l].tileBits;
        PutU32(out, at + 8, static_cast<std::uint32_t>(levels[l].tiles.size()));
        PutU32(out, at + 12, static_cast<std::uint32_t>(out.size()));
        PutU32(out, at + 16, static_cast<std::uint32_t>(index.size()));
        PutU32(out, at + 20, static_cast<std::uint32_t>(out.size() + index.size()));
        PutU32(out, at + 24, static_cast<std::uint32_t>(data.size()));
        out.insert(out.end(), index.begin(), index.end());
        out.insert(out.end(), data.begin(), data.end());
    }
    return out;
}

// Two levels: 4 x 2 tiles of 256 steps, then 8 x 4 tiles of 128.
Bytes SmallMap()
{
    const Shape island = {{10, 10}, {200, 10}, {200, 256}, {10, 30}};
    const Shape lake = {{50, 50}, {40, 90}, {90, 90}};
    const Shape border = {{0, 128}, {256, 100}};
    return MapFile({
        {640, 10, 2, {{1, Tile(0, {island, lake}, {border})}, {6, Tile(1, {})}}},
        {0, 10, 3, {{0, Tile(0, {}, {{{0, 0}, {128, 128}}})}, {31, Tile(-1, {lake})}}},
    });
}

TEST(WorldVectors, ReadsTilesBackAsWritten)
{
    const Bytes file = SmallMap();
    const WorldVectors world = WorldVectors::Parse(file);
    ASSERT_EQ(world.levelCount(), 2u);
    EXPECT_EQ(world.level(0).maxWorldWidth, 640u);
    EXPECT_EQ(world.level(0).tilesAcross, 4);
    EXPECT_EQ(world.level(0).tilesDown(), 2);
    EXPECT_EQ(world.level(0).tileSize, 256);
    EXPECT_EQ(world.level(1).tileSize, 128);
    EXPECT_EQ(world.level(1).gridWidth(), 1024);
    EXPECT_EQ(world.level(1).gridHeight(), 512);
    // Up to its width a level serves; beyond the last one's, the last.
    EXPECT_EQ(world.levelFor(640), 0u);
    EXPECT_EQ(world.levelFor(641), 1u);
    EXPECT_EQ(world.levelFor(1 << 30), 1u);

    TileContent tile;
    world.decodeTile(0, 1, 0, tile);
    EXPECT_EQ(tile.fill, 0);
    ASSERT_EQ(tile.rings.size(), 2u);
    ASSERT_EQ(tile.lines.size(), 1u);
    const auto shape = [&](const TileContent::Shape& s) {
        return Shape(tile.points.begin() + s.first, tile.points.begin() + s.first + s.count);
    };
    EXPECT_EQ(shape(tile.rings[0]), (Shape{{10, 10}, {200, 10}, {200, 256}, {10, 30}}));
    EXPECT_EQ(shape(tile.rings[1]), (Shape{{50, 50}, {40, 90}, {90, 90}}));
    EXPECT_EQ(shape(tile.lines[0]), (Shape{{0, 128}, {256, 100}}));
    EXPECT_EQ(tile.rings[0].low, (GridPoint{10, 10}));
    EXPECT_EQ(tile.rings[0].high, (GridPoint{200, 256}));
    EXPECT_EQ(tile.rings[1].low, (GridPoint{40, 50}));

    world.decodeTile(0, 2, 1, tile);
    EXPECT_EQ(tile.fill, 1);
    EXPECT_TRUE(tile.rings.empty() && tile.lines.empty());
    world.decodeTile(1, 7, 3, tile);
    EXPECT_EQ(tile.fill, -1);
    // Open sea, and places off the grid, have no bytes and decode to nothing.
    for (const auto& [tx, ty] : {std::pair{0, 0}, {3, 1}, {-1, 0}, {4, 0}, {0, 2}})
        EXPECT_TRUE(world.tileBytes(0, tx, ty).empty()) << tx << "," << ty;
    world.decodeTile(0, 0, 0, tile);
    EXPECT_TRUE(tile.fill == 0 && tile.rings.empty() && tile.lines.empty() && tile.points.empty());
}

void ExpectRefused(const Bytes& file, const std::string& what)
{
    EXPECT_THROW(WorldVectors::Parse(file), WorldVectorsError) << what;
}

TEST(WorldVectors, RefusesEveryCutOrDamagedFile)
{
    const Bytes good = SmallMap();
    ASSERT_NO_THROW(WorldVectors::Parse(good));
    for (std::size_t size = 0; size < good.size(); ++size)
        ExpectRefused(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size)),
                      "cut to " + std::to_string(size));
    Bytes longer = good;
    longer.push_back(0);  // bytes after the last level's data belong to no level: allowed
    EXPECT_NO_THROW(WorldVectors::Parse(longer));

    const auto damaged = [&](const std::string& what, const std::function<void(Bytes&)>& change) {
        Bytes file = good;
        change(file);
        ExpectRefused(file, what);
    };
    damaged("magic", [](Bytes& f) { f[0] = 'w'; });
    damaged("version", [](Bytes& f) { PutU32(f, 8, 2); });
    damaged("no levels", [](Bytes& f) { PutU32(f, 12, 0); });
    damaged("too many levels", [](Bytes& f) { PutU32(f, 12, 9); });
    damaged("last level with a width", [](Bytes& f) { PutU32(f, 48, 5000); });
    damaged("first level for every width", [](Bytes& f) { PutU32(f, 16, 0); });
    damaged("grid too fine", [](Bytes& f) { f[20] = 30; });
    damaged("tiles finer than the grid", [](Bytes& f) { f[21] = 10; });
    damaged("reserved", [](Bytes& f) { f[22] = 1; });
    damaged("more tiles than listed", [](Bytes& f) { PutU32(f, 24, 3); });
    damaged("data size", [](Bytes& f) { PutU32(f, 40, 1); });
    damaged("index past the end", [](Bytes& f) { PutU32(f, 28, 0xFFFFFFF0u); });

    // Tiles whose contents break the rules.
    const auto refusedTile = [](const std::string& what, const Bytes& body) {
        ExpectRefused(MapFile({{0, 10, 2, {{0, body}}}}), what);
        TileContent tile;
        EXPECT_THROW(DecodeTile(body, 256, tile), WorldVectorsError) << what;
    };
    refusedTile("point outside", Tile(0, {{{0, 0}, {257, 0}, {0, 5}}}));
    refusedTile("delta below zero", Tile(0, {{{3, 0}, {-1, 0}, {0, 5}}}));
    refusedTile("ring of two", Tile(0, {{{0, 0}, {5, 5}}}));
    refusedTile("line of one", Tile(0, {}, {{{0, 0}}}));
    refusedTile("trailing byte", [] {
        Bytes b = Tile(0, {});
        b.push_back(0);
        return b;
    }());
    refusedTile("number past 32 bits", Bytes{0x00, 0x01, 0x80, 0x80, 0x80, 0x80, 0x10});
    refusedTile("shape count beyond its bytes", Bytes{0x00, 0xFF, 0xFF, 0x03});
    refusedTile("filled too often", Tile(1000, {}));
    refusedTile("empty", Bytes{});
    ExpectRefused(MapFile({{0, 10, 2, {{8, Tile(1, {})}}}}), "tile past the grid");
}

TEST(WorldVectors, TheBundledMapHasItsLevelsAndFitsTheBudget)
{
    std::ifstream in(std::string(MAPPA_TEST_DATA) + "/../../resources/worldmap-vectors.bin", std::ios::binary);
    const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(file.empty());
    EXPECT_LE(file.size(), 8u << 20);
    const WorldVectors world = WorldVectors::Parse(file);
    ASSERT_EQ(world.levelCount(), 3u);
    // Scale 2 and 4 at 96 dpi from the first, 8 to 32 from the second, the rest from the last.
    EXPECT_EQ(world.levelFor(2 * 640), 0u);
    EXPECT_EQ(world.levelFor(4 * 640), 0u);
    EXPECT_EQ(world.levelFor(8 * 640), 1u);
    EXPECT_EQ(world.levelFor(32 * 640), 1u);
    EXPECT_EQ(world.levelFor(64 * 640), 2u);
    EXPECT_EQ(world.levelFor(256 * 1280), 2u);
}

}  // namespace
}  // namespace mappa
