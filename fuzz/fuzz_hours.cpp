// Fuzzes what the data file's authors write about an office's time: the
// HOURS and TIMEZONE comment lines, the opening hours read from them, the
// zone they name, found in the rules that the program carries, and the
// office's clock from that zone. It also reads the POSIX rule text that
// closes every zone's rules.
//
// The input is text lines: the hours, then the zone name, then a POSIX rule;
// the instant, the coordinates and a moment of the week come from its last
// bytes (about 30, which the seeds give on a fourth line).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "localtime/CivilTime.h"
#include "localtime/OfficeClock.h"
#include "localtime/OpeningHours.h"
#include "localtime/PosixZoneRule.h"
#include "localtime/ZoneMap.h"
#include "localtime/ZoneRules.h"
#include "mapdata/OfficeTimeLines.h"

#define FUZZ_CHECK(condition)                                                           \
    do {                                                                                \
        if (!(condition)) {                                                             \
            std::fprintf(stderr, "fuzz_hours: check failed at line %d: %s\n", __LINE__, \
                         #condition);                                                   \
            std::abort();                                                               \
        }                                                                               \
    } while (false)

namespace {

using namespace mappa;
using namespace mappa::localtime;

constexpr int kDay = 24 * 60;
constexpr int kWeek = 7 * kDay;
// The instants a system clock gives: 1900 to 2200.
constexpr std::int64_t kEarliest = -2208988800;
constexpr std::int64_t kLatest = 7258118400;

std::vector<unsigned char> ReadFile(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        std::fprintf(stderr, "fuzz_hours: cannot read %s\n", path);
        std::abort();
    }
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct ZoneData {
    std::vector<unsigned char> rulesBytes = ReadFile(MAPPA_FUZZ_ZONE_RULES);
    std::vector<unsigned char> mapBytes = ReadFile(MAPPA_FUZZ_ZONE_MAP);
    ZoneDatabase rules = ZoneDatabase::Parse(rulesBytes);
    ZoneMap map = ZoneMap::Parse(mapBytes);
};

const ZoneData& Zones()
{
    static const ZoneData data;
    return data;
}

bool Within(std::string_view part, std::string_view whole)
{
    return part.empty() || (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

bool Blank(char c) { return c == ' ' || c == '\t'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

WeekTime Later(WeekTime from, int minutes)
{
    const int at = (from.day * kDay + from.minute + minutes) % kWeek;
    return {at / kDay, at % kDay};
}

// A comment line gives back what follows its label, trimmed, and views into the line.
void CheckTimeLine(std::string_view label, const std::string& value, bool hours)
{
    const std::string line = "// " + std::string(label) + " " + value;
    OfficeTimeLines lines;
    NoteTimeLine(line, 7, lines);
    const std::string_view taken = hours ? lines.hours : lines.zone;
    FUZZ_CHECK(Within(taken, line));
    FUZZ_CHECK((hours ? lines.hoursLine : lines.zoneLine) == 7);
    FUZZ_CHECK((hours ? lines.zone : lines.hours).empty());
    FUZZ_CHECK(taken.empty() || (!Blank(taken.front()) && !Blank(taken.back())));
    FUZZ_CHECK(value.find(taken) != std::string::npos);
}

// The state at a moment agrees with the state at its next change and just before it.
void CheckHours(const std::string& text, WeekTime now)
{
    std::optional<OpeningHours> hours;
    try {
        hours = OpeningHours::Parse(text);
    } catch (const OpeningHoursError& error) {
        FUZZ_CHECK(error.what()[0] != '\0');
        return;
    }
    const OpenState state = hours->StateAt(now);
    FUZZ_CHECK(state.open == hours->IsOpenAt(now));
    if (!state.change) {
        // Never changes: the same at every hour of the week.
        for (int minute = 0; minute < kWeek; minute += 60 + now.minute % 7)
            FUZZ_CHECK(hours->IsOpenAt(Later({0, 0}, minute)) == state.open);
        return;
    }
    FUZZ_CHECK(state.minutesToChange >= 1 && state.minutesToChange <= kWeek);
    FUZZ_CHECK(*state.change == Later(now, state.minutesToChange));
    FUZZ_CHECK(hours->IsOpenAt(*state.change) != state.open);
    FUZZ_CHECK(hours->IsOpenAt(Later(now, state.minutesToChange - 1)) == state.open);
    FUZZ_CHECK(hours->IsOpenAt(Later(now, state.minutesToChange / 2)) == state.open);
    // From the change, the next change is the other way.
    const OpenState next = hours->StateAt(*state.change);
    FUZZ_CHECK(next.open != state.open && next.change);
}

void CheckZone(const std::string& name, double latitude, double longitude, std::int64_t utcSeconds,
               const std::string& hoursText)
{
    const ZoneData& zones = Zones();
    const std::optional<std::string_view> canonical = zones.rules.CanonicalName(name);
    if (canonical) {
        FUZZ_CHECK(SameIgnoringCase(*canonical, name));
        FUZZ_CHECK(zones.rules.Find(*canonical) != nullptr);
    }
    if (const ZoneRules* exact = zones.rules.Find(name)) FUZZ_CHECK(canonical && exact == zones.rules.Find(*canonical));

    const OfficeZone zone = ZoneOfOffice(zones.rules, zones.map, latitude, longitude, name);
    FUZZ_CHECK(zone.rules != nullptr && !zone.name.empty());
    FUZZ_CHECK(zone.named == canonical.has_value());
    if (canonical) FUZZ_CHECK(zone.name == *canonical);
    FUZZ_CHECK(zone.rules == zones.rules.Find(zone.name));

    std::optional<OpeningHours> hours;
    try {
        hours = OpeningHours::Parse(hoursText);
    } catch (const OpeningHoursError&) {
    }
    const OfficeClock clock = ReadOfficeClock(*zone.rules, hours ? &*hours : nullptr, utcSeconds);
    FUZZ_CHECK(clock.offset.seconds > -26 * 3600 && clock.offset.seconds < 26 * 3600);
    const CivilTime expected = CivilFromSeconds(utcSeconds + clock.offset.seconds);
    FUZZ_CHECK(clock.local.year == expected.year && clock.local.month == expected.month &&
               clock.local.day == expected.day && clock.local.hour == expected.hour &&
               clock.local.minute == expected.minute && clock.local.weekday == expected.weekday);
    FUZZ_CHECK(clock.hours.has_value() == hours.has_value());
    if (const auto change = zone.rules->NextChange(utcSeconds)) FUZZ_CHECK(*change > utcSeconds);
}

void CheckPosixRule(const std::string& text, std::int64_t utcSeconds)
{
    std::optional<PosixZoneRule> rule;
    try {
        rule = PosixZoneRule::Parse(text);
    } catch (const std::invalid_argument&) {
        return;
    }
    const UtcOffset offset = rule->OffsetAt(utcSeconds);
    FUZZ_CHECK(offset.seconds >= -26 * 3600 && offset.seconds <= 26 * 3600);  // hours up to 24, an hour of daylight time on top
    const std::optional<std::int64_t> change = rule->NextChange(utcSeconds);
    if (!rule->HasDaylightTime()) {
        FUZZ_CHECK(!change && !offset.daylight);
        return;
    }
    if (!change) {
        // Daylight time all year, or the same offset in both: so for the year and more to come.
        for (int month = 1; month <= 14; ++month) FUZZ_CHECK(rule->OffsetAt(utcSeconds + month * 30 * 86400) == offset);
        return;
    }
    FUZZ_CHECK(*change > utcSeconds);
    FUZZ_CHECK(!(rule->OffsetAt(*change) == offset));
    FUZZ_CHECK(rule->OffsetAt(*change - 1) == offset);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    const std::int64_t utcSeconds = provider.ConsumeIntegralInRange<std::int64_t>(kEarliest, kLatest);
    const double latitude = provider.ConsumeFloatingPointInRange<double>(-100.0, 100.0);
    const double longitude = provider.ConsumeFloatingPointInRange<double>(-200.0, 200.0);
    const WeekTime now{provider.ConsumeIntegralInRange<int>(0, 6), provider.ConsumeIntegralInRange<int>(0, kDay - 1)};
    const std::string text = provider.ConsumeRemainingBytesAsString();

    std::vector<std::string> lines;
    for (std::size_t start = 0; lines.size() < 3;) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    lines.resize(3);
    const std::string& hours = lines[0];
    const std::string& zone = lines[1];

    CheckTimeLine("HOURS:", hours, true);
    CheckTimeLine("TIMEZONE:", zone, false);
    CheckHours(hours, now);
    CheckZone(zone, latitude, longitude, utcSeconds, hours);
    CheckPosixRule(lines[2], utcSeconds);
    return 0;
}
