// The pixels of the map picture: the world map at the window's scale, drawn
// from the built-in pictures for the whole world and from the vector map for
// a zoomed view, and the offices' markers stamped on it.
#pragma once

#include <windows.h>

#include <optional>

#include "mapdata/MapFunc.h"
#include "ui/MapPicture.h"
#include "ui/MapScale.h"
#include "ui/MarkerLayout.h"
#include "ui/MarkerStamps.h"
#include "ui/WorldVectors.h"

namespace mappa {

class MapPictureDrawing {
public:
    // Draws the markers of `layout` at `scale`, both the window's.
    MapPictureDrawing(HINSTANCE instance, const MapScale& scale, const MarkerLayout& layout);

    // The world map at the scale's size, without markers, and its clean copy.
    void loadWorldMap();
    // The markers of the shown offices of `table` on the picture as it is.
    void drawMap(const TMapFunc* table);
    // The picture for the view: the map, then the shown offices' markers.
    void drawView(const TMapFunc* table);
    void plotLocation(const LocationView& location, Rgb colour, int size);
    // The markers are stamped anew at the scale, which has changed.
    void rescale() { stamps_.clear(); }

    HINSTANCE instance() const { return instance_; }
    MapPicture& picture() { return picture_; }
    const MapPicture& picture() const { return picture_; }

private:
    HINSTANCE instance_;
    const MapScale& scale_;
    const MarkerLayout& layout_;
    MapPicture picture_;
    MarkerStamps stamps_;
    BitmapHandle bare_world_;  // the world map without markers, at scale 1
    std::optional<WorldVectors> vectors_;  // what zoomed views are drawn from; read at the first zoom
};

}  // namespace mappa
