// The location table: every office of the data file, the two web addresses of
// its header, and each office's pixel position on a map picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "mapdata/Location.h"

namespace mappa {

struct MapPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const MapPoint&) const = default;
};

// The table's slots. The loader sizes the table by the number of lines before
// the file's first empty line, which is several times the number of offices;
// only the stored records take memory, and every slot after them reads as the
// one shared empty record.
class LocationSlots {
public:
    std::size_t size() const { return records_.size() + empty_tail_; }
    bool empty() const { return size() == 0; }
    const TLocation& operator[](std::size_t index) const
    {
        return index < records_.size() ? records_[index] : empty_slot_;
    }

    // Number of slots before the first one with an empty name: the offices
    // that the window lists, draws and searches.
    std::size_t dataCount() const { return data_count_; }
    // Number of records stored by the loader; every later slot is empty.
    std::size_t storedCount() const { return records_.size(); }

    void reset(std::size_t slot_count);
    // Stores the next record; false when every slot is taken.
    bool append(TLocation record);

    template <typename Function>
    void forEachSlotValue(Function&& function)
    {
        for (auto& record : records_) function(record);
        function(empty_slot_);
    }

private:
    std::vector<TLocation> records_;
    std::size_t empty_tail_ = 0;
    std::size_t data_count_ = 0;
    TLocation empty_slot_;
};

class LocationTable {
public:
    LocationSlots Locations;
    std::string WebLink;   // company web site
    std::string WebLink2;  // support web site

    LocationTable() = default;
    virtual ~LocationTable() = default;
    LocationTable(const LocationTable&) = delete;
    LocationTable& operator=(const LocationTable&) = delete;

    // Positions every slot, empty ones included, on a picture of that size.
    void computePositions(std::int32_t width, std::int32_t height);

    // A copy of one slot; an empty record for an index outside the table.
    TLocation getLocation(std::int32_t index) const;

    // Copies every slot whose Country equals `country` exactly into `record`,
    // so the last match in table order wins; no match leaves `record` as it was.
    void findByCountry(const std::string& country, TLocation& record) const;

    // Equirectangular projection with latitude 0, longitude 0 at the centre.
    // Letters that form no N/S + E/W pair count as N and E, so a coordinate
    // written only with a sign still lands where its sign says.
    static MapPoint projectLocation(const TLocation& location, std::int32_t width, std::int32_t height);
};

}  // namespace mappa
