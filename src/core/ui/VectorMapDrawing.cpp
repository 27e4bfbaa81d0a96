#include "ui/VectorMapDrawing.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "ui/CoverageRaster.h"

namespace mappa {
namespace {

struct Colour {
    float r, g, b;
    explicit Colour(std::uint32_t rgb)
        : r(static_cast<float>(rgb >> 16 & 0xFF)), g(static_cast<float>(rgb >> 8 & 0xFF)),
          b(static_cast<float>(rgb & 0xFF))
    {
    }
};

// Strokes a line point by point, leaving out the points closer than a fraction
// of a pixel to the last one drawn to: where the data is denser than the
// pixels, that is most of them, and the line stays within that fraction of
// where it was.
class Pen {
public:
    Pen(LineCoverage& target, float width) : target_(target), width_(width) {}

    void moveTo(float x, float y)
    {
        finish();
        sx_ = lx_ = x;
        sy_ = ly_ = y;
        down_ = true;
    }
    void lineTo(float x, float y)
    {
        const float dx = x - sx_, dy = y - sy_;
        if (dx * dx + dy * dy >= kStep * kStep) {
            target_.addSegment(sx_, sy_, x, y, width_);
            sx_ = x;
            sy_ = y;
        }
        lx_ = x;
        ly_ = y;
    }
    void finish()
    {
        if (down_ && (lx_ != sx_ || ly_ != sy_)) target_.addSegment(sx_, sy_, lx_, ly_, width_);
        down_ = false;
    }

private:
    static constexpr float kStep = 0.4f;  // pixels
    LineCoverage& target_;
    float width_;
    bool down_ = false;
    float sx_ = 0, sy_ = 0;  // the last point drawn to
    float lx_ = 0, ly_ = 0;  // the last point given
};

// A channel of a blend of the map's colours, which stays within 0 to 255.
// How close to the last point of an outline its next one may be and still be
// left out (pixels): far below what shows, and it saves most of the work
// where the data is denser than the pixels.
constexpr float kFillStep = 0.2f;

bool OnTileSide(GridPoint p, std::int32_t size) { return p.x == 0 || p.y == 0 || p.x == size || p.y == size; }

std::uint32_t Channel(float value) { return static_cast<std::uint32_t>(static_cast<std::int32_t>(value + 0.5f)); }

// What stays land colour once the coast band is taken off the land: the
// least land share within `reach` pixels (a disc: the cross of that reach
// and the square one pixel less), as the map picture takes its coast off
// land within one pixel of water. The picture's edges repeat their pixels;
// a fractional reach blends the two whole ones around it.
class Inland {
public:
    // `plain` marks the rows all of one share, which need no work.
    void prepare(const float* land, const signed char* plain, std::int32_t width, std::int32_t height, float reach)
    {
        width_ = width;
        height_ = height;
        inner_ = std::max(static_cast<std::int32_t>(std::floor(reach)), 1);
        part_ = std::max(reach - static_cast<float>(inner_), 0.0f);
        outer_ = part_ > 0 ? inner_ + 1 : inner_;
        // Row by row, the least along the row for each reach from 0 to `outer_`.
        const std::size_t w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
        along_.resize((static_cast<std::size_t>(outer_) + 1) * h);
        store_.resize(static_cast<std::size_t>(outer_) * w * h);
        padded_.resize(w + 2 * static_cast<std::size_t>(outer_));
        float* padded = padded_.data();
        for (std::size_t y = 0; y < h; ++y) {
            const float* row = land + y * w;
            along_[y] = row;
            for (std::int32_t r = 1; r <= outer_; ++r) {
                const std::size_t at = static_cast<std::size_t>(r) * h + y;
                if (plain[y] >= 0) {
                    along_[at] = row;
                    continue;
                }
                // One more pixel either side of the last reach's least.
                const float* source = along_[at - h];
                float* target = store_.data() + (static_cast<std::size_t>(r - 1) * h + y) * w;
                std::fill_n(padded, outer_, row[0]);
                std::copy_n(row, w, padded + outer_);
                std::fill_n(padded + outer_ + width, outer_, row[w - 1]);
                const float* left = padded + outer_ - r;
                const float* right = padded + outer_ + r;
                for (std::size_t x = 0; x < w; ++x) target[x] = std::min(source[x], std::min(left[x], right[x]));
                along_[at] = target;
            }
        }
    }

    void row(std::int32_t y, float* out)
    {
        disc(y, inner_, out);
        if (outer_ == inner_) return;
        far_.resize(static_cast<std::size_t>(width_));
        disc(y, outer_, far_.data());
        for (std::int32_t x = 0; x < width_; ++x) out[x] += part_ * (far_[x] - out[x]);
    }

private:
    // Row y (the picture's edge rows repeated beyond it) of the least along
    // the rows within `reach`.
    const float* along(std::int32_t reach, std::int32_t y) const
    {
        return along_[static_cast<std::size_t>(reach) * static_cast<std::size_t>(height_) +
                      static_cast<std::size_t>(std::clamp(y, 0, height_ - 1))];
    }

    void disc(std::int32_t y, std::int32_t reach, float* out) const
    {
        std::copy_n(along(reach, y), width_, out);
        for (std::int32_t d = 1; d <= reach; ++d) {
            const float* up = along(0, y - d);
            const float* down = along(0, y + d);
            for (std::int32_t x = 0; x < width_; ++x) out[x] = std::min(out[x], std::min(up[x], down[x]));
        }
        if (reach == 1) return;
        for (std::int32_t d = -(reach - 1); d <= reach - 1; ++d) {
            const float* other = along(reach - 1, y + d);
            for (std::int32_t x = 0; x < width_; ++x) out[x] = std::min(out[x], other[x]);
        }
    }

    std::int32_t width_ = 0, height_ = 0;
    std::int32_t inner_ = 1, outer_ = 1;
    float part_ = 0;
    std::vector<const float*> along_;  // per reach, per row
    std::vector<float> store_;
    std::vector<float> padded_, far_;
};

// Kept between frames of a thread, so that drawing a view asks for no memory.
struct Canvas {
    AreaCoverage area;
    LineCoverage borders;
    TileContent tile;
    std::vector<float> land;  // the land's share of each pixel
    Inland inland;
    std::vector<float> inlandRow;     // a row of what stays land colour
    std::vector<signed char> plain;  // per row: 0 or 1 when the land covers none or all of it
};

}  // namespace

void DrawVectorView(const WorldVectors& world, const MapViewport& view, std::uint32_t* pixels)
{
    const std::int32_t width = view.width(), height = view.height();
    if (width <= 0 || height <= 0 || view.worldWidth() <= 0 || view.worldHeight() <= 0) return;
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);

    thread_local Canvas canvas;
    canvas.area.reset(width, height);
    canvas.borders.reset(width, height);
    canvas.land.resize(count);
    canvas.inlandRow.resize(static_cast<std::size_t>(width));

    // As wide on the screen as the map picture's coast at this density.
    const float density = static_cast<float>(width) / 640.0f;
    const float coastWidth = std::max(density, 1.0f);
    const float borderWidth = std::max(density, 1.0f);

    const std::size_t levelIndex = world.levelFor(view.worldWidth());
    const WorldVectors::Level& level = world.level(levelIndex);
    const double kx = static_cast<double>(view.worldWidth()) / static_cast<double>(level.gridWidth());
    const double ky = static_cast<double>(view.worldHeight()) / static_cast<double>(level.gridHeight());
    const double ox = view.origin().x, oy = view.origin().y;

    // The tiles under the view, and far enough round it for the borders that reach in.
    const double margin = borderWidth + 1;
    const double tileWidth = level.tileSize * kx, tileHeight = level.tileSize * ky;
    const auto tileRange = [](double from, double to, double size, std::int32_t tiles) {
        const auto first = static_cast<std::int32_t>(std::clamp(std::floor(from / size), 0.0, tiles - 1.0));
        const auto last = static_cast<std::int32_t>(std::clamp(std::floor(to / size), 0.0, tiles - 1.0));
        return std::pair{first, last};
    };
    const auto [tx0, tx1] = tileRange(ox - margin, ox + width + margin, tileWidth, level.tilesAcross);
    const auto [ty0, ty1] = tileRange(oy - margin, oy + height + margin, tileHeight, level.tilesDown());

    const float fw = static_cast<float>(width), fh = static_cast<float>(height);
    TileContent& tile = canvas.tile;
    Pen borderPen(canvas.borders, borderWidth);
    const std::int32_t size = level.tileSize;
    for (std::int32_t ty = ty0; ty <= ty1; ++ty) {
        for (std::int32_t tx = tx0; tx <= tx1; ++tx) {
            if (world.tileBytes(levelIndex, tx, ty).empty()) continue;
            world.decodeTile(levelIndex, tx, ty, tile);
            const double baseX = static_cast<double>(tx) * size, baseY = static_cast<double>(ty) * size;
            const auto px = [&](std::int32_t x) { return static_cast<float>((baseX + x) * kx - ox); };
            const auto py = [&](std::int32_t y) { return static_cast<float>((baseY + y) * ky - oy); };

            // Land over the whole tile: its left side going up, its right side down.
            const float left = px(0), right = px(size), top = py(0), bottom = py(size);
            for (std::int32_t i = 0; i < tile.fill; ++i) {
                canvas.area.addEdge(left, bottom, left, top);
                canvas.area.addEdge(right, top, right, bottom);
            }
            for (std::int32_t i = 0; i > tile.fill; --i) {
                canvas.area.addEdge(left, top, left, bottom);
                canvas.area.addEdge(right, bottom, right, top);
            }
            for (const TileContent::Shape& ring : tile.rings) {
                // A ring wholly off the picture, on any side, changes no pixel of it.
                if (px(ring.high.x) <= 0 || px(ring.low.x) >= fw || py(ring.high.y) <= 0 || py(ring.low.y) >= fh)
                    continue;
                const GridPoint* points = tile.points.data() + ring.first;
                const GridPoint start = points[ring.count - 1];
                float ax = px(start.x), ay = py(start.y);
                for (std::uint32_t i = 0; i < ring.count; ++i) {
                    const GridPoint b = points[i];
                    const float bx = px(b.x), by = py(b.y);
                    // Points closer than a fraction of a pixel to the last one
                    // are left out, except on the tile's sides, where the
                    // neighbouring tile's outline has to meet this one exactly.
                    const float dx = bx - ax, dy = by - ay;
                    if (i + 1 < ring.count && dx * dx + dy * dy < kFillStep * kFillStep && !OnTileSide(b, size))
                        continue;
                    canvas.area.addEdge(ax, ay, bx, by);
                    ax = bx;
                    ay = by;
                }
            }
            for (const TileContent::Shape& line : tile.lines) {
                if (px(line.high.x) <= -margin || px(line.low.x) >= fw + margin || py(line.high.y) <= -margin ||
                    py(line.low.y) >= fh + margin)
                    continue;
                const GridPoint* points = tile.points.data() + line.first;
                borderPen.moveTo(px(points[0].x), py(points[0].y));
                for (std::uint32_t i = 1; i < line.count; ++i) borderPen.lineTo(px(points[i].x), py(points[i].y));
                borderPen.finish();
            }
        }
    }

    float* land = canvas.land.data();
    const std::size_t w = static_cast<std::size_t>(width);
    // Per row: 0 or 1 when the land covers none or all of it, -1 otherwise.
    std::vector<signed char>& plain = canvas.plain;
    plain.resize(static_cast<std::size_t>(height));
    for (std::int32_t y = 0; y < height; ++y) {
        float* row = land + static_cast<std::size_t>(y) * w;
        const bool same = canvas.area.resolveRow(y, row);
        plain[static_cast<std::size_t>(y)] = static_cast<signed char>(same && (row[0] == 0 || row[0] == 1) ? row[0] : -1);
    }
    const auto reach = static_cast<std::int32_t>(std::ceil(coastWidth));

    // Sea, coast and land by their shares, the borders over them.
    const Colour sea(kMapSea), landColour(kMapLand), coast(kMapCoast), border(kMapBorder);
    canvas.inland.prepare(land, plain.data(), width, height, coastWidth);
    float* inland = canvas.inlandRow.data();
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint32_t* out = pixels + static_cast<std::size_t>(y) * w;
        // Rows of open sea or inland, with the rows within the coast's width of them.
        if (!canvas.borders.touches(y)) {
            const signed char kind = plain[static_cast<std::size_t>(y)];
            bool same = kind >= 0;
            for (std::int32_t d = std::max(y - reach, 0); same && d <= std::min(y + reach, height - 1); ++d)
                same = plain[static_cast<std::size_t>(d)] == kind;
            if (same) {
                std::fill(out, out + w, kind == 0 ? kMapSea : kMapLand);
                continue;
            }
        }
        canvas.inland.row(y, inland);
        const float* shares = land + static_cast<std::size_t>(y) * w;
        const float* lines = canvas.borders.row(y).data();
        for (std::size_t x = 0; x < w; ++x) {
            const float a = shares[x], inner = inland[x], b = lines[x];
            // Most pixels are open sea or inland.
            if (b == 0 && a == 0) {
                out[x] = kMapSea;
                continue;
            }
            if (b == 0 && inner == 1) {
                out[x] = kMapLand;
                continue;
            }
            // sea * (1 - a) + coast * (a - inner) + land * inner
            float r = sea.r + a * (coast.r - sea.r) + inner * (landColour.r - coast.r);
            float g = sea.g + a * (coast.g - sea.g) + inner * (landColour.g - coast.g);
            float bl = sea.b + a * (coast.b - sea.b) + inner * (landColour.b - coast.b);
            r += b * (border.r - r);
            g += b * (border.g - g);
            bl += b * (border.b - bl);
            out[x] = Channel(r) << 16 | Channel(g) << 8 | Channel(bl);
        }
    }
}

}  // namespace mappa
