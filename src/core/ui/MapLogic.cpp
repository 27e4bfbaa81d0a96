#include "ui/MapLogic.h"

#include <cmath>

#include "support/Support2.h"

namespace mappa {

MarkerStyle MarkerFor(OfficeKind kind)
{
    switch (kind) {
    case OfficeKind::Sales: return {kSalesColour, 8};
    case OfficeKind::Support: return {kSupportColour, 10};
    case OfficeKind::Other: break;
    }
    return {kOtherColour, 6};
}

int RingSizeFor(OfficeKind kind) { return MarkerFor(kind).size + 2; }

std::size_t NearestLocation(const LocationSlots& slots, std::size_t count, MapPoint point)
{
    int best_distance = 10000;
    std::size_t result = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const LocationView& location = slots[i];
        const double dx = std::fabs(static_cast<double>(point.x) - location.MapX);
        const double dy = std::fabs(static_cast<double>(point.y) - location.MapY);
        const double distance = std::sqrt(dx * dx + dy * dy);
        if (distance < best_distance) {
            best_distance = static_cast<int>(distance);
            result = i;
        }
    }
    return result;
}

std::string ContactText(const ContactFields& fields)
{
    std::string text;
    const auto line = [&](const char* label, const std::string& value) {
        text += label;
        text += value;
        text += "\r\n";
    };
    line("Country:   ", fields.country);
    line("Name:      ", fields.name);
    line("Phone:     ", fields.phone);
    line("Fax:       ", fields.fax);
    line("Toll Free: ", fields.toll);
    line("EMail:     ", fields.email);
    return text;
}

bool IsOpenableWebAddress(std::string_view address)
{
    return StartsWithText(address, "http://") || StartsWithText(address, "https://") ||
           StartsWithText(address, "www.");
}

}  // namespace mappa

namespace mappa {

std::optional<std::size_t> NearestPlace(std::span<const MapPoint> places, MapPoint point)
{
    std::optional<std::size_t> nearest;
    std::int64_t best = 0;
    for (std::size_t i = 0; i < places.size(); ++i) {
        const std::int64_t dx = static_cast<std::int64_t>(places[i].x) - point.x;
        const std::int64_t dy = static_cast<std::int64_t>(places[i].y) - point.y;
        const std::int64_t distance = dx * dx + dy * dy;
        if (!nearest || distance < best) {
            best = distance;
            nearest = i;
        }
    }
    return nearest;
}

}  // namespace mappa
