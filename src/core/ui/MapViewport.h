// The part of the world that the map picture shows. At scale s the whole
// world is a picture s times as wide and high as the map picture (the
// equirectangular map at s times the detail); the picture shows a window of
// it, whose top-left corner is `origin` in that zoomed world's pixels. At
// scale 1 the picture shows the whole world, as it always has.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "mapdata/LocationTable.h"

namespace mappa {

class MapViewport {
public:
    static constexpr int kMaxScale = 256;

    MapViewport() = default;
    // A viewport for a picture of that size, showing the whole world.
    MapViewport(std::int32_t width, std::int32_t height) : width_(width), height_(height) {}

    int scale() const { return scale_; }
    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }
    // The picture's top-left corner in the zoomed world's pixels.
    MapPoint origin() const { return origin_; }
    bool wholeWorld() const { return scale_ == 1; }

    // Doubles the scale (`steps` > 0) or halves it (< 0) once per step, within
    // 1 to kMaxScale, about the picture pixel `about`: the world under it stays
    // under it, as far as the edges of the world allow. True when the scale changed.
    bool zoom(int steps, MapPoint about);
    // Moves the view by that many picture pixels (positive: towards east and
    // south), stopping at the edges of the world. True when it moved.
    bool pan(std::int32_t dx, std::int32_t dy);
    // Moves the view as little as needed, or not at all, so that the zoomed
    // world pixel `place` lies inside the picture at least `margin` pixels from its edges
    // (centred on it when it was out of view). True when it moved.
    bool bringIntoView(MapPoint place, std::int32_t margin = 0);
    // Scale 1, the whole world.
    void reset();
    // The same part of the world at the same scale on a picture of another
    // size (the window at another density).
    void resize(std::int32_t width, std::int32_t height);

    // The size of the zoomed world in pixels.
    std::int32_t worldWidth() const { return width_ * scale_; }
    std::int32_t worldHeight() const { return height_ * scale_; }
    // A zoomed world pixel on the picture, and back.
    MapPoint toPicture(MapPoint world) const { return {world.x - origin_.x, world.y - origin_.y}; }
    MapPoint toWorld(MapPoint picture) const { return {picture.x + origin_.x, picture.y + origin_.y}; }
    // Whether a zoomed world pixel lies on the picture.
    bool shows(MapPoint world) const;
    // The latitude and longitude (degrees, north and east positive) at the centre of the picture.
    double centreLatitude() const;
    double centreLongitude() const;

private:
    void clamp();

    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    int scale_ = 1;
    MapPoint origin_{};
};

// The words that describe a view in one language: the pattern (scale {0},
// latitude {1} with its letter {2}, longitude {3} with {4}), the four
// hemisphere letters and the decimal separator.
struct ViewWords {
    std::string_view pattern = "Scale {0}, centred on {1} {2} {3} {4}";
    std::string_view north = "N", south = "S", east = "E", west = "W";
    std::string_view decimal = ".";
};

// What the view shows, in words: "Scale 4, centred on 48.2 N 16.4 E".
std::string DescribeView(const MapViewport& view, const ViewWords& words = {});

// The zoomed world pixel of an office at that scale: the designed projection
// on a picture `scale` times the size, so that at scale 1 it is the office's
// own place on the map.
MapPoint ZoomedPlace(const LocationView& office, std::int32_t width, std::int32_t height, int scale);

}  // namespace mappa

namespace mappa {

// Draws the view from a picture of the whole world (`world`, top-down rows of
// worldWidth x worldHeight pixels, in the map's projection): each pixel of the
// view takes the world pixel under its centre.
void SampleWorld(const std::uint32_t* world, std::int32_t worldWidth, std::int32_t worldHeight,
                 const MapViewport& view, std::uint32_t* pixels);

}  // namespace mappa
