// A full check of an office list for the people who maintain it: every
// problem with its line, the traps that the program reads without complaint,
// and a summary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mapdata/DataFileEncoding.h"
#include "localtime/ZoneMap.h"
#include "localtime/ZoneRules.h"
#include "mapdata/LocationTable.h"

namespace mappa {

// Land and sea of the bundled world map (8-bit BMP, water where a pixel's
// palette colour is bluer than it is red or green).
class LandMask {
public:
    static std::optional<LandMask> FromBmp(std::string_view bytes);
    int width() const { return width_; }
    int height() const { return height_; }
    // Points outside the picture count as land.
    bool isSea(std::int32_t x, std::int32_t y) const;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<bool> sea_;  // top-down rows
};

struct CheckFinding {
    std::size_t line;  // counted from 1
    std::string text;
    bool error;        // the program stops reading here; otherwise a warning
};

struct CheckSummary {
    std::size_t offices = 0;  // what the program shows
    std::size_t countries = 0;
    std::size_t sales = 0, support = 0, other = 0;
    std::size_t withoutPhone = 0;  // neither a phone nor a toll-free number
    std::vector<std::string> inTheSea;
    // Each zone (as named, else from the coordinates) with its offices, by name of zone.
    std::vector<std::pair<std::string, std::vector<std::string>>> byZone;
};

// What the check of the offices' zones and hours needs.
struct TimeZoneData {
    const localtime::ZoneDatabase& rules;
    const localtime::ZoneMap& map;
};

struct CheckReport {
    TextEncoding encoding = TextEncoding::CodePage;  // as told by the file's first bytes
    std::vector<CheckFinding> findings;
    CheckSummary summary;
    bool loadsEveryOffice = false;  // the program would show every office of the file
};

// Checks the file's bytes, read as Mappa reads them (text without a byte-order
// mark in `codePage`). Malformed sequences and a file that looks like UTF-8
// without its mark are warnings: the program still reads every office.
// With `zones`, the offices' TIMEZONE and HOURS lines are checked too, and
// the summary lists the offices by zone.
CheckReport CheckDataText(std::string_view bytes, const LandMask* map,
                          const CodePageDecoder& codePage = Windows1252(), const TimeZoneData* zones = nullptr);

std::string FormatReport(const CheckReport& report);

}  // namespace mappa
