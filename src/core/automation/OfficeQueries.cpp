#include "automation/OfficeQueries.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "mapdata/OfficeKind.h"

namespace mappa {
namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameTextIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

}  // namespace

double SignedLatitude(const LocationView& office)
{
    return HemispheresOf(office.LatHemisphere, office.LongHemisphere).south ? -office.Latitude : office.Latitude;
}

double SignedLongitude(const LocationView& office)
{
    return HemispheresOf(office.LatHemisphere, office.LongHemisphere).west ? -office.Longitude : office.Longitude;
}

std::string KindText(std::string_view officeType)
{
    switch (KindOfOffice(officeType)) {
    case OfficeKind::Sales: return "Sales";
    case OfficeKind::Support: return "Support";
    default: return std::string(officeType);
    }
}

double CentralAngle(double latitude1, double longitude1, double latitude2, double longitude2)
{
    const double phi1 = latitude1 * kRadiansPerDegree;
    const double phi2 = latitude2 * kRadiansPerDegree;
    const double half_dphi = (phi2 - phi1) / 2;
    const double half_dlambda = (longitude2 - longitude1) * kRadiansPerDegree / 2;
    const double h = std::sin(half_dphi) * std::sin(half_dphi) +
                     std::cos(phi1) * std::cos(phi2) * std::sin(half_dlambda) * std::sin(half_dlambda);
    return 2 * std::asin(std::sqrt(std::min(1.0, h)));
}

std::optional<std::size_t> NearestOffice(const LocationSlots& offices, double latitude, double longitude)
{
    std::optional<std::size_t> nearest;
    double best = 0;
    for (std::size_t i = 0; i < offices.dataCount(); ++i) {
        const LocationView& office = offices[i];
        const double angle = CentralAngle(latitude, longitude, SignedLatitude(office), SignedLongitude(office));
        // A record whose position is not a number is never the nearest.
        if (!std::isfinite(angle)) continue;
        if (!nearest || angle < best) {
            nearest = i;
            best = angle;
        }
    }
    return nearest;
}

bool ValidLatitude(double latitude) { return std::isfinite(latitude) && std::fabs(latitude) <= 90; }
bool ValidLongitude(double longitude) { return std::isfinite(longitude) && std::fabs(longitude) <= 180; }

std::vector<std::size_t> OfficesOfCountry(const LocationSlots& offices, std::string_view country)
{
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < offices.dataCount(); ++i)
        if (SameTextIgnoringCase(offices[i].Country, country)) found.push_back(i);
    return found;
}

std::optional<std::size_t> OfficeNamed(const LocationSlots& offices, std::string_view name, std::string_view country)
{
    for (std::size_t i = 0; i < offices.dataCount(); ++i)
        if (SameTextIgnoringCase(offices[i].Name, name) &&
            (country.empty() || SameTextIgnoringCase(offices[i].Country, country)))
            return i;
    return std::nullopt;
}

}  // namespace mappa
