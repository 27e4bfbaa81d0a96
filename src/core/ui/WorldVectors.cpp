#include "ui/WorldVectors.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace mappa {
namespace {

constexpr char kMagic[8] = {'W', 'O', 'R', 'L', 'D', 'V', 'E', 'C'};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kHeaderSize = 16;
constexpr std::size_t kLevelSize = 32;
constexpr std::uint32_t kMaxLevels = 8;
// Limits that keep a hostile file from asking for much memory or arithmetic
// beyond 32 bits: at most 1024 x 512 tiles, grid coordinates below 2^25.
constexpr int kMinGridBits = 8, kMaxGridBits = 24;
constexpr int kMaxTileBits = 10;
constexpr std::int32_t kMaxFill = 64;

[[noreturn]] void Fail(const std::string& what) { throw WorldVectorsError("Vector map: " + what); }

std::uint32_t U32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

// Reads LEB128 numbers of up to 32 bits from a span, never past its end.
class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint32_t next()
    {
        std::uint32_t value = 0;
        for (int shift = 0; shift < 35; shift += 7) {
            if (at_ >= bytes_.size()) Fail("a number runs past the end of its data");
            const std::uint8_t byte = bytes_[at_++];
            if (shift == 28 && (byte & 0x70) != 0) Fail("a number does not fit in 32 bits");
            value |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0) return value;
        }
        Fail("a number does not fit in 32 bits");
    }
    std::int32_t nextSigned()
    {
        const std::uint32_t z = next();
        return static_cast<std::int32_t>(z >> 1) ^ -static_cast<std::int32_t>(z & 1);
    }
    std::size_t left() const { return bytes_.size() - at_; }
    bool done() const { return at_ == bytes_.size(); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

void ReadShapes(Reader& in, std::int32_t size, std::uint32_t minPoints, std::vector<TileContent::Shape>& shapes,
                std::vector<GridPoint>& points)
{
    const std::uint32_t count = in.next();
    // Each shape takes at least one byte per coordinate of each point.
    if (count > in.left() / (2 * minPoints + 1)) Fail("a tile has more shapes than bytes");
    for (std::uint32_t s = 0; s < count; ++s) {
        const std::uint32_t n = in.next();
        if (n < minPoints) Fail("a shape has too few points");
        if (n > in.left() / 2) Fail("a shape has more points than bytes");
        TileContent::Shape shape{static_cast<std::uint32_t>(points.size()), n, {size, size}, {0, 0}};
        GridPoint p{};
        for (std::uint32_t i = 0; i < n; ++i) {
            if (i == 0) {
                const std::uint32_t x = in.next(), y = in.next();
                if (x > static_cast<std::uint32_t>(size) || y > static_cast<std::uint32_t>(size))
                    Fail("a point lies outside its tile");
                p = {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
            } else {
                const std::int64_t x = std::int64_t{p.x} + in.nextSigned();
                const std::int64_t y = std::int64_t{p.y} + in.nextSigned();
                if (x < 0 || y < 0 || x > size || y > size) Fail("a point lies outside its tile");
                p = {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
            }
            points.push_back(p);
            shape.low = {std::min(shape.low.x, p.x), std::min(shape.low.y, p.y)};
            shape.high = {std::max(shape.high.x, p.x), std::max(shape.high.y, p.y)};
        }
        shapes.push_back(shape);
    }
}

}  // namespace

void DecodeTile(std::span<const std::uint8_t> bytes, std::int32_t tileSize, TileContent& out)
{
    out.clear();
    Reader in(bytes);
    out.fill = in.nextSigned();
    if (out.fill > kMaxFill || out.fill < -kMaxFill) Fail("a tile is filled too often");
    ReadShapes(in, tileSize, 3, out.rings, out.points);
    ReadShapes(in, tileSize, 2, out.lines, out.points);
    if (!in.done()) Fail("a tile has bytes after its shapes");
}

WorldVectors WorldVectors::Parse(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < kHeaderSize || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        Fail("not a vector map file");
    if (U32(bytes, 8) != kVersion) Fail("unknown format version");
    const std::uint32_t count = U32(bytes, 12);
    if (count == 0 || count > kMaxLevels) Fail("bad level count");
    if (bytes.size() < kHeaderSize + count * kLevelSize) Fail("level table cut short");

    WorldVectors world;
    world.bytes_ = bytes;
    TileContent scratch;
    for (std::uint32_t l = 0; l < count; ++l) {
        const std::size_t at = kHeaderSize + l * kLevelSize;
        LevelData level;
        Level& info = level.info;
        info.maxWorldWidth = U32(bytes, at);
        info.gridBits = bytes[at + 4];
        const int tileBits = bytes[at + 5];
        const std::uint32_t tiles = U32(bytes, at + 8);
        const std::uint64_t indexAt = U32(bytes, at + 12), indexSize = U32(bytes, at + 16);
        const std::uint64_t dataAt = U32(bytes, at + 20), dataSize = U32(bytes, at + 24);
        const bool last = l + 1 == count;
        if (bytes[at + 6] != 0 || bytes[at + 7] != 0 || U32(bytes, at + 28) != 0) Fail("reserved fields in use");
        if ((info.maxWorldWidth == 0) != last) Fail("only the last level serves every width");
        if (l > 0 && !last && info.maxWorldWidth <= world.levels_.back().info.maxWorldWidth)
            Fail("levels out of order");
        if (info.gridBits < kMinGridBits || info.gridBits > kMaxGridBits) Fail("bad grid");
        if (tileBits < 1 || tileBits > kMaxTileBits || tileBits > info.gridBits - 1) Fail("bad tiles");
        if (indexAt + indexSize > bytes.size() || dataAt + dataSize > bytes.size()) Fail("level data past the end");
        info.tilesAcross = std::int32_t{1} << tileBits;
        info.tileSize = std::int32_t{1} << (info.gridBits - tileBits);

        const std::size_t total = static_cast<std::size_t>(info.tilesAcross) * info.tilesDown();
        if (tiles > total) Fail("more tiles than the grid has");
        // Offsets of empty tiles repeat the next tile's start, so that each
        // tile's bytes run from its start to the next one's.
        level.start.assign(total + 1, 0);
        Reader index(bytes.subspan(static_cast<std::size_t>(indexAt), static_cast<std::size_t>(indexSize)));
        std::uint64_t tile = 0, offset = dataAt;
        for (std::uint32_t t = 0; t < tiles; ++t) {
            const std::uint64_t skip = index.next(), size = index.next();
            if (skip > total - tile) Fail("tile index past the grid");
            for (std::uint64_t i = 0; i < skip; ++i) level.start[tile++] = static_cast<std::uint32_t>(offset);
            if (tile >= total) Fail("tile index past the grid");
            if (size == 0 || offset + size > dataAt + dataSize) Fail("tile data past the end of its level");
            level.start[tile++] = static_cast<std::uint32_t>(offset);
            offset += size;
        }
        if (!index.done()) Fail("bytes after the tile index");
        if (offset != dataAt + dataSize) Fail("level data not all in tiles");
        while (tile <= total) level.start[tile++] = static_cast<std::uint32_t>(offset);

        for (std::size_t i = 0; i < total; ++i) {
            if (level.start[i] == level.start[i + 1]) continue;
            DecodeTile(bytes.subspan(level.start[i], level.start[i + 1] - level.start[i]), info.tileSize, scratch);
        }
        world.levels_.push_back(std::move(level));
    }
    return world;
}

std::size_t WorldVectors::levelFor(std::int64_t worldWidth) const
{
    for (std::size_t i = 0; i + 1 < levels_.size(); ++i)
        if (worldWidth <= static_cast<std::int64_t>(levels_[i].info.maxWorldWidth)) return i;
    return levels_.size() - 1;
}

std::span<const std::uint8_t> WorldVectors::tileBytes(std::size_t level, std::int32_t tx, std::int32_t ty) const
{
    const LevelData& data = levels_.at(level);
    if (tx < 0 || ty < 0 || tx >= data.info.tilesAcross || ty >= data.info.tilesDown()) return {};
    const std::size_t i = static_cast<std::size_t>(ty) * data.info.tilesAcross + tx;
    return bytes_.subspan(data.start[i], data.start[i + 1] - data.start[i]);
}

void WorldVectors::decodeTile(std::size_t level, std::int32_t tx, std::int32_t ty, TileContent& out) const
{
    const std::span<const std::uint8_t> bytes = tileBytes(level, tx, ty);
    if (bytes.empty()) {
        out.clear();
        return;
    }
    DecodeTile(bytes, levels_.at(level).info.tileSize, out);
}

}  // namespace mappa
