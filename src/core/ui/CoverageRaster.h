// Antialiased coverage of shapes on a grid of pixels, computed here rather
// than by the system, so that the map looks the same wherever it is drawn.
//
// Pixel (x, y) is the unit square [x, x + 1) x [y, y + 1); y grows downwards.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace mappa {

// The exact share of each pixel inside a set of closed outlines. Outlines
// are given edge by edge, in any order; what counts is how often each
// place is encircled clockwise (on the screen) minus anticlockwise, and a
// place encircled clockwise at least once is inside (so a hole runs the
// other way round). Edges may lie anywhere; the parts outside the picture
// only count for the pixels to their right.
class AreaCoverage {
public:
    // An empty picture of that size.
    void reset(std::int32_t width, std::int32_t height);
    void addEdge(float x0, float y0, float x1, float y1);
    // Row y's coverage, 0 to 1 per pixel, into `row` (width values). True
    // when it is the same all along the row.
    bool resolveRow(std::int32_t y, float* row) const;

    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }

private:
    struct Span {
        std::int32_t first = INT32_MAX, last = -1;  // the cells written to
    };
    void addSlice(std::int32_t y, float xa, float xb, float area);
    void addCells(float* cells, Span& span, float xa, float xb, float area);

    std::int32_t width_ = 0, height_ = 0;
    std::size_t stride_ = 0;
    // Per row, width + 2 cells: the change in coverage from the pixel to the left.
    std::vector<float> cells_;
    std::vector<Span> spans_;
};

// Coverage of thin lines of a given width with round ends: each pixel
// takes the largest coverage of any segment over it (so that lines do not
// darken where they join or cross).
class LineCoverage {
public:
    void reset(std::int32_t width, std::int32_t height);
    // A segment `lineWidth` pixels wide, centred on the line from (x0, y0) to (x1, y1).
    void addSegment(float x0, float y0, float x1, float y1, float lineWidth);
    std::span<const float> row(std::int32_t y) const
    {
        return {coverage_.data() + static_cast<std::size_t>(y) * width_, static_cast<std::size_t>(width_)};
    }
    // Whether anything was drawn in row y.
    bool touches(std::int32_t y) const { return spans_[static_cast<std::size_t>(y)].first <= spans_[static_cast<std::size_t>(y)].last; }

    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }

private:
    struct Span {
        std::int32_t first = INT32_MAX, last = -1;  // the pixels drawn on
    };
    std::int32_t width_ = 0, height_ = 0;
    std::vector<float> coverage_;
    std::vector<Span> spans_;
};

}  // namespace mappa
