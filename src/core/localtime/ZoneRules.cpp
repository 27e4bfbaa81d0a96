#include "localtime/ZoneRules.h"

#include <algorithm>
#include <stdexcept>

namespace mappa::localtime {

namespace {

class ByteReader {
public:
    explicit ByteReader(std::span<const unsigned char> data) : data_(data) {}

    std::uint64_t Varint() {
        std::uint64_t value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            const unsigned char byte = Byte();
            value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
            if ((byte & 0x80) == 0) return value;
        }
        Fail();
    }
    std::int64_t Signed() {
        const std::uint64_t value = Varint();
        return (value & 1) ? -static_cast<std::int64_t>(value >> 1) - 1 : static_cast<std::int64_t>(value >> 1);
    }
    // A count of items that each take at least one byte.
    std::size_t Count() {
        const std::uint64_t count = Varint();
        if (count > data_.size() - at_) Fail();
        return static_cast<std::size_t>(count);
    }
    unsigned char Byte() {
        if (at_ == data_.size()) Fail();
        return data_[at_++];
    }
    std::string Text() {
        const std::size_t length = Count();
        std::string text(reinterpret_cast<const char*>(data_.data() + at_), length);
        at_ += length;
        return text;
    }
    bool AtEnd() const { return at_ == data_.size(); }
    [[noreturn]] static void Fail() { throw std::runtime_error("the time-zone rules are damaged"); }

private:
    std::span<const unsigned char> data_;
    std::size_t at_ = 0;
};

}  // namespace

UtcOffset ZoneRules::OffsetAt(std::int64_t utcSeconds) const {
    const auto after = std::upper_bound(changeTimes_.begin(), changeTimes_.end(), utcSeconds);
    if (after == changeTimes_.end() && rule_) return rule_->OffsetAt(utcSeconds);
    if (after == changeTimes_.begin()) return offsets_[initial_];
    return offsets_[changeOffsets_[static_cast<std::size_t>(after - changeTimes_.begin()) - 1]];
}

std::optional<std::int64_t> ZoneRules::NextChange(std::int64_t utcSeconds) const {
    const UtcOffset now = OffsetAt(utcSeconds);
    for (auto at = std::upper_bound(changeTimes_.begin(), changeTimes_.end(), utcSeconds); at != changeTimes_.end();
         ++at) {
        if (!(offsets_[changeOffsets_[static_cast<std::size_t>(at - changeTimes_.begin())]] == now)) return *at;
    }
    if (!rule_) return std::nullopt;
    // The rule takes over after the last listed change, which may itself bring its offset.
    if (!changeTimes_.empty() && changeTimes_.back() > utcSeconds) {
        if (!(rule_->OffsetAt(changeTimes_.back()) == now)) return changeTimes_.back();
        utcSeconds = changeTimes_.back();
    }
    return rule_->NextChange(utcSeconds);
}

CivilTime ZoneRules::LocalTimeAt(std::int64_t utcSeconds) const {
    return CivilFromSeconds(utcSeconds + OffsetAt(utcSeconds).seconds);
}

ZoneDatabase ZoneDatabase::Parse(std::span<const unsigned char> data) {
    ByteReader reader(data);
    for (char c : std::string_view("MZR1")) {
        if (reader.Byte() != static_cast<unsigned char>(c)) ByteReader::Fail();
    }
    ZoneDatabase database;
    database.release_ = reader.Text();
    database.records_.resize(reader.Count());
    for (ZoneRules& record : database.records_) {
        record.offsets_.resize(reader.Count());
        if (record.offsets_.empty() || record.offsets_.size() > 0xFFFF) ByteReader::Fail();
        for (UtcOffset& offset : record.offsets_) {
            const std::int64_t seconds = reader.Signed();
            if (seconds < -86400 || seconds > 86400) ByteReader::Fail();
            offset.seconds = static_cast<std::int32_t>(seconds);
            offset.daylight = reader.Byte() != 0;
        }
        record.initial_ = static_cast<std::size_t>(reader.Varint());
        if (record.initial_ >= record.offsets_.size()) ByteReader::Fail();
        const std::size_t changes = reader.Count();
        record.changeTimes_.reserve(changes);
        record.changeOffsets_.reserve(changes);
        std::int64_t when = 0;
        for (std::size_t i = 0; i < changes; ++i) {
            const std::uint64_t step = reader.Varint();
            if (step == 0 || step > (std::uint64_t{1} << 40)) ByteReader::Fail();
            when += static_cast<std::int64_t>(step);
            const std::uint64_t offset = reader.Varint();
            if (offset >= record.offsets_.size()) ByteReader::Fail();
            record.changeTimes_.push_back(when);
            record.changeOffsets_.push_back(static_cast<std::uint16_t>(offset));
        }
        const std::string rule = reader.Text();
        if (!rule.empty()) {
            try {
                record.rule_ = PosixZoneRule::Parse(rule);
            } catch (const std::invalid_argument&) {
                ByteReader::Fail();
            }
        }
    }
    database.zones_.resize(reader.Count());
    for (Entry& zone : database.zones_) {
        zone.name = reader.Text();
        zone.record = static_cast<std::size_t>(reader.Varint());
        if (zone.record >= database.records_.size()) ByteReader::Fail();
    }
    if (!reader.AtEnd()) ByteReader::Fail();
    if (!std::is_sorted(database.zones_.begin(), database.zones_.end(),
                        [](const Entry& a, const Entry& b) { return a.name < b.name; })) {
        ByteReader::Fail();
    }
    database.recordsByName_.reserve(database.zones_.size());
    for (const Entry& zone : database.zones_) database.recordsByName_.emplace(zone.name, zone.record);
    return database;
}

const ZoneRules* ZoneDatabase::Find(std::string_view name) const {
    const auto at = recordsByName_.find(name);
    return at == recordsByName_.end() ? nullptr : &records_[at->second];
}

std::optional<std::string_view> ZoneDatabase::CanonicalName(std::string_view name) const {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (const Entry& zone : zones_) {
        if (zone.name.size() == name.size() &&
            std::equal(name.begin(), name.end(), zone.name.begin(),
                       [&](char a, char b) { return lower(a) == lower(b); })) {
            return std::string_view(zone.name);
        }
    }
    return std::nullopt;
}

std::vector<std::string_view> ZoneDatabase::Names() const {
    std::vector<std::string_view> names;
    names.reserve(zones_.size());
    for (const Entry& zone : zones_) names.push_back(zone.name);
    return names;
}

}  // namespace mappa::localtime
