// mappa-check: reads an office list as Mappa does and reports every problem
// with its line, the traps that Mappa reads without complaint, and a summary.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <span>
#include <sstream>
#include <string>

#include "mapdata/DataFileCheck.h"
#ifdef _WIN32
#include "app/SystemLibraries.h"
#endif

namespace {

std::optional<std::string> ReadWhole(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

int Usage()
{
    std::cerr << "usage: mappa-check [--map worldmap.bmp] Mappa2.dat\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    mappa::LoadSystemLibrariesFromSystem32Only();
#endif
    std::filesystem::path data_path;
    std::filesystem::path map_path = std::filesystem::path(argv[0]).parent_path() / "worldmap.bmp";
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--map" && i + 1 < argc) map_path = argv[++i];
        else if (!argument.empty() && argument.front() == '-') return Usage();
        else if (data_path.empty()) data_path = argument;
        else return Usage();
    }
    if (data_path.empty()) return Usage();

    const auto text = ReadWhole(data_path);
    if (!text) {
        std::cerr << "mappa-check: cannot read " << data_path.string() << "\n";
        return 2;
    }
    std::optional<mappa::LandMask> map;
    if (const auto bytes = ReadWhole(map_path)) map = mappa::LandMask::FromBmp(*bytes);
    if (!map) std::cerr << "mappa-check: no world map at " << map_path.string() << ", sea check skipped\n";

    // The zone rules and map that Mappa carries, beside the checker.
    std::optional<mappa::localtime::ZoneDatabase> rules;
    std::optional<mappa::localtime::ZoneMap> zone_map;
    const auto rules_bytes = ReadWhole(std::filesystem::path(argv[0]).parent_path() / "zone-rules.bin");
    const auto zone_map_bytes = ReadWhole(std::filesystem::path(argv[0]).parent_path() / "zone-map.bin");
    try {
        if (rules_bytes && zone_map_bytes) {
            rules = mappa::localtime::ZoneDatabase::Parse(
                std::span(reinterpret_cast<const unsigned char*>(rules_bytes->data()), rules_bytes->size()));
            zone_map = mappa::localtime::ZoneMap::Parse(
                std::span(reinterpret_cast<const unsigned char*>(zone_map_bytes->data()), zone_map_bytes->size()));
        }
    } catch (const std::exception& error) {
        std::cerr << "mappa-check: " << error.what() << "\n";
        rules.reset();
    }
    std::optional<mappa::TimeZoneData> zones;
    if (rules && zone_map) zones.emplace(mappa::TimeZoneData{*rules, *zone_map});
    else std::cerr << "mappa-check: no time-zone data beside the checker, zone and hours checks skipped\n";

    const mappa::CheckReport report =
        mappa::CheckDataText(*text, map ? &*map : nullptr, mappa::Windows1252(), zones ? &*zones : nullptr);
    std::cout << mappa::FormatReport(report);
    return report.loadsEveryOffice ? 0 : 1;
}
