#include "localtime/OfficeClock.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace mappa::localtime {

OfficeZone ZoneOfOffice(const ZoneDatabase& rules, const ZoneMap& map, double latitude, double longitude,
                        std::string_view named)
{
    OfficeZone zone;
    if (!named.empty()) {
        if (const auto canonical = rules.CanonicalName(named)) {
            zone.name = *canonical;
            zone.rules = rules.Find(zone.name);
            zone.named = true;
            return zone;
        }
    }
    zone.name = map.ZoneAt(latitude, longitude);
    zone.rules = rules.Find(zone.name);
    if (!zone.rules) {
        // A map made from newer polygons than the rules: the nautical zone is always known.
        zone.name = NauticalZone(longitude);
        zone.rules = rules.Find(zone.name);
        if (!zone.rules) throw std::runtime_error("the time-zone rules lack the nautical zones");
    }
    return zone;
}

OfficeClock ReadOfficeClock(const ZoneRules& zone, const OpeningHours* hours, std::int64_t utcSeconds)
{
    OfficeClock clock;
    clock.offset = zone.OffsetAt(utcSeconds);
    clock.local = CivilFromSeconds(utcSeconds + clock.offset.seconds);
    if (hours) clock.hours = hours->StateAt({MondayBasedDay(clock.local.weekday), clock.local.hour * 60 + clock.local.minute});
    return clock;
}

std::string UtcOffsetText(std::int32_t seconds)
{
    const char sign = seconds < 0 ? '-' : '+';
    const int minutes = std::abs(seconds) / 60;
    char text[16];
    std::snprintf(text, sizeof text, "UTC%c%02d:%02d", sign, minutes / 60, minutes % 60);
    return text;
}

double DistanceKm(double latitude1, double longitude1, double latitude2, double longitude2)
{
    constexpr double kRadians = 3.14159265358979323846 / 180.0;
    const double a = std::pow(std::sin((latitude2 - latitude1) * kRadians / 2), 2) +
                     std::cos(latitude1 * kRadians) * std::cos(latitude2 * kRadians) *
                         std::pow(std::sin((longitude2 - longitude1) * kRadians / 2), 2);
    return 2 * 6371.0 * std::asin(std::min(1.0, std::sqrt(a)));
}

}  // namespace mappa::localtime
