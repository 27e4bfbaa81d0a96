// The map window at a display density. Every size of the window is designed
// in pixels at 96 pixels per inch; at another density each one becomes
// MulDiv(value, dpi, 96), so that at 96 nothing changes.
#pragma once

#include "mapdata/OfficeKind.h"
#include "support/Support2Placement.h"
#include "ui/MapLogic.h"

namespace mappa {

struct ControlLayout;

// A control's place in its parent's client area, in pixels.
struct ControlBounds {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const ControlBounds&) const = default;
};

class MapScale {
public:
    // The densities that the window lays itself out for; Windows offers 96 to 480.
    static constexpr int kLowestDpi = 48;
    static constexpr int kHighestDpi = 960;
    static bool IsUsableDpi(int dpi) { return dpi >= kLowestDpi && dpi <= kHighestDpi; }

    // A density outside the usable range counts as the design density.
    explicit MapScale(int dpi = kDesignPixelsPerInch);

    int dpi() const { return dpi_; }
    // A length (or a font height, which may be negative) at this density.
    int operator()(int designPixels) const;

    ControlBounds bounds(const ControlLayout& layout) const;
    MarkerStyle markerFor(OfficeKind kind) const;
    int ringSizeFor(OfficeKind kind) const;
    // The pointer shows the hand within this many pixels of an office, across and down.
    int handReach() const;
    // The width of a marker's outline and of the guide line.
    int lineWidth() const;
    // Whether bitmap faces are drawn: only at the design density, where their
    // glyphs have their designed size. Elsewhere their TrueType twins stay
    // crisp at the scaled size.
    bool drawsBitmapFaces() const { return dpi_ == kDesignPixelsPerInch; }
    // The face of the window's plain text: the design's bitmap font, or its twin.
    const char* sansSerifFace() const;

private:
    int dpi_;
};

}  // namespace mappa
