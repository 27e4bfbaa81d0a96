// Answers questions about the bundled time-zone data for the checks beside it.
//   zone-time zone-rules.bin: reads lines "zone seconds" and writes "zone
//     seconds offset daylight YYYY-MM-DD HH:MM:SS weekday next-change"
//     (next-change "-" when none).
//   zone-time --map zone-map.bin: reads lines "latitude longitude" and writes
//     the zone at each.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "localtime/ZoneMap.h"
#include "localtime/ZoneRules.h"

namespace {

std::vector<unsigned char> ReadBytes(const char* path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

int AnswerZones(const char* path) {
    const auto bytes = ReadBytes(path);
    const auto map = mappa::localtime::ZoneMap::Parse(bytes);
    double latitude = 0, longitude = 0;
    while (std::cin >> latitude >> longitude) std::cout << map.ZoneAt(latitude, longitude) << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--map") return AnswerZones(argv[2]);
    if (argc != 2) {
        std::cerr << "usage: zone-time zone-rules.bin < questions\n       zone-time --map zone-map.bin < points\n";
        return 2;
    }
    const auto bytes = ReadBytes(argv[1]);
    const auto database = mappa::localtime::ZoneDatabase::Parse(bytes);
    std::cout << "release " << database.Release() << "\n";
    std::string name;
    long long seconds = 0;
    while (std::cin >> name >> seconds) {
        const auto* zone = database.Find(name);
        if (!zone) {
            std::cout << name << " " << seconds << " unknown\n";
            continue;
        }
        const auto offset = zone->OffsetAt(seconds);
        const auto local = zone->LocalTimeAt(seconds);
        const auto next = zone->NextChange(seconds);
        char line[128];
        std::snprintf(line, sizeof line, "%d %d %04d-%02d-%02d %02d:%02d:%02d %d", offset.seconds,
                      offset.daylight ? 1 : 0, local.year, local.month, local.day, local.hour, local.minute,
                      local.second, local.weekday);
        std::cout << name << " " << seconds << " " << line << " ";
        if (next) std::cout << *next << "\n";
        else std::cout << "-\n";
    }
    return 0;
}
