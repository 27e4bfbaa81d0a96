// Fuzzes the vector world map reader and the drawing of what it accepts:
// a file Parse takes must draw at every scale without reading past it,
// and every tile it holds keeps its points within the tile.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

#include "ui/VectorMapDrawing.h"
#include "ui/WorldVectors.h"

#define FUZZ_CHECK(condition)                                                                \
    do {                                                                                     \
        if (!(condition)) {                                                                  \
            std::fprintf(stderr, "fuzz_worldvectors: check failed at line %d: %s\n", __LINE__, \
                         #condition);                                                        \
            std::abort();                                                                    \
        }                                                                                    \
    } while (false)

namespace {

void CheckTile(const mappa::TileContent& tile, std::int32_t size)
{
    for (const auto* shapes : {&tile.rings, &tile.lines}) {
        for (const mappa::TileContent::Shape& shape : *shapes) {
            FUZZ_CHECK(shape.count >= 2 && shape.first + shape.count <= tile.points.size());
            for (std::uint32_t i = shape.first; i < shape.first + shape.count; ++i) {
                const mappa::GridPoint p = tile.points[i];
                FUZZ_CHECK(p.x >= 0 && p.y >= 0 && p.x <= size && p.y <= size);
                FUZZ_CHECK(p.x >= shape.low.x && p.y >= shape.low.y && p.x <= shape.high.x && p.y <= shape.high.y);
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);

    // A tile on its own, of a side taken from the first byte.
    if (size > 0) {
        const std::int32_t side = std::int32_t{1} << (data[0] % 17);
        mappa::TileContent tile;
        try {
            mappa::DecodeTile(bytes.subspan(1), side, tile);
            CheckTile(tile, side);
        } catch (const mappa::WorldVectorsError&) {
        }
    }

    mappa::WorldVectors world;
    try {
        world = mappa::WorldVectors::Parse(bytes);
    } catch (const mappa::WorldVectorsError&) {
        return 0;
    }
    mappa::TileContent tile;
    for (std::size_t l = 0; l < world.levelCount(); ++l) {
        const mappa::WorldVectors::Level& level = world.level(l);
        FUZZ_CHECK(level.tilesAcross >= 2 && level.tileSize >= 1);
        for (std::int32_t ty = 0; ty < level.tilesDown(); ++ty)
            for (std::int32_t tx = 0; tx < level.tilesAcross; ++tx) {
                if (world.tileBytes(l, tx, ty).empty()) continue;
                world.decodeTile(l, tx, ty, tile);  // accepted once, decodes again
                CheckTile(tile, level.tileSize);
            }
    }

    // Small views at the scales of each level, in a corner and in the middle.
    std::vector<std::uint32_t> pixels(48 * 24 + 1);
    for (const int steps : {1, 4, 8}) {
        for (const bool middle : {false, true}) {
            mappa::MapViewport view(48, 24);
            view.zoom(steps, middle ? mappa::MapPoint{24, 12} : mappa::MapPoint{0, 0});
            pixels.back() = 0xA5A5A5A5u;
            mappa::DrawVectorView(world, view, pixels.data());
            FUZZ_CHECK(pixels.back() == 0xA5A5A5A5u);
            for (std::size_t i = 0; i + 1 < pixels.size(); ++i) FUZZ_CHECK(pixels[i] >> 24 == 0);
        }
    }
    return 0;
}
