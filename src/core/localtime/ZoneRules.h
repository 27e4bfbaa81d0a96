// The IANA time-zone rules that the program carries: one record per distinct
// zone, read from the compact form that tools/make-zone-rules writes from the
// build machine's tzdata.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "localtime/CivilTime.h"
#include "localtime/PosixZoneRule.h"
#include "localtime/UtcOffset.h"

namespace mappa::localtime {

class ZoneRules {
public:
    UtcOffset OffsetAt(std::int64_t utcSeconds) const;
    // The first instant after utcSeconds at which the offset changes, if any.
    std::optional<std::int64_t> NextChange(std::int64_t utcSeconds) const;
    // The wall clock of the zone at an instant.
    CivilTime LocalTimeAt(std::int64_t utcSeconds) const;

private:
    friend class ZoneDatabase;
    std::vector<UtcOffset> offsets_;
    std::size_t initial_ = 0;               // in force before the first change
    std::vector<std::int64_t> changeTimes_;  // ascending, after 1970
    std::vector<std::uint16_t> changeOffsets_;
    std::optional<PosixZoneRule> rule_;      // after the last change
};

class ZoneDatabase {
public:
    // Throws std::runtime_error when the data are not in the expected form.
    static ZoneDatabase Parse(std::span<const unsigned char> data);

    // Names are IANA's, compared exactly ("Asia/Tokyo", "Etc/GMT-9").
    const ZoneRules* Find(std::string_view name) const;
    // The zone's name as the database spells it, found ignoring letter case.
    std::optional<std::string_view> CanonicalName(std::string_view name) const;
    const std::string& Release() const { return release_; }
    std::vector<std::string_view> Names() const;

private:
    struct Entry {
        std::string name;
        std::size_t record;
    };
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const noexcept { return std::hash<std::string_view>{}(name); }
    };
    std::string release_;
    std::vector<ZoneRules> records_;
    std::vector<Entry> zones_;  // sorted by name
    // Name to record: the window finds the rules of every office by name.
    std::unordered_map<std::string, std::size_t, NameHash, std::equal_to<>> recordsByName_;
};

}  // namespace mappa::localtime
