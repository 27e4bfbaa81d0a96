// Two offices for the contact card tests: one with every optional line, one
// with none (no phone, no toll-free numbers, no address).
#pragma once

#include "mapdata/Location.h"

namespace mappa::test {

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
