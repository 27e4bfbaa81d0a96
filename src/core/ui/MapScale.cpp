#include "ui/MapScale.h"

#include <cstdint>

#include "ui/MapLayout.h"
#include "ui/PictureGeometry.h"

namespace mappa {

MapScale::MapScale(int dpi) : dpi_(IsUsableDpi(dpi) ? dpi : kDesignPixelsPerInch) {}

int MapScale::operator()(int designPixels) const { return MulDivRounded(designPixels, dpi_, kDesignPixelsPerInch); }

ControlBounds MapScale::bounds(const ControlLayout& layout) const
{
    const MapScale& scale = *this;
    ControlBounds bounds{scale(layout.left), scale(layout.top), scale(layout.width), scale(layout.height)};
    // A text panel's room is rounded up, never down: the fonts grow by the
    // density rounded to the nearest pixel, and the text must not lose its last
    // pixel to the rounding.
    if (layout.kind == ControlKind::TextPanel && layout.width > 0)
        bounds.width = static_cast<int>((std::int64_t{layout.width} * dpi_ + kDesignPixelsPerInch - 1) / kDesignPixelsPerInch);
    return bounds;
}

MarkerStyle MapScale::markerFor(OfficeKind kind) const
{
    MarkerStyle marker = MarkerFor(kind);
    marker.size = (*this)(marker.size);
    return marker;
}

int MapScale::ringSizeFor(OfficeKind kind) const { return (*this)(RingSizeFor(kind)); }

int MapScale::handReach() const { return (*this)(kHandReach); }

int MapScale::lineWidth() const { return (*this)(1); }

const char* MapScale::sansSerifFace() const
{
    return drawsBitmapFaces() ? "MS Sans Serif" : "Microsoft Sans Serif";
}

}  // namespace mappa
