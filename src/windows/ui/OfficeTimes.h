// Offices' local time and opening state, from the zone rules and zone map
// that the executable carries, in the user's time and day formats.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "localtime/OfficeClock.h"
#include "mapdata/Location.h"
#include "mapdata/LocationTable.h"
#include "mapdata/OfficeTimeLines.h"

namespace mappa {

struct OfficeTimeReading {
    std::string zone;  // IANA name
    localtime::OfficeClock clock;
};

class OfficeTimes {
public:
    // The data of the program's own module, read at first use.
    static const OfficeTimes& Bundled();
    OfficeTimes(std::span<const unsigned char> rules, std::span<const unsigned char> map);

    // The office's clock at `utcSeconds`; `lines` are its TIMEZONE and HOURS
    // lines, when known. Hours that do not read are left out.
    template <typename Text>
    OfficeTimeReading read(const BasicLocation<Text>& office, const OfficeTimeLines* lines,
                           std::int64_t utcSeconds) const;

    const localtime::ZoneDatabase& rules() const { return rules_; }
    const localtime::ZoneMap& map() const { return map_; }

    // Seconds since 1970 in UTC, now.
    static std::int64_t Now();
    // Milliseconds until a little after the next minute of UTC begins. Every
    // zone's offset is a whole number of minutes, so a local clock's minute
    // turns with UTC's, and an office opens or closes only then.
    static unsigned MillisecondsToNextMinute();

private:
    OfficeTimeReading readAt(double latitude, double longitude, const OfficeTimeLines* lines,
                             std::int64_t utcSeconds) const;

    localtime::ZoneDatabase rules_;
    localtime::ZoneMap map_;
};

// How times and days are written: in a locale's formats (the user's unless
// named), with the days' full names or their abbreviations.
struct TimeWords {
    const wchar_t* locale = LOCALE_NAME_USER_DEFAULT;
    bool shortDays = false;
};

// "14:35 Tuesday (UTC+09:00)", then ", open, closes 17:30" when the hours are known.
std::string LocalTimePanelText(const OfficeTimeReading& reading, const TimeWords& words = {});
// "14:35 local time", then ", open" or ", closed" when the hours are known.
std::string LocalTimeTipText(const OfficeTimeReading& reading);
// "14:35 Tuesday" alone, for lists.
std::string LocalTimeShortText(const OfficeTimeReading& reading);

template <typename Text>
OfficeTimeReading OfficeTimes::read(const BasicLocation<Text>& office, const OfficeTimeLines* lines,
                                    std::int64_t utcSeconds) const
{
    const Hemispheres sides = HemispheresOf(office.LatHemisphere, office.LongHemisphere);
    return readAt(sides.south ? -office.Latitude : office.Latitude, sides.west ? -office.Longitude : office.Longitude,
                  lines, utcSeconds);
}

}  // namespace mappa
