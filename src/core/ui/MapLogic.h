// What the map window decides without touching the window system: the marker
// of an office type, the nearest office to a point, the text that Copy puts on
// the clipboard, and which addresses from the data file may be opened.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "mapdata/LocationTable.h"
#include "mapdata/OfficeKind.h"

namespace mappa {

struct Rgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const Rgb&) const = default;
};

inline constexpr Rgb kSalesColour{0, 255, 255};
inline constexpr Rgb kSupportColour{255, 255, 0};
inline constexpr Rgb kOtherColour{0, 255, 0};
inline constexpr Rgb kRingColour{255, 0, 0};
inline constexpr Rgb kGuideLineColour{255, 255, 255};

struct MarkerStyle {
    Rgb colour;
    int size = 0;
};
MarkerStyle MarkerFor(OfficeKind kind);
// The selection ring is red and two pixels larger than the marker.
int RingSizeFor(OfficeKind kind);

// The office nearest to `point` by whole-pixel distance among the first
// `count` slots; of equally near offices the lower index wins. 0 when none.
std::size_t NearestLocation(const LocationSlots& slots, std::size_t count, MapPoint point);

struct ContactFields {
    std::string country, name, phone, fax, toll, email;
};
// Six labelled lines, each ended by CR LF.
std::string ContactText(const ContactFields& fields);

// Whether a text from the data file is meant as a web address: it starts
// with http://, https:// or www. in any letter case.
bool IsOpenableWebAddress(std::string_view address);

}  // namespace mappa

namespace mappa {

// The place nearest to `point` by straight-line distance; of equally near
// places the earlier. None when there is none.
std::optional<std::size_t> NearestPlace(std::span<const MapPoint> places, MapPoint point);

}  // namespace mappa
