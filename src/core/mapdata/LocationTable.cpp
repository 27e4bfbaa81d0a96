#include "mapdata/LocationTable.h"

#include <cmath>
#include <limits>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "support/Support2.h"

namespace mappa {

// Blocks of records are raw storage filled one record at a time: nothing to
// destroy, and no page is touched before a record lands on it.
static_assert(std::is_trivially_destructible_v<LocationView> && std::is_trivially_copyable_v<LocationView>);

void LocationSlots::FreeChunk::operator()(LocationView* chunk) const { ::operator delete(chunk); }

void LocationSlots::reset(std::size_t slot_count)
{
    chunks_.clear();
    chunks_.shrink_to_fit();
    texts_.clear();
    texts_.shrink_to_fit();
    stored_ = 0;
    slot_count_ = slot_count;
    data_count_ = 0;
    empty_slot_ = LocationView{};
}

std::string_view LocationSlots::holdText(std::string text)
{
    texts_.push_back(std::make_unique<std::string>(std::move(text)));
    return *texts_.back();
}

bool LocationSlots::appendView(const LocationView& record)
{
    if (stored_ == slot_count_) return false;
    if (stored_ % kChunk == 0) {
        chunks_.emplace_back(static_cast<LocationView*>(::operator new(sizeof(LocationView) * kChunk)));
    }
    ::new (static_cast<void*>(&chunks_.back()[stored_ % kChunk])) LocationView(record);
    if (data_count_ == stored_ && !record.Name.empty()) ++data_count_;
    ++stored_;
    return true;
}

bool LocationSlots::append(const TLocation& record)
{
    if (stored_ == slot_count_) return false;
    std::string text;
    ForEachTextField(record, record, [&](const std::string& field, const std::string&) { text += field; });
    const std::string_view held = holdText(std::move(text));
    LocationView view = ConvertLocation<std::string_view>(record);
    std::size_t at = 0;
    ForEachTextField(view, record, [&](std::string_view& field, const std::string& source) {
        field = held.substr(at, source.size());
        at += source.size();
    });
    return appendView(view);
}

void LocationSlots::setSlotCount(std::size_t slot_count)
{
    if (slot_count < stored_) throw std::logic_error("fewer slots than stored records");
    slot_count_ = slot_count;
}

namespace {

std::int64_t TruncateToInt64(double value)
{
    // 2^63 is exactly representable; anything at or past it (or NaN) does not fit.
    constexpr double limit = 9223372036854775808.0;
    if (!(value > -limit && value < limit)) throw std::range_error("Map position out of range");
    return static_cast<std::int64_t>(std::trunc(value));
}

std::int32_t ToInt32(std::int64_t value)
{
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        throw std::range_error("Map position out of range");
    return static_cast<std::int32_t>(value);
}

// Centre plus or minus an offset, both formed in 64 bits; the subtraction of a
// huge offset is checked before it could overflow.
std::int32_t Shift(std::int64_t centre, std::int64_t offset, bool add)
{
    if (!add && offset == std::numeric_limits<std::int64_t>::min()) throw std::range_error("Map position out of range");
    const std::int64_t signed_offset = add ? offset : -offset;
    if ((signed_offset > 0 && centre > std::numeric_limits<std::int64_t>::max() - signed_offset) ||
        (signed_offset < 0 && centre < std::numeric_limits<std::int64_t>::min() - signed_offset))
        throw std::range_error("Map position out of range");
    return ToInt32(centre + signed_offset);
}

}  // namespace

bool KnownHemispheres(char latHemisphere, char longHemisphere)
{
    const char lat = LowerAscii(latHemisphere);
    const char lon = LowerAscii(longHemisphere);
    return (lat == 'n' || lat == 's') && (lon == 'e' || lon == 'w');
}

Hemispheres HemispheresOf(char latHemisphere, char longHemisphere)
{
    const bool known = KnownHemispheres(latHemisphere, longHemisphere);
    return {known && LowerAscii(latHemisphere) == 's', known && LowerAscii(longHemisphere) == 'w'};
}

MapPoint LocationTable::projectCoordinates(double latitude, char latHemisphere, double longitude, char longHemisphere,
                                           std::int32_t width, std::int32_t height)
{
    const double step_x = 360.0 / width;
    const double step_y = 180.0 / height;
    const std::int64_t off_x = TruncateToInt64(longitude / step_x);
    const std::int64_t off_y = TruncateToInt64(latitude / step_y);
    const std::int64_t centre_x = width / 2;
    const std::int64_t centre_y = height / 2;

    const Hemispheres sides = HemispheresOf(latHemisphere, longHemisphere);
    return {Shift(centre_x, off_x, !sides.west), Shift(centre_y, off_y, sides.south)};
}

void LocationTable::computePositions(std::int32_t width, std::int32_t height)
{
    if (Locations.empty()) return;
    Locations.forEachSlotValue([&](LocationView& slot) {
        const MapPoint point = projectLocation(slot, width, height);
        slot.MapX = point.x;
        slot.MapY = point.y;
    });
}

TLocation LocationTable::getLocation(std::int32_t index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= Locations.size()) return {};
    return ToLocation(Locations[static_cast<std::size_t>(index)]);
}

std::optional<std::size_t> LocationTable::findByCountry(std::string_view country, TLocation& record) const
{
    // Scanning backwards finds the same winner as copying every match in order.
    // The empty slots after the stored records can only match an empty country.
    const std::size_t end = country.empty() ? Locations.size() : Locations.storedCount();
    for (std::size_t i = end; i-- > 0;) {
        if (Locations[i].Country == country) {
            record = ToLocation(Locations[i]);
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace mappa

