#include "mapdata/LocationTable.h"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

namespace mappa {

void LocationSlots::reset(std::size_t slot_count)
{
    records_.clear();
    records_.shrink_to_fit();
    empty_tail_ = slot_count;
    data_count_ = 0;
    empty_slot_ = TLocation{};
}

bool LocationSlots::append(TLocation record)
{
    if (empty_tail_ == 0) return false;
    if (data_count_ == records_.size() && !record.Name.empty()) ++data_count_;
    records_.push_back(std::move(record));
    --empty_tail_;
    return true;
}

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

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

MapPoint LocationTable::projectLocation(const TLocation& location, std::int32_t width, std::int32_t height)
{
    const double step_x = 360.0 / width;
    const double step_y = 180.0 / height;
    const std::int64_t off_x = TruncateToInt64(location.Longitude / step_x);
    const std::int64_t off_y = TruncateToInt64(location.Latitude / step_y);
    const std::int64_t centre_x = width / 2;
    const std::int64_t centre_y = height / 2;

    const char lat = LowerAscii(location.LatHemisphere);
    const char lon = LowerAscii(location.LongHemisphere);
    const bool known = (lat == 'n' || lat == 's') && (lon == 'e' || lon == 'w');
    const bool east = !known || lon == 'e';
    const bool south = known && lat == 's';
    return {Shift(centre_x, off_x, east), Shift(centre_y, off_y, south)};
}

void LocationTable::computePositions(std::int32_t width, std::int32_t height)
{
    if (Locations.empty()) return;
    Locations.forEachSlotValue([&](TLocation& slot) {
        const MapPoint point = projectLocation(slot, width, height);
        slot.MapX = point.x;
        slot.MapY = point.y;
    });
}

TLocation LocationTable::getLocation(std::int32_t index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= Locations.size()) return {};
    return Locations[static_cast<std::size_t>(index)];
}

void LocationTable::findByCountry(const std::string& country, TLocation& record) const
{
    // Scanning backwards finds the same winner as copying every match in order.
    // The empty slots after the stored records can only match an empty country.
    const std::size_t end = country.empty() ? Locations.size() : Locations.storedCount();
    for (std::size_t i = end; i-- > 0;) {
        if (Locations[i].Country == country) {
            record = Locations[i];
            return;
        }
    }
}

}  // namespace mappa

