// Fuzzes the grouping of crowded offices: places anywhere in the range of
// doubles (and beyond it), many on the same few pixels, any radius. At every
// level each office is in exactly one marker, the marker that holderOf names,
// the markers nest, places stay finite, and the markers in an area and the
// one nearest a point are those that a look at every marker finds.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <optional>
#include <vector>

#include "ui/OfficeGroups.h"

#define FUZZ_CHECK(condition)                                                            \
    do {                                                                                 \
        if (!(condition)) {                                                              \
            std::fprintf(stderr, "fuzz_groups: check failed at line %d: %s\n", __LINE__, \
                         #condition);                                                    \
            std::abort();                                                                \
        }                                                                                \
    } while (false)

namespace {

using mappa::MapArea;
using mappa::MapPlace;
using mappa::OfficeGroups;
using mappa::OfficeMarker;

constexpr std::size_t kMostOffices = 300;
constexpr double kInf = std::numeric_limits<double>::infinity();

// Mostly on a small picture, in whole or half pixels so that places repeat
// and lie on each other's splits; now and then any double at all, or one at
// the edges of doubles.
double Coordinate(FuzzedDataProvider& data)
{
    constexpr double kEdges[] = {std::numeric_limits<double>::quiet_NaN(), kInf, -kInf,
                                 std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
                                 std::numeric_limits<double>::denorm_min(), -0.0};
    switch (data.ConsumeIntegralInRange<int>(0, 4)) {
    case 0: return data.ConsumeFloatingPoint<double>();
    case 4: return kEdges[data.ConsumeIntegralInRange<std::size_t>(0, std::size(kEdges) - 1)];
    case 1: return data.ConsumeIntegralInRange<int>(0, 64) / 2.0;
    default: return data.ConsumeFloatingPointInRange<double>(0.0, 640.0);
    }
}

std::vector<std::size_t> OfficesOf(const OfficeGroups& groups, const OfficeMarker& marker)
{
    if (!marker.isGroup()) return {marker.office};
    const auto offices = groups.officesOf(marker.group);
    return {offices.begin(), offices.end()};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    FuzzedDataProvider data(bytes, size);
    const double radius = data.ConsumeBool() ? data.ConsumeFloatingPoint<double>()
                                             : data.ConsumeFloatingPointInRange<double>(0.0, 40.0);
    const std::size_t count = data.ConsumeIntegralInRange<std::size_t>(0, kMostOffices);
    std::vector<mappa::PlacedOffice> offices;
    std::vector<bool> shown;  // by office number: a finite place
    for (std::size_t i = 0; i < count && data.remaining_bytes() > 0; ++i) {
        const MapPlace place{Coordinate(data), Coordinate(data)};
        offices.push_back({i * 2 + 5, place});  // numbers with gaps
        shown.push_back(std::isfinite(place.x) && std::isfinite(place.y));
    }
    if (data.ConsumeBool()) std::reverse(offices.begin(), offices.end());

    OfficeGroups groups;
    groups.build(offices, radius);
    const auto number_of = [](std::size_t office) { return (office - 5) / 2; };
    FUZZ_CHECK(groups.officeCount() == static_cast<std::size_t>(std::count(shown.begin(), shown.end(), true)));

    std::vector<std::vector<OfficeMarker>> levels(OfficeGroups::kLevels);
    for (int level = 0; level <= OfficeGroups::kFinestLevel; ++level) {
        std::vector<OfficeMarker>& markers = levels[level];
        groups.markersIn(level, {-kInf, -kInf, kInf, kInf}, markers);
        FUZZ_CHECK(markers.size() == groups.markerCount(level));
        std::vector<int> held(shown.size(), 0);
        for (const OfficeMarker& marker : markers) {
            FUZZ_CHECK(std::isfinite(marker.place.x) && std::isfinite(marker.place.y));
            FUZZ_CHECK(level > 0 || !marker.isGroup());
            const auto members = OfficesOf(groups, marker);
            FUZZ_CHECK(members.size() == marker.count && marker.count > 0);
            for (const std::size_t office : members) {
                FUZZ_CHECK(number_of(office) < shown.size() && shown[number_of(office)]);
                ++held[number_of(office)];
                FUZZ_CHECK(groups.holderOf(office, level) == marker);
                if (level > 1) FUZZ_CHECK(groups.holderOf(office, level - 1) == groups.holderOf(members[0], level - 1));
            }
            if (marker.isGroup()) {
                const std::optional<int> expands = groups.expansionLevel(marker.group);
                FUZZ_CHECK(!expands || (*expands > level && *expands <= OfficeGroups::kFinestLevel));
                const int last = expands ? *expands - 1 : OfficeGroups::kFinestLevel;
                FUZZ_CHECK(groups.holderOf(members.back(), last) == marker);
                if (expands) FUZZ_CHECK(groups.holderOf(members.back(), *expands) != marker);
            }
        }
        for (std::size_t i = 0; i < shown.size(); ++i) FUZZ_CHECK(held[i] == (shown[i] ? 1 : 0));
    }

    // Areas and points, checked against every marker of the level.
    std::vector<OfficeMarker> found;
    while (data.remaining_bytes() > 0) {
        const int level = data.ConsumeIntegralInRange<int>(0, OfficeGroups::kFinestLevel);
        const double x0 = Coordinate(data), y0 = Coordinate(data), x1 = Coordinate(data), y1 = Coordinate(data);
        const MapArea area{std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1)};
        groups.markersIn(level, area, found);
        std::size_t inside = 0;
        for (const OfficeMarker& m : levels[level])
            inside += m.place.x >= area.left && m.place.x <= area.right && m.place.y >= area.top &&
                      m.place.y <= area.bottom;
        FUZZ_CHECK(found.size() == inside);
        for (const OfficeMarker& m : found)
            FUZZ_CHECK(std::find(levels[level].begin(), levels[level].end(), m) != levels[level].end() &&
                       m.place.x >= area.left && m.place.x <= area.right && m.place.y >= area.top &&
                       m.place.y <= area.bottom);

        const double reach = data.ConsumeFloatingPointInRange<double>(0.0, 50.0);
        std::optional<double> nearest2;
        for (const OfficeMarker& m : levels[level]) {
            const double dx = m.place.x - x0, dy = m.place.y - y0;
            const double d2 = dx * dx + dy * dy;
            if (d2 <= reach * reach && (!nearest2 || d2 < *nearest2)) nearest2 = d2;
        }
        const auto near = groups.nearestTo(level, {x0, y0}, reach);
        FUZZ_CHECK(near.has_value() == nearest2.has_value());
        if (near) {
            const double dx = near->place.x - x0, dy = near->place.y - y0;
            FUZZ_CHECK(dx * dx + dy * dy == *nearest2);
        }
    }
    return 0;
}
