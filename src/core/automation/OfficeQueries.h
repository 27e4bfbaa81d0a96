// What the office map answers its clients about the offices of a location
// table: positions in signed degrees, the kind as text, the nearest office by
// great-circle distance and the offices of a country.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mapdata/LocationTable.h"

namespace mappa {

// Decimal degrees, north and east positive, as the map places the office.
double SignedLatitude(const LocationView& office);
double SignedLongitude(const LocationView& office);

// "Sales", "Support", or the record's own text for any other kind.
std::string KindText(std::string_view officeType);

// The central angle between two places, in radians (haversine formula).
double CentralAngle(double latitude1, double longitude1, double latitude2, double longitude2);

// The office nearest to a place (the first in file order of equally near ones);
// nothing when there are no offices. The place must be a valid one.
std::optional<std::size_t> NearestOffice(const LocationSlots& offices, double latitude, double longitude);

// Whether a latitude and longitude name a place: finite, within +-90 and +-180.
bool ValidLatitude(double latitude);
bool ValidLongitude(double longitude);

// The offices whose country is `country`, ignoring letter case in ASCII, in file order.
std::vector<std::size_t> OfficesOfCountry(const LocationSlots& offices, std::string_view country);

// The office that a link names: the first whose name is `name` and, when
// `country` is not empty, whose country is `country`, both ignoring letter
// case in ASCII; nothing when there is none.
std::optional<std::size_t> OfficeNamed(const LocationSlots& offices, std::string_view name, std::string_view country);

}  // namespace mappa
