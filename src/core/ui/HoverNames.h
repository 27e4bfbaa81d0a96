// The names shown while the pointer rests on the map: which offices lie under
// the hand cursor, and the tooltip text that names them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "mapdata/LocationTable.h"

namespace mappa {

// The offices near `pointer` as the hand cursor takes it (IsNearMarker), nearest
// first by the whole-pixel distance of the click's nearest-office search, and
// of equally near ones the earlier in `positions` first. So while the hand
// cursor shows, the first one is the office that a click selects.
std::vector<std::size_t> OfficesUnderPointer(std::span<const MapPoint> positions, MapPoint pointer,
                                             std::int32_t reach);

struct OfficeLabel {
    std::string_view name, city, country;
    std::string localTime;  // "14:35 local time, open"; empty when not known
};

// Most offices that the tooltip names one by one.
inline constexpr std::size_t kTooltipOffices = 5;

// One line per office, "Name, City, Country" (an empty city or country left
// out), followed by ", " and the office's local time when known, lines
// separated by CR LF; past five offices a last line "and N more" (`more`, with
// the number for {0}). Empty when there is no office.
std::string HoverText(std::span<const OfficeLabel> offices, std::string_view more = "and {0} more");

// `text` (UTF-8, lines separated by CR LF or LF) with each line embedded right
// to left (U+202B ... U+202C), so that a line that mixes a Latin name with
// words of a language written right to left reads in that language's order
// wherever it is drawn.
std::string RightToLeftLines(std::string_view text);

}  // namespace mappa
