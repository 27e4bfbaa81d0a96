#include "ui/OfficeTimes.h"

#include "localtime/OpeningHours.h"
#include "support/LanguageChoice.h"
#include "support/Support2Win.h"
#include "support/UiText.h"
#include "support/WinError.h"

namespace mappa {
namespace {

// The zone rules and the zone map, as resources of the module.
constexpr int kZoneMapResource = 103;
constexpr int kZoneRulesResource = 104;

std::span<const unsigned char> ModuleResource(int id)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));  // RCDATA
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) throw WindowsError(E_FAIL, "Cannot find the time-zone data");
    return {static_cast<const unsigned char*>(data), SizeofResource(module, found)};
}

SYSTEMTIME SystemTimeOf(const localtime::CivilTime& civil)
{
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(civil.year);
    time.wMonth = static_cast<WORD>(civil.month);
    time.wDay = static_cast<WORD>(civil.day);
    time.wDayOfWeek = static_cast<WORD>(civil.weekday);
    time.wHour = static_cast<WORD>(civil.hour);
    time.wMinute = static_cast<WORD>(civil.minute);
    time.wSecond = static_cast<WORD>(civil.second);
    return time;
}

// In the short time format, without seconds.
std::string ClockText(const localtime::CivilTime& civil, const TimeWords& words = {})
{
    const SYSTEMTIME time = SystemTimeOf(civil);
    wchar_t text[64];
    if (GetTimeFormatEx(words.locale, TIME_NOSECONDS, &time, nullptr, text, 64) <= 0) return {};
    return WideToUtf8(text);
}

// The day's name, or its abbreviation, in the locale's language.
std::string DayText(const localtime::CivilTime& civil, const TimeWords& words = {})
{
    const SYSTEMTIME time = SystemTimeOf(civil);
    wchar_t text[64];
    if (GetDateFormatEx(words.locale, 0, &time, words.shortDays ? L"ddd" : L"dddd", text, 64, nullptr) <= 0) return {};
    return WideToUtf8(text);
}

// "open, closes 17:30", "closed, opens Monday 09:00", "open".
std::string StateText(const OfficeTimeReading& reading, const TimeWords& words)
{
    const localtime::OpenState& state = *reading.clock.hours;
    if (!state.change) return UiTextUtf8(state.open ? IDS_OPEN_ALWAYS : IDS_CLOSED_ALWAYS);
    const localtime::CivilTime& now = reading.clock.local;
    const std::int64_t wall = localtime::DaysFromCivil(now.year, now.month, now.day) * 86400 + now.hour * 3600 +
                              now.minute * 60 + std::int64_t{state.minutesToChange} * 60;
    const localtime::CivilTime change = localtime::CivilFromSeconds(wall);
    const bool today = change.year == now.year && change.month == now.month && change.day == now.day;
    const unsigned pattern = state.open ? (today ? IDS_OPEN_CLOSES_AT : IDS_OPEN_CLOSES_ON)
                                        : (today ? IDS_CLOSED_OPENS_AT : IDS_CLOSED_OPENS_ON);
    return FillText(UiTextUtf8(pattern), {ClockText(change, words), DayText(change, words)});
}

}  // namespace

const OfficeTimes& OfficeTimes::Bundled()
{
    static const OfficeTimes times(ModuleResource(kZoneRulesResource), ModuleResource(kZoneMapResource));
    return times;
}

OfficeTimes::OfficeTimes(std::span<const unsigned char> rules, std::span<const unsigned char> map)
    : rules_(localtime::ZoneDatabase::Parse(rules)), map_(localtime::ZoneMap::Parse(map))
{
}

std::int64_t OfficeTimes::Now()
{
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    constexpr std::uint64_t kTicksTo1970 = 116444736000000000ull;  // 100 ns steps from 1601
    return static_cast<std::int64_t>((ticks - kTicksTo1970) / 10000000ull);
}

unsigned OfficeTimes::MillisecondsToNextMinute()
{
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t ticks = (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const auto into_minute = static_cast<unsigned>(ticks / 10000 % 60000);
    return 60000 - into_minute + 20;
}

OfficeTimeReading OfficeTimes::readAt(double latitude, double longitude, const OfficeTimeLines* lines,
                                      std::int64_t utcSeconds) const
{
    const localtime::OfficeZone zone =
        localtime::ZoneOfOffice(rules_, map_, latitude, longitude, lines ? lines->zone : std::string_view());
    std::optional<localtime::OpeningHours> hours;
    if (lines && !lines->hours.empty()) {
        try {
            hours = localtime::OpeningHours::Parse(lines->hours);
        } catch (const localtime::OpeningHoursError&) {
            // mappa-check reports it; the office just shows no hours.
        }
    }
    return {std::string(zone.name), localtime::ReadOfficeClock(*zone.rules, hours ? &*hours : nullptr, utcSeconds)};
}

std::string LocalTimeShortText(const OfficeTimeReading& reading)
{
    return FillText(UiTextUtf8(IDS_LOCAL_TIME_SHORT), {ClockText(reading.clock.local), DayText(reading.clock.local)});
}

std::string LocalTimePanelText(const OfficeTimeReading& reading, const TimeWords& words)
{
    const std::string now = FillText(UiTextUtf8(IDS_LOCAL_TIME_NOW),
                                     {ClockText(reading.clock.local, words), DayText(reading.clock.local, words),
                                      localtime::UtcOffsetText(reading.clock.offset.seconds)});
    if (!reading.clock.hours) return now;
    return FillText(UiTextUtf8(IDS_TIME_AND_STATE), {now, StateText(reading, words)});
}

std::string LocalTimeTipText(const OfficeTimeReading& reading)
{
    const std::string now = FillText(UiTextUtf8(IDS_TIP_LOCAL_TIME), {ClockText(reading.clock.local)});
    if (!reading.clock.hours) return now;
    return FillText(UiTextUtf8(IDS_TIME_AND_STATE),
                    {now, UiTextUtf8(reading.clock.hours->open ? IDS_TIP_OPEN : IDS_TIP_CLOSED)});
}

}  // namespace mappa
