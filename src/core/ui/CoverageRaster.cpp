#include "ui/CoverageRaster.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace mappa {
namespace {

// The integral of clamp(s, 0, 1) from -infinity to z: how much of a pixel
// edge-on to a sweep lies behind the line, used to share a slice of an edge
// out among the pixels it crosses.
double Ramp(double z)
{
    if (z <= 0) return 0;
    if (z < 1) return 0.5 * z * z;
    return z - 0.5;
}

}  // namespace

void AreaCoverage::reset(std::int32_t width, std::int32_t height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width != width_ || height != height_) {
        width_ = width;
        height_ = height;
        stride_ = static_cast<std::size_t>(width_) + 2;
        cells_.assign(stride_ * static_cast<std::size_t>(height_), 0.0f);
        spans_.assign(static_cast<std::size_t>(height_), Span{});
        return;
    }
    // The same size again: only what was written needs clearing.
    for (std::int32_t y = 0; y < height_; ++y) {
        Span& span = spans_[static_cast<std::size_t>(y)];
        if (span.first <= span.last)
            std::fill(cells_.begin() + static_cast<std::ptrdiff_t>(y * stride_ + span.first),
                      cells_.begin() + static_cast<std::ptrdiff_t>(y * stride_ + span.last + 1), 0.0f);
        span = Span{};
    }
}

// Each edge adds, to every pixel right of it, the signed share of the
// pixel's height that it spans: an edge going up adds, one going down takes
// away. Stored as differences along the row, summed up when resolved.
void AreaCoverage::addEdge(float fx0, float fy0, float fx1, float fy1)
{
    double x0 = fx0, y0 = fy0, x1 = fx1, y1 = fy1;
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) return;
    if (y0 == y1) return;
    double sign = -1;
    if (y0 > y1) {
        std::swap(x0, x1);
        std::swap(y0, y1);
        sign = 1;
    }
    if (y1 <= 0 || y0 >= height_ || std::min(x0, x1) >= width_) return;
    const double dxdy = (x1 - x0) / (y1 - y0);
    const double top = std::max(y0, 0.0), bottom = std::min(y1, static_cast<double>(height_));
    const auto first = static_cast<std::int32_t>(std::floor(top));
    const auto last = std::min(static_cast<std::int32_t>(std::ceil(bottom)) - 1, height_ - 1);
    double ya = top;
    double xa = x0 + (ya - y0) * dxdy;
    for (std::int32_t y = first; y <= last; ++y) {
        const double yb = std::min(static_cast<double>(y) + 1, bottom);
        const double xb = yb == y1 ? x1 : x0 + (yb - y0) * dxdy;
        addSlice(y, static_cast<float>(xa), static_cast<float>(xb), static_cast<float>(sign * (yb - ya)));
        ya = yb;
        xa = xb;
    }
}

// One row's part of an edge, from xa at its top to xb at its bottom. Where it
// lies left of the picture it counts as if on the left edge (every pixel of
// the row is right of it); right of the picture it counts for none.
void AreaCoverage::addSlice(std::int32_t y, float xa, float xb, float area)
{
    float* cells = cells_.data() + static_cast<std::size_t>(y) * stride_;
    Span& span = spans_[static_cast<std::size_t>(y)];
    const float w = static_cast<float>(width_);
    if ((xa < 0 || xb < 0 || xa > w || xb > w) && xa != xb) {
        // Cut where it crosses the picture's sides; each piece then lies on one side of both.
        float cuts[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        int n = 1;
        for (const float side : {0.0f, w})
            if ((xa < side && xb > side) || (xa > side && xb < side)) cuts[n++] = (side - xa) / (xb - xa);
        cuts[n] = 1.0f;
        if (n == 3 && cuts[1] > cuts[2]) std::swap(cuts[1], cuts[2]);
        for (int i = 0; i < n; ++i) {
            const float a = std::clamp(xa + cuts[i] * (xb - xa), 0.0f, w);
            const float b = std::clamp(xa + cuts[i + 1] * (xb - xa), 0.0f, w);
            addCells(cells, span, a, b, area * (cuts[i + 1] - cuts[i]));
        }
        return;
    }
    addCells(cells, span, std::clamp(xa, 0.0f, w), std::clamp(xb, 0.0f, w), area);
}

void AreaCoverage::addCells(float* cells, Span& span, float xa, float xb, float area)
{
    const float left = std::min(xa, xb), right = std::max(xa, xb);
    const auto first = static_cast<std::int32_t>(left);  // left >= 0: the floor
    span.first = std::min(span.first, first);
    if (right <= static_cast<float>(first) + 1) {
        span.last = std::max(span.last, first + 1);
        // Within one pixel: it gets the share right of the slice's middle.
        const float middle = 0.5f * (xa + xb) - static_cast<float>(first);
        cells[first] += area * (1 - middle);
        cells[first + 1] += area * middle;
        return;
    }
    // Across several: pixel i gets area * (mean over the slice of the part of
    // [i, i + 1) right of it); the cells hold the steps between neighbours.
    const auto last = static_cast<std::int32_t>(std::ceil(right)) - 1;
    span.last = std::max(span.last, last + 1);
    const double across = static_cast<double>(right) - left;
    double previous = 0;
    for (std::int32_t i = first; i <= last; ++i) {
        const double share = (Ramp(i + 1.0 - left) - Ramp(i + 1.0 - right)) / across * area;
        cells[i] += static_cast<float>(share - previous);
        previous = share;
    }
    cells[last + 1] += static_cast<float>(area - previous);
}

bool AreaCoverage::resolveRow(std::int32_t y, float* row) const
{
    const float* cells = cells_.data() + static_cast<std::size_t>(y) * stride_;
    const Span span = spans_[static_cast<std::size_t>(y)];
    const std::int32_t first = std::max(span.first, 0), last = std::min(span.last, width_ - 1);
    if (first > last) {
        std::fill(row, row + width_, 0.0f);
        return true;
    }
    // Shares within rounding of none or all are none or all: summed along a
    // row, the steps leave traces of a ten-millionth or so.
    constexpr float kNone = 1e-5f, kAll = 1 - 1e-5f;
    std::fill(row, row + first, 0.0f);
    float sum = 0, low = 1, high = 0;
    for (std::int32_t x = first; x <= last; ++x) {
        sum += cells[x];
        const float share = sum < kNone ? 0.0f : sum > kAll ? 1.0f : sum;
        row[x] = share;
        low = std::min(low, share);
        high = std::max(high, share);
    }
    std::fill(row + last + 1, row + width_, row[last]);
    if (first > 0) low = 0;
    return low == high;
}

void LineCoverage::reset(std::int32_t width, std::int32_t height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width != width_ || height != height_) {
        width_ = width;
        height_ = height;
        coverage_.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0.0f);
        spans_.assign(static_cast<std::size_t>(height_), Span{});
        return;
    }
    for (std::int32_t y = 0; y < height_; ++y) {
        Span& span = spans_[static_cast<std::size_t>(y)];
        if (span.first <= span.last)
            std::fill(coverage_.begin() + static_cast<std::ptrdiff_t>(y) * width_ + span.first,
                      coverage_.begin() + static_cast<std::ptrdiff_t>(y) * width_ + span.last + 1, 0.0f);
        span = Span{};
    }
}

// A pixel at distance d from the centre line is covered by the overlap of
// [d - half, d + half] with [-1/2, 1/2]: exact for lines along the rows or
// columns, and close for any other.
void LineCoverage::addSegment(float x0, float y0, float x1, float y1, float lineWidth)
{
    if (!std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1) ||
        !(lineWidth > 0))
        return;
    const float half = 0.5f * lineWidth;
    const float reach = half + 0.5f;  // no pixel centre farther than this is touched
    const float reach2 = reach * reach;
    const float left = std::min(x0, x1) - reach, right = std::max(x0, x1) + reach;
    const float top = std::min(y0, y1) - reach, bottom = std::max(y0, y1) + reach;
    if (right <= 0 || bottom <= 0 || left >= static_cast<float>(width_) || top >= static_cast<float>(height_)) return;
    const float dx = x1 - x0, dy = y1 - y0;
    const float length2 = dx * dx + dy * dy;
    const auto firstRow = static_cast<std::int32_t>(std::max(0.0f, std::floor(top)));
    const auto lastRow = static_cast<std::int32_t>(std::min(static_cast<float>(height_ - 1), std::floor(bottom)));
    for (std::int32_t y = firstRow; y <= lastRow; ++y) {
        const float cy = static_cast<float>(y) + 0.5f;
        // The columns that the segment's points within `reach` of this row's centre line can touch.
        float from = left, to = right;
        if (std::fabs(dy) > 1e-6f) {
            float ta = std::clamp((cy - reach - y0) / dy, 0.0f, 1.0f);
            float tb = std::clamp((cy + reach - y0) / dy, 0.0f, 1.0f);
            const float xa = x0 + ta * dx, xb = x0 + tb * dx;
            from = std::min(xa, xb) - reach;
            to = std::max(xa, xb) + reach;
        }
        const auto firstColumn = static_cast<std::int32_t>(std::max(0.0f, std::floor(from)));
        const auto lastColumn = static_cast<std::int32_t>(std::min(static_cast<float>(width_ - 1), std::floor(to)));
        if (firstColumn > lastColumn) continue;
        float* row = coverage_.data() + static_cast<std::size_t>(y) * width_;
        Span& span = spans_[static_cast<std::size_t>(y)];
        span.first = std::min(span.first, firstColumn);
        span.last = std::max(span.last, lastColumn);
        const float py = cy - y0;
        for (std::int32_t x = firstColumn; x <= lastColumn; ++x) {
            const float px = static_cast<float>(x) + 0.5f - x0;
            const float t = length2 > 0 ? std::clamp((px * dx + py * dy) / length2, 0.0f, 1.0f) : 0.0f;
            const float ex = px - t * dx, ey = py - t * dy;
            const float distance2 = ex * ex + ey * ey;
            if (distance2 >= reach2) continue;
            const float distance = std::sqrt(distance2);
            const float covered = std::min(distance + half, 0.5f) - std::max(distance - half, -0.5f);
            row[x] = std::max(row[x], std::min(covered, 1.0f));
        }
    }
}

}  // namespace mappa
