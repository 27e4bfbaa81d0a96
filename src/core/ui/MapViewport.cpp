#include "ui/MapViewport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "support/LanguageChoice.h"

namespace mappa {

bool MapViewport::zoom(int steps, MapPoint about)
{
    int scale = scale_;
    // The world pixel under `about`, in units of the finest scale, stays put.
    std::int64_t x = (static_cast<std::int64_t>(origin_.x) + about.x) * kMaxScale / scale_;
    std::int64_t y = (static_cast<std::int64_t>(origin_.y) + about.y) * kMaxScale / scale_;
    for (; steps > 0 && scale < kMaxScale; --steps) scale *= 2;
    for (; steps < 0 && scale > 1; ++steps) scale /= 2;
    if (scale == scale_) return false;
    scale_ = scale;
    origin_.x = static_cast<std::int32_t>(x * scale_ / kMaxScale - about.x);
    origin_.y = static_cast<std::int32_t>(y * scale_ / kMaxScale - about.y);
    clamp();
    return true;
}

bool MapViewport::pan(std::int32_t dx, std::int32_t dy)
{
    const MapPoint before = origin_;
    origin_.x += dx;
    origin_.y += dy;
    clamp();
    return origin_ != before;
}

bool MapViewport::bringIntoView(MapPoint place, std::int32_t margin)
{
    const MapPoint at = toPicture(place);
    margin = std::clamp(margin, 0, std::min(width_, height_) / 2);
    const bool inside = at.x >= margin && at.x < width_ - margin && at.y >= margin && at.y < height_ - margin;
    if (inside) return false;
    return pan(at.x - width_ / 2, at.y - height_ / 2);
}

void MapViewport::reset()
{
    scale_ = 1;
    origin_ = {};
}

void MapViewport::resize(std::int32_t width, std::int32_t height)
{
    if (width_ > 0 && height_ > 0) {
        origin_.x = static_cast<std::int32_t>(static_cast<std::int64_t>(origin_.x) * width / width_);
        origin_.y = static_cast<std::int32_t>(static_cast<std::int64_t>(origin_.y) * height / height_);
    }
    width_ = width;
    height_ = height;
    clamp();
}

bool MapViewport::shows(MapPoint world) const
{
    const MapPoint at = toPicture(world);
    return at.x >= 0 && at.x < width_ && at.y >= 0 && at.y < height_;
}

double MapViewport::centreLongitude() const
{
    if (worldWidth() <= 0) return 0.0;
    return (origin_.x + width_ / 2.0) * 360.0 / worldWidth() - 180.0;
}

double MapViewport::centreLatitude() const
{
    if (worldHeight() <= 0) return 0.0;
    return 90.0 - (origin_.y + height_ / 2.0) * 180.0 / worldHeight();
}

void MapViewport::clamp()
{
    origin_.x = std::clamp(origin_.x, 0, std::max(0, worldWidth() - width_));
    origin_.y = std::clamp(origin_.y, 0, std::max(0, worldHeight() - height_));
}

std::string DescribeView(const MapViewport& view, const ViewWords& words)
{
    // Rounded to a tenth first, so that a centre just south of the equator is not "0.0 S".
    const double latitude = std::round(view.centreLatitude() * 10) / 10;
    const double longitude = std::round(view.centreLongitude() * 10) / 10;
    const auto tenths = [&words](double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f", std::fabs(value));
        std::string number = text;
        if (const auto point = number.find('.'); point != std::string::npos) number.replace(point, 1, words.decimal);
        return number;
    };
    return FillText(words.pattern, {std::to_string(view.scale()), tenths(latitude), latitude < 0 ? words.south : words.north,
                                    tenths(longitude), longitude < 0 ? words.west : words.east});
}

MapPoint ZoomedPlace(const LocationView& office, std::int32_t width, std::int32_t height, int scale)
{
    return LocationTable::projectLocation(office, width * scale, height * scale);
}

}  // namespace mappa

namespace mappa {

void SampleWorld(const std::uint32_t* world, std::int32_t worldWidth, std::int32_t worldHeight,
                 const MapViewport& view, std::uint32_t* pixels)
{
    const std::int64_t zoomed_w = view.worldWidth(), zoomed_h = view.worldHeight();
    if (zoomed_w <= 0 || zoomed_h <= 0) return;
    std::vector<std::int32_t> columns(static_cast<std::size_t>(view.width()));
    for (std::int32_t x = 0; x < view.width(); ++x) {
        const std::int64_t centre = 2 * (static_cast<std::int64_t>(view.origin().x) + x) + 1;
        columns[static_cast<std::size_t>(x)] =
            static_cast<std::int32_t>(std::min<std::int64_t>(centre * worldWidth / (2 * zoomed_w), worldWidth - 1));
    }
    for (std::int32_t y = 0; y < view.height(); ++y) {
        const std::int64_t centre = 2 * (static_cast<std::int64_t>(view.origin().y) + y) + 1;
        const std::int64_t row = std::min<std::int64_t>(centre * worldHeight / (2 * zoomed_h), worldHeight - 1);
        const std::uint32_t* source = world + row * worldWidth;
        std::uint32_t* target = pixels + static_cast<std::int64_t>(y) * view.width();
        for (std::int32_t x = 0; x < view.width(); ++x) target[x] = source[columns[static_cast<std::size_t>(x)]];
    }
}

}  // namespace mappa
