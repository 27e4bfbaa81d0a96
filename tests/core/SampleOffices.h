// Offices for the core's tests: one of a name and a place, and two for the
// contact cards, one with every optional line and one with none (no phone, no
// toll-free numbers, no address).
#pragma once

#include <string>
#include <utility>

#include "mapdata/Location.h"

namespace mappa::test {

// An office with only a name, a country and a place, the hemispheres given
// by their letters as a data file writes them.
inline TLocation Office(std::string name, std::string country, double latitude = 0, char latHemisphere = 'N',
                        double longitude = 0, char longHemisphere = 'E')
{
    TLocation office;
    office.Name = std::move(name);
    office.Country = std::move(country);
    office.Latitude = latitude;
    office.LatHemisphere = latHemisphere;
    office.Longitude = longitude;
    office.LongHemisphere = longHemisphere;
    return office;
}

inline TLocation FullOffice()
{
    TLocation office;
    office.Name = "Norvantic Nordic AB";
    office.Extra1 = "Storgatan 1";
    office.Phone = "+46 19 555 0100";
    office.Fax = "+46 19 555 0101";
    office.LocalToll = "020 555 010";
    office.InterToll = "00800 5550 1000";
    office.Email = "nordic@example.com";
    office.Country = "Sweden";
    office.Extra2 = "Örebro";
    office.Extra3 = "702 10";
    office.Latitude = 59.27;
    office.LatHemisphere = 'N';
    office.Longitude = 15.21;
    office.LongHemisphere = 'e';
    office.OfficeType = "Sales";
    return office;
}

inline TLocation BareOffice()
{
    TLocation office;
    office.Name = "Norvantic Remote";
    office.Latitude = 33.9;
    office.LatHemisphere = 's';
    office.Longitude = 151.2;
    office.LongHemisphere = 'W';
    return office;
}

}  // namespace mappa::test
