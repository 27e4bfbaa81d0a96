// The bundled time-zone map with the bundled rules, as the window finds an
// office's zone: each country's offices in that country's own zone, also
// where a neighbour has kept the same clocks since 1970 (Stockholm is not
// Europe/Berlin), on both sides of the borders between such countries.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "localtime/OfficeClock.h"
#include "localtime/ZoneMap.h"
#include "localtime/ZoneRules.h"

namespace mappa::localtime {
namespace {

std::vector<unsigned char> ReadBytes(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file) << path;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct Bundled {
    std::vector<unsigned char> mapBytes = ReadBytes(std::string(MAPPA_TEST_DATA) + "/../../resources/zone-map.bin");
    std::vector<unsigned char> rulesBytes = ReadBytes(MAPPA_ZONE_RULES);
    ZoneMap map = ZoneMap::Parse(mapBytes);
    ZoneDatabase rules = ZoneDatabase::Parse(rulesBytes);
};

const Bundled& Data()
{
    static const Bundled data;
    return data;
}

struct Place {
    const char* name;
    double latitude, longitude;
    const char* zone;
};

void ExpectZones(const std::vector<Place>& places)
{
    for (const Place& place : places) {
        const OfficeZone zone = ZoneOfOffice(Data().rules, Data().map, place.latitude, place.longitude, "");
        EXPECT_EQ(zone.name, std::string_view(place.zone)) << place.name;
    }
}

TEST(BundledZoneMap, CapitalsTakeTheirOwnCountrysZone)
{
    ExpectZones({
        // Central Europe: one clock since 1970, a zone each.
        {"Stockholm", 59.33, 18.07, "Europe/Stockholm"},
        {"Orebro", 59.27, 15.21, "Europe/Stockholm"},
        {"Oslo", 59.91, 10.75, "Europe/Oslo"},
        {"Copenhagen", 55.68, 12.57, "Europe/Copenhagen"},
        {"Berlin", 52.52, 13.40, "Europe/Berlin"},
        {"Amsterdam", 52.37, 4.90, "Europe/Amsterdam"},
        {"Luxembourg", 49.61, 6.13, "Europe/Luxembourg"},
        {"Bratislava", 48.15, 17.11, "Europe/Bratislava"},
        {"Ljubljana", 46.06, 14.51, "Europe/Ljubljana"},
        {"Zagreb", 45.81, 15.98, "Europe/Zagreb"},
        {"Vaduz", 47.14, 9.52, "Europe/Vaduz"},
        {"Reykjavik", 64.15, -21.94, "Atlantic/Reykjavik"},
        // East Africa and the Gulf: UTC+03:00 and +04:00.
        {"Nairobi", -1.29, 36.82, "Africa/Nairobi"},
        {"Addis Ababa", 9.03, 38.74, "Africa/Addis_Ababa"},
        {"Dar es Salaam", -6.79, 39.21, "Africa/Dar_es_Salaam"},
        {"Kampala", 0.35, 32.58, "Africa/Kampala"},
        {"Kuwait", 29.37, 47.98, "Asia/Kuwait"},
        {"Riyadh", 24.71, 46.68, "Asia/Riyadh"},
        {"Manama", 26.23, 50.59, "Asia/Bahrain"},
        {"Muscat", 23.59, 58.41, "Asia/Muscat"},
        // Elsewhere.
        {"Kinshasa", -4.32, 15.31, "Africa/Kinshasa"},
        {"Lusaka", -15.39, 28.32, "Africa/Lusaka"},
        {"Accra", 5.56, -0.20, "Africa/Accra"},
        {"Kuala Lumpur", 3.14, 101.69, "Asia/Kuala_Lumpur"},
        {"Phnom Penh", 11.56, 104.92, "Asia/Phnom_Penh"},
        {"La Paz", -16.50, -68.15, "America/La_Paz"},
    });
}

// Towns a few kilometres either side of a border.
TEST(BundledZoneMap, BorderTownsTakeTheirOwnSidesZone)
{
    ExpectZones({
        {"Haparanda", 65.83, 24.14, "Europe/Stockholm"},
        {"Tornio", 65.85, 24.18, "Europe/Helsinki"},
        {"Stromstad", 58.94, 11.17, "Europe/Stockholm"},
        {"Halden", 59.12, 11.39, "Europe/Oslo"},
        {"Flensburg", 54.78, 9.43, "Europe/Berlin"},
        {"Padborg", 54.86, 9.36, "Europe/Copenhagen"},
    });
}

// A zone that the rules lack would silently turn into the nautical zone of
// the office's longitude.
TEST(BundledZoneMap, RulesKnowEveryZoneOfTheMap)
{
    EXPECT_GT(Data().map.ZoneNames().size(), 400u);
    for (const std::string& name : Data().map.ZoneNames()) EXPECT_NE(Data().rules.Find(name), nullptr) << name;
}

}  // namespace
}  // namespace mappa::localtime
