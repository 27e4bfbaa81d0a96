// One office as read from the data file, with its pixel position on the map.
#pragma once

#include <cstdint>
#include <string>

namespace mappa {

struct TLocation {
    std::string Name;       // empty marks the end of the data in the table
    std::string Extra1;
    std::string Phone;
    std::string Fax;
    std::string LocalToll;
    std::string InterToll;
    std::string Email;
    std::string Country;
    std::string Extra2;
    std::string Extra3;
    double Longitude = 0.0;
    char LongHemisphere = '\0';  // E or W, either case
    double Latitude = 0.0;
    char LatHemisphere = '\0';   // N or S, either case
    std::string OfficeType;
    std::int32_t MapX = 0;
    std::int32_t MapY = 0;

    bool operator==(const TLocation&) const = default;
};

}  // namespace mappa
