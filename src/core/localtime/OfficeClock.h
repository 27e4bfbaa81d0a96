// An office's clock: its zone, its wall time now, and whether it is open.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "localtime/CivilTime.h"
#include "localtime/OpeningHours.h"
#include "localtime/UtcOffset.h"
#include "localtime/ZoneMap.h"
#include "localtime/ZoneRules.h"

namespace mappa::localtime {

struct OfficeZone {
    std::string_view name;             // IANA name, kept by the rules or the map
    const ZoneRules* rules = nullptr;  // never null
    bool named = false;                // from the office's own TIMEZONE line
};

// The zone that the office's TIMEZONE line names, when the rules know it
// (letter case aside), else the map's zone at its coordinates (signed,
// north and east positive).
OfficeZone ZoneOfOffice(const ZoneDatabase& rules, const ZoneMap& map, double latitude, double longitude,
                        std::string_view named);

struct OfficeClock {
    CivilTime local;
    UtcOffset offset;
    std::optional<OpenState> hours;  // when the office's hours are known
};

OfficeClock ReadOfficeClock(const ZoneRules& zone, const OpeningHours* hours, std::int64_t utcSeconds);

// "UTC+09:00", "UTC-03:30", "UTC+00:00".
std::string UtcOffsetText(std::int32_t seconds);

// Great-circle distance in kilometres between two points in degrees.
double DistanceKm(double latitude1, double longitude1, double latitude2, double longitude2);

}  // namespace mappa::localtime
