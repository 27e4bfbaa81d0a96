#include "ui/HoverNames.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "support/LanguageChoice.h"
#include "ui/PictureGeometry.h"

namespace mappa {
namespace {

// The distance as the nearest-office search measures it: truncated to whole pixels.
std::int64_t WholePixels(std::int64_t dx, std::int64_t dy)
{
    const double x = static_cast<double>(dx);
    const double y = static_cast<double>(dy);
    return static_cast<std::int64_t>(std::sqrt(x * x + y * y));
}

bool IsBlank(std::string_view text)
{
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

std::vector<std::size_t> OfficesUnderPointer(std::span<const MapPoint> positions, MapPoint pointer,
                                             std::int32_t reach)
{
    struct Near {
        std::int64_t distance;
        std::size_t index;
    };
    std::vector<Near> near;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const std::int64_t dx = std::llabs(std::int64_t{positions[i].x} - pointer.x);
        const std::int64_t dy = std::llabs(std::int64_t{positions[i].y} - pointer.y);
        if (IsNearMarker(pointer, positions[i], reach)) near.push_back({WholePixels(dx, dy), i});
    }
    std::stable_sort(near.begin(), near.end(), [](const Near& a, const Near& b) { return a.distance < b.distance; });
    std::vector<std::size_t> offices;
    offices.reserve(near.size());
    for (const Near& office : near) offices.push_back(office.index);
    return offices;
}

std::string HoverText(std::span<const OfficeLabel> offices, std::string_view more)
{
    std::string text;
    const std::size_t shown = std::min(offices.size(), kTooltipOffices);
    for (std::size_t i = 0; i < shown; ++i) {
        if (i > 0) text += "\r\n";
        text += offices[i].name;
        for (const std::string_view part : {offices[i].city, offices[i].country}) {
            if (IsBlank(part)) continue;
            text += ", ";
            text += part;
        }
        if (!offices[i].localTime.empty()) text += ", " + offices[i].localTime;
    }
    if (offices.size() > shown) text += "\r\n" + FillText(more, {std::to_string(offices.size() - shown)});
    return text;
}

std::string RightToLeftLines(std::string_view text)
{
    constexpr std::string_view kEmbed = "\u202B", kPop = "\u202C";
    std::string embedded{kEmbed};
    std::size_t start = 0;
    for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n', start)) {
        const std::size_t line_end = end > start && text[end - 1] == '\r' ? end - 1 : end;
        embedded.append(text, start, line_end - start).append(kPop).append(text, line_end, end + 1 - line_end);
        embedded.append(kEmbed);
        start = end + 1;
    }
    return embedded.append(text, start).append(kPop);
}

}  // namespace mappa
