// The vector world map: coastlines and national borders at a few levels of
// detail, each level cut into tiles, read from the compact file that
// tools/make-world-vectors writes (its layout is described there).
//
// The file is untrusted input: Parse checks every byte of it, so that a map
// it accepts can be drawn without further checks, and refuses anything else.
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

namespace mappa {

// A point on a level's grid, relative to its tile's top-left corner.
struct GridPoint {
    std::int32_t x = 0, y = 0;
    friend bool operator==(GridPoint, GridPoint) = default;
};

// What one tile holds, decoded.
struct TileContent {
    struct Shape {
        std::uint32_t first = 0, count = 0;  // into `points`
        GridPoint low, high;                 // the corners of the box around it
    };
    // How many times land covers the whole tile (0 nearly everywhere, 1 inland).
    std::int32_t fill = 0;
    // Closed rings, land on the right of each edge on the map (north up): clockwise
    // around land, anticlockwise around lakes. Edges along the tile's sides are cuts.
    std::vector<Shape> rings;
    // Open lines: the national borders.
    std::vector<Shape> lines;
    std::vector<GridPoint> points;

    void clear()
    {
        fill = 0;
        rings.clear();
        lines.clear();
        points.clear();
    }
};

class WorldVectorsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class WorldVectors {
public:
    struct Level {
        // The widest zoomed world (in pixels, 360 degrees) this level is drawn
        // for; 0 on the last level, which serves every larger one.
        std::uint32_t maxWorldWidth = 0;
        int gridBits = 0;               // 2^gridBits grid steps across 360 degrees
        std::int32_t tilesAcross = 0;   // tiles down: half of that
        std::int32_t tileSize = 0;      // a tile's side in grid steps
        std::int32_t tilesDown() const { return tilesAcross / 2; }
        std::int64_t gridWidth() const { return std::int64_t{1} << gridBits; }
        std::int64_t gridHeight() const { return std::int64_t{1} << (gridBits - 1); }
    };

    // Reads the map from `bytes`, which must outlive the result (the tiles are
    // decoded from them when drawn). Throws WorldVectorsError when anything
    // in them is out of place.
    static WorldVectors Parse(std::span<const std::uint8_t> bytes);

    std::size_t levelCount() const { return levels_.size(); }
    const Level& level(std::size_t index) const { return levels_.at(index).info; }
    // The level to draw a zoomed world that many pixels wide from.
    std::size_t levelFor(std::int64_t worldWidth) const;

    // The tile's bytes (empty for a tile of open sea), and the tile decoded.
    std::span<const std::uint8_t> tileBytes(std::size_t level, std::int32_t tx, std::int32_t ty) const;
    void decodeTile(std::size_t level, std::int32_t tx, std::int32_t ty, TileContent& out) const;

private:
    struct LevelData {
        Level info;
        std::vector<std::uint32_t> start;  // per tile, row-major, + 1: offsets into bytes_
    };
    std::span<const std::uint8_t> bytes_;
    std::vector<LevelData> levels_;
};

// Decodes one tile's bytes; throws WorldVectorsError unless they are a whole,
// well-formed tile of that side.
void DecodeTile(std::span<const std::uint8_t> bytes, std::int32_t tileSize, TileContent& out);

}  // namespace mappa
