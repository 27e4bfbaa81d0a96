// The map picture that the window shows and draws on: a 32-bit bitmap kept
// selected into its own memory device context, so that markers, the guide
// line and the clean copy all work on exact colours.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "mapdata/MapFunc.h"
#include "support/WinHandles.h"
#include "ui/MapLogic.h"

namespace mappa {

// The pixels that GDI paints for one marker (black outline, filled with its
// colour), relative to the marker's centre. Drawn once and then copied for
// every office of that style: the same pixels as drawing each marker, for a
// fraction of the cost. An outline wider than one pixel lies inside the
// marker's rectangle.
class MarkerStamp {
public:
    MarkerStamp(Rgb colour, int size, int outline = 1);
    // Any drawing of at most `size` pixels about (centre, centre) of the
    // device context, taken the same way.
    MarkerStamp(int size, const std::function<void(HDC dc, int centre)>& draw);
    Rgb colour() const { return colour_; }
    int size() const { return size_; }
    int outline() const { return outline_; }

private:
    friend class MapPicture;
    // A run of painted pixels along one row, from (dx, dy) rightwards; its
    // values are `length` entries of `values_` from `first`.
    struct Run {
        int dx, dy;
        std::size_t first, length;
    };
    Rgb colour_;
    int size_ = 0;
    int outline_ = 1;
    std::vector<Run> runs_;
    std::vector<std::uint32_t> values_;
};

// A line from the pointer to the office it is nearest to.
struct GuideLine {
    MapPoint from;
    MapPoint to;
};

class MapPicture {
public:
    MapPicture() = default;
    ~MapPicture();
    MapPicture(const MapPicture&) = delete;
    MapPicture& operator=(const MapPicture&) = delete;

    // Loads a bitmap resource (any colour depth) into a new 32-bit picture.
    void loadResource(HINSTANCE instance, int resourceId);
    // The world map at that size (see MakeWorldMapPicture), with a guide
    // line that many pixels wide.
    void loadWorldMap(HINSTANCE instance, int width, int height, int lineWidth = 1);

    int width() const { return width_; }
    int height() const { return height_; }
    HDC dc() const { return dc_.get(); }
    // The pixels, top-down rows of 0x00RRGGBB, for drawing into directly.
    std::uint32_t* pixels()
    {
        GdiFlush();
        return bits_;
    }
    Rgb pixel(int x, int y) const;

    // Sets the marker's pixels around x, y that fall on the picture.
    void stamp(const MarkerStamp& marker, int x, int y);

    // Draws the guide line dotted in white with exclusive-or, so that drawing
    // a line again takes it off; `erase`, when given, is drawn first.
    void drawGuideLine(const GuideLine* erase, const GuideLine& line);

    // Copies the picture onto a window's device context.
    void paint(HDC target) const;

    // Copies the picture into `target`, creating a bitmap of the same size when it is empty.
    void copyTo(BitmapHandle& target) const;
    // Puts back a copy taken with copyTo.
    void copyFrom(const BitmapHandle& source);

private:
    void release();

    MemoryDcHandle dc_;
    BitmapHandle bitmap_;
    HGDIOBJ original_bitmap_ = nullptr;
    PenHandle guide_pen_;
    std::uint32_t* bits_ = nullptr;  // top-down rows of 0x00RRGGBB
    int width_ = 0;
    int height_ = 0;
};

inline COLORREF ToColorRef(Rgb colour) { return RGB(colour.red, colour.green, colour.blue); }

}  // namespace mappa
