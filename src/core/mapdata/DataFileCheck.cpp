#include "mapdata/DataFileCheck.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "mapdata/DataFile.h"
#include "localtime/OfficeClock.h"
#include "localtime/OpeningHours.h"
#include "mapdata/OfficeKind.h"

namespace mappa {
namespace {

std::uint32_t ReadLittleEndian(std::string_view bytes, std::size_t at, std::size_t size)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

// Where reading can pick up again after a faulty office: its next separator line.
std::size_t NextBlockStart(const std::vector<std::string_view>& lines, std::size_t from)
{
    for (std::size_t i = from; i < lines.size(); ++i)
        if (lines[i].empty() || IsSeparatorLine(lines[i])) return i;
    return lines.size();
}

std::string HexBytes(std::string_view bytes)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (!hex.empty()) hex += ' ';
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
    }
    return hex;
}

std::string DescribeMalformed(const MalformedSequence& sequence, std::string_view bytes)
{
    const std::string where = "byte " + std::to_string(sequence.fileOffset) + " of the file";
    const std::string found = HexBytes(bytes.substr(sequence.fileOffset, sequence.length));
    std::string what;
    switch (sequence.kind) {
    case MalformedKind::Utf8Sequence: what = "malformed UTF-8 (" + found + " at " + where + ")"; break;
    case MalformedKind::LoneSurrogate: what = "lone UTF-16 surrogate (" + found + " at " + where + ")"; break;
    case MalformedKind::OddByte: what = "the file ends in half a UTF-16 character (" + found + " at " + where + ")"; break;
    }
    return what + ": Mappa shows U+FFFD in its place";
}

class Checker {
public:
    Checker(std::string_view bytes, const CodePageDecoder& codePage, const LandMask* map, const TimeZoneData* zones)
        : bytes_(bytes), decoded_(DecodeDataFile(std::string(bytes), codePage)), text_(decoded_.text()),
          lines_(SplitLines(text_)), map_(map), zones_(zones)
    {
    }

    CheckReport run()
    {
        LocationTable table;
        std::optional<DataFileError> program_error;
        try {
            ReadDataText(text_, table);
        } catch (const DataFileError& error) {
            program_error = error;
        }

        report_.encoding = decoded_.encoding;
        checkEncoding();
        walk();
        if (program_error && !reported(program_error->line()))
            fail(program_error->line(), program_error->what());
        summarise(table);
        report_.loadsEveryOffice = !program_error &&
                                   std::none_of(report_.findings.begin(), report_.findings.end(),
                                                [](const CheckFinding& finding) { return finding.error; });
        std::stable_sort(report_.findings.begin(), report_.findings.end(),
                         [](const CheckFinding& a, const CheckFinding& b) { return a.line < b.line; });
        return std::move(report_);
    }

private:
    // The line (counted from 0) that holds the byte at `offset` of the decoded text.
    std::size_t lineAt(std::size_t offset) const
    {
        const auto after = std::upper_bound(lines_.begin(), lines_.end(), offset, [&](std::size_t at, std::string_view line) {
            return at < static_cast<std::size_t>(line.data() - text_.data());
        });
        return after == lines_.begin() ? 0 : static_cast<std::size_t>(after - lines_.begin()) - 1;
    }

    LineCursor cursorAt(std::size_t line) const
    {
        const std::size_t offset =
            line < lines_.size() ? static_cast<std::size_t>(lines_[line].data() - text_.data()) : text_.size();
        return LineCursor(text_, offset, line);
    }

    void checkEncoding()
    {
        for (const MalformedSequence& sequence : decoded_.malformed)
            warn(lineAt(sequence.textOffset), DescribeMalformed(sequence, bytes_));
        if (decoded_.encoding != TextEncoding::CodePage) return;
        // The text as read in the code page has its first letter outside ASCII where the file has.
        const auto outside_ascii = std::find_if(text_.begin(), text_.end(), [](char c) { return (c & 0x80) != 0; });
        const std::string_view file_text = bytes_.substr(0, bytes_.find('\0'));
        if (outside_ascii != text_.end() && FindMalformedUtf8(file_text) == file_text.size()) {
            warn(lineAt(static_cast<std::size_t>(outside_ascii - text_.begin())),
                 "looks like UTF-8 without a byte-order mark: Mappa reads a file without one in the system's ANSI "
                 "code page, so its letters outside ASCII would show wrongly; save it as UTF-8 with a byte-order mark");
        }
    }

    void walk()
    {
        const auto first_empty = std::find_if(lines_.begin(), lines_.end(), [](std::string_view l) { return l.empty(); });
        if (first_empty == lines_.end()) {
            fail(lines_.size(), "no empty line ends the data: add one after the last office");
            return;
        }
        DataFileHeader header;
        try {
            LineCursor cursor(text_);
            ReadHeader(cursor, header);
        } catch (const DataFileError& error) {
            fail(error.line(), error.what());
            return;
        }
        const auto data_end = static_cast<std::size_t>(first_empty - lines_.begin());
        if (data_end < header.firstBlock)
            warn(data_end, "empty line in the header: the program makes room for fewer offices than the file holds");

        std::size_t at = header.firstBlock;
        while (at < lines_.size() && !lines_[at].empty()) {
            const std::size_t start = at;
            LineCursor cursor = cursorAt(at);
            OfficeLines lines;
            std::optional<LocationView> record;
            std::optional<DataFileError> fault;
            try {
                record = ReadOfficeBlock(cursor, &lines);
            } catch (const DataFileError& error) {
                fault = error;
            }
            checkPreamble(lines);
            if (record) {
                checkRecord(*record, lines);
                at = cursor.lineNumber();
            } else {
                failBlock(start, lines, *fault);
                at = NextBlockStart(lines_, std::max(fault->line(), start + 1));
            }
        }
        if (at != data_end && data_end >= header.firstBlock)
            warn(data_end, "empty line inside an office: the program makes room for fewer offices than the file holds");
    }

    void failBlock(std::size_t start, const OfficeLines& lines, const DataFileError& error)
    {
        const std::size_t line = error.line();
        explained_.insert(line);
        if (line == lines.afterSeparators && line < lines_.size() && lines_[line].empty()) {
            fail(start, "a line starting with \"*\" stands before the empty line that ends the data: "
                        "the program takes it for another office and reports an error");
            return;
        }
        fail(line, error.what());
    }

    // A comment hides the line after it too, which must therefore be a separator.
    void checkPreamble(const OfficeLines& lines)
    {
        if (lines.skipped != OfficeLines::kNoLine && !IsSeparatorLine(lines_[lines.skipped])) {
            warn(lines.skipped, "this line is skipped because it follows a comment; put a separator line "
                                "(starting with \"*\") between a comment and the name line");
        }
    }

    void checkRecord(const LocationView& record, const OfficeLines& lines)
    {
        const std::size_t fax = lines.of(OfficeField::Fax);
        if (IsOptionalLine(lines_[fax])) {
            warn(fax, "read as the fax line, but it is a phone or toll-free line: optional lines must "
                      "stand in the order PHONE, LOCAL TOLL FREE, INTERNATIONAL TOLL FREE");
        }
        if (record.Name.empty())
            fail(lines.of(OfficeField::Name), "the office has no name: the program stops listing offices here");
        if (!KnownHemispheres(record.LatHemisphere, record.LongHemisphere)) {
            warn(lines.of(OfficeField::Latitude), "the hemisphere letters are not N or S and E or W: the office is "
                                                  "placed as if north and east");
        }
    }

    void summarise(LocationTable& table)
    {
        CheckSummary& summary = report_.summary;
        const std::size_t count = table.Locations.dataCount();
        summary.offices = count;
        std::set<std::string_view> countries;
        for (std::size_t i = 0; i < count; ++i) {
            const LocationView& office = table.Locations[i];
            if (!office.Country.empty()) countries.insert(office.Country);
            switch (KindOfOffice(office.OfficeType)) {
            case OfficeKind::Sales: ++summary.sales; break;
            case OfficeKind::Support: ++summary.support; break;
            case OfficeKind::Other: ++summary.other; break;
            }
            if (office.Phone.empty() && office.LocalToll.empty() && office.InterToll.empty()) ++summary.withoutPhone;
            if (map_) {
                try {
                    const MapPoint point = LocationTable::projectLocation(office, map_->width(), map_->height());
                    if (map_->isSea(point.x, point.y)) summary.inTheSea.emplace_back(office.Name);
                } catch (const std::exception&) {
                    summary.inTheSea.push_back(std::string(office.Name) + " (off the map)");
                }
            }
        }
        summary.countries = countries.size();
        if (zones_) checkTimes(table);
    }

    // How far a named zone may lie from an office's coordinates: borders on
    // the map and coordinates rounded in the file stay well inside it.
    static constexpr double kZoneReachKm = 300.0;

    void checkTimes(const LocationTable& table)
    {
        std::map<std::string, std::vector<std::string>> by_zone;
        const std::size_t count = std::min(table.Locations.dataCount(), table.TimeLines.size());
        for (std::size_t i = 0; i < count; ++i) {
            const LocationView& office = table.Locations[i];
            const OfficeTimeLines& lines = table.TimeLines[i];
            const Hemispheres sides = HemispheresOf(office.LatHemisphere, office.LongHemisphere);
            const double latitude = sides.south ? -office.Latitude : office.Latitude;
            const double longitude = sides.west ? -office.Longitude : office.Longitude;
            if (!lines.hours.empty()) {
                try {
                    localtime::OpeningHours::Parse(lines.hours);
                } catch (const localtime::OpeningHoursError& error) {
                    warn(lines.hoursLine, std::string("malformed opening hours: ") + error.what() +
                                              "; the office's hours are not shown");
                }
            }
            if (!lines.zone.empty() && !zones_->rules.CanonicalName(lines.zone)) {
                warn(lines.zoneLine, "unknown time zone \"" + std::string(lines.zone) +
                                         "\": the office's zone comes from its coordinates instead");
            }
            const localtime::OfficeZone zone =
                localtime::ZoneOfOffice(zones_->rules, zones_->map, latitude, longitude, lines.zone);
            if (zone.named && !zoneNear(zone, latitude, longitude)) {
                warn(lines.zoneLine, "the time zone " + std::string(zone.name) + " is more than " +
                                         std::to_string(static_cast<int>(kZoneReachKm)) +
                                         " km from the office's coordinates, which lie in " +
                                         std::string(zones_->map.ZoneAt(latitude, longitude)));
            }
            by_zone[std::string(zone.name)].emplace_back(office.Name);
        }
        report_.summary.byZone.assign(by_zone.begin(), by_zone.end());
    }

    // Whether a zone with the same rules lies within kZoneReachKm of the point,
    // looked for on circles around it.
    bool zoneNear(const localtime::OfficeZone& zone, double latitude, double longitude) const
    {
        constexpr double kRadians = 3.14159265358979323846 / 180.0;
        const auto same = [&](double lat, double lon) {
            return zones_->rules.Find(zones_->map.ZoneAt(lat, lon)) == zone.rules;
        };
        if (same(latitude, longitude)) return true;
        for (double distance = 10.0; distance <= kZoneReachKm; distance += 10.0) {
            const double angle = distance / 6371.0;
            for (int step = 0; step < 72; ++step) {
                const double bearing = step * 5.0 * kRadians, lat1 = latitude * kRadians;
                const double lat2 = std::asin(std::sin(lat1) * std::cos(angle) +
                                              std::cos(lat1) * std::sin(angle) * std::cos(bearing));
                const double lon2 = longitude * kRadians +
                                    std::atan2(std::sin(bearing) * std::sin(angle) * std::cos(lat1),
                                               std::cos(angle) - std::sin(lat1) * std::sin(lat2));
                double lon = lon2 / kRadians;
                if (lon > 180.0) lon -= 360.0;
                if (lon < -180.0) lon += 360.0;
                if (same(lat2 / kRadians, lon)) return true;
            }
        }
        return false;
    }

    bool reported(std::size_t line) const
    {
        if (explained_.count(line)) return true;
        return std::any_of(report_.findings.begin(), report_.findings.end(),
                           [&](const CheckFinding& finding) { return finding.error && finding.line == line + 1; });
    }
    void fail(std::size_t line, std::string text) { report_.findings.push_back({line + 1, std::move(text), true}); }
    void warn(std::size_t line, std::string text) { report_.findings.push_back({line + 1, std::move(text), false}); }

    std::string_view bytes_;
    DecodedText decoded_;
    std::string_view text_;
    std::vector<std::string_view> lines_;
    const LandMask* map_;
    const TimeZoneData* zones_;
    CheckReport report_;
    std::set<std::size_t> explained_;  // lines of faults already reported in other words
};

}  // namespace

std::optional<LandMask> LandMask::FromBmp(std::string_view bytes)
{
    if (bytes.size() < 54 || bytes.substr(0, 2) != "BM") return std::nullopt;
    const std::uint32_t pixels_at = ReadLittleEndian(bytes, 10, 4);
    const std::uint32_t header_size = ReadLittleEndian(bytes, 14, 4);
    const auto width = static_cast<std::int32_t>(ReadLittleEndian(bytes, 18, 4));
    const auto raw_height = static_cast<std::int32_t>(ReadLittleEndian(bytes, 22, 4));
    const std::uint32_t bits = ReadLittleEndian(bytes, 28, 2);
    const std::uint32_t compression = ReadLittleEndian(bytes, 30, 4);
    std::uint32_t colours = ReadLittleEndian(bytes, 46, 4);
    if (bits != 8 || compression != 0 || width <= 0 || raw_height == 0 || width > 65536) return std::nullopt;
    if (colours == 0) colours = 256;
    const bool bottom_up = raw_height > 0;
    const std::int64_t height = bottom_up ? raw_height : -static_cast<std::int64_t>(raw_height);
    if (height > 65536) return std::nullopt;
    const std::size_t palette_at = 14 + header_size;
    const std::size_t stride = (static_cast<std::size_t>(width) + 3) / 4 * 4;
    if (palette_at + colours * 4 > bytes.size() || pixels_at + stride * static_cast<std::size_t>(height) > bytes.size())
        return std::nullopt;

    LandMask mask;
    mask.width_ = width;
    mask.height_ = static_cast<int>(height);
    mask.sea_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (std::int64_t row = 0; row < height; ++row) {
        const std::size_t source_row = static_cast<std::size_t>(bottom_up ? height - 1 - row : row);
        for (std::int32_t x = 0; x < width; ++x) {
            const auto index = static_cast<unsigned char>(bytes[pixels_at + source_row * stride + static_cast<std::size_t>(x)]);
            if (index >= colours) continue;
            const std::size_t entry = palette_at + static_cast<std::size_t>(index) * 4;  // blue, green, red
            const auto blue = static_cast<unsigned char>(bytes[entry]);
            const auto green = static_cast<unsigned char>(bytes[entry + 1]);
            const auto red = static_cast<unsigned char>(bytes[entry + 2]);
            mask.sea_[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                blue > red && blue > green;
        }
    }
    return mask;
}

bool LandMask::isSea(std::int32_t x, std::int32_t y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return false;
    return sea_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
}

CheckReport CheckDataText(std::string_view bytes, const LandMask* map, const CodePageDecoder& codePage,
                          const TimeZoneData* zones)
{
    return Checker(bytes, codePage, map, zones).run();
}

std::string FormatReport(const CheckReport& report)
{
    std::string out = std::string("encoding: ") + EncodingName(report.encoding) + "\n";
    for (const CheckFinding& finding : report.findings)
        out += "line " + std::to_string(finding.line) + ": " + (finding.error ? "" : "warning: ") + finding.text + "\n";
    const CheckSummary& summary = report.summary;
    out += "offices read: " + std::to_string(summary.offices) + "\n";
    out += "countries: " + std::to_string(summary.countries) + "\n";
    out += "offices by type: sales " + std::to_string(summary.sales) + ", support " + std::to_string(summary.support) +
           ", other " + std::to_string(summary.other) + "\n";
    out += "offices with neither phone nor toll-free number: " + std::to_string(summary.withoutPhone) + "\n";
    out += "offices in the sea of the map: " + std::to_string(summary.inTheSea.size());
    for (const std::string& name : summary.inTheSea) out += "\n  " + name;
    out += "\n";
    if (!summary.byZone.empty()) {
        out += "offices by time zone: " + std::to_string(summary.byZone.size()) + " zones";
        for (const auto& [zone, offices] : summary.byZone) {
            out += "\n  " + zone + " (" + std::to_string(offices.size()) + "):";
            for (std::size_t i = 0; i < offices.size(); ++i) out += (i ? ", " : " ") + offices[i];
        }
        out += "\n";
    }
    out += report.loadsEveryOffice ? "result: the program shows every office\n"
                                   : "result: the program does not show every office\n";
    return out;
}

}  // namespace mappa
