// The location table: every office of the data file, the two web addresses of
// its header, and each office's pixel position on a map picture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mapdata/Location.h"
#include "mapdata/OfficeTimeLines.h"

namespace mappa {

struct MapPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    bool operator==(const MapPoint&) const = default;
};

// Which side of the equator and of the meridian a coordinate's letters put it
// on (either case). Letters that form no N/S + E/W pair count as N and E, so
// that a coordinate written only with a sign still lands where its sign says;
// the map and everything that shows a coordinate follow this one rule.
struct Hemispheres {
    bool south = false;
    bool west = false;
};
Hemispheres HemispheresOf(char latHemisphere, char longHemisphere);
// Whether the letters form an N/S + E/W pair, which HemispheresOf then follows.
bool KnownHemispheres(char latHemisphere, char longHemisphere);

// The table's slots. The loader sizes the table by the number of lines before
// the file's first empty line, which is several times the number of offices;
// only the stored records take memory, and every slot after them reads as the
// one shared empty record.
//
// A slot is a LocationView into text that the table keeps: the decoded data
// file as a whole, so that loading costs no allocation per office. Views stay
// valid, and in place, as long as the table.
class LocationSlots {
public:
    LocationSlots() = default;
    LocationSlots(const LocationSlots&) = delete;
    LocationSlots& operator=(const LocationSlots&) = delete;
    // Views point into text held on the heap, so they survive a move.
    LocationSlots(LocationSlots&&) = default;
    LocationSlots& operator=(LocationSlots&&) = default;

    std::size_t size() const { return slot_count_; }
    bool empty() const { return size() == 0; }
    const LocationView& operator[](std::size_t index) const
    {
        return index < stored_ ? chunks_[index / kChunk][index % kChunk] : empty_slot_;
    }

    // Number of slots before the first one with an empty name: the offices
    // that the window lists, draws and searches.
    std::size_t dataCount() const { return data_count_; }
    // Number of records stored by the loader; every later slot is empty.
    std::size_t storedCount() const { return stored_; }

    // Empties the table, text included, and gives it `slot_count` slots.
    void reset(std::size_t slot_count);
    // Stores the next record, with a copy of its text; false when every slot is taken.
    bool append(const TLocation& record);

    // For the loader, which learns the number of slots only as it reads:
    // keeps `text` for the records appended with appendView, and returns it
    // where it now stays.
    std::string_view holdText(std::string text);
    // Stores the next record; its text must lie in text that the table holds.
    bool appendView(const LocationView& record);
    // Fixes the number of slots; the records stored so far must fit.
    void setSlotCount(std::size_t slot_count);

    template <typename Function>
    void forEachSlotValue(Function&& function)
    {
        for (std::size_t i = 0; i < stored_; ++i) function(chunks_[i / kChunk][i % kChunk]);
        function(empty_slot_);
    }

private:
    static constexpr std::size_t kChunk = 256;  // records per block of storage (kept below the sizes that malloc maps apart)
    struct FreeChunk {
        void operator()(LocationView* chunk) const;
    };

    std::vector<std::unique_ptr<LocationView[], FreeChunk>> chunks_;  // blocks never move once made
    std::vector<std::unique_ptr<std::string>> texts_;
    std::size_t stored_ = 0;
    std::size_t slot_count_ = 0;
    std::size_t data_count_ = 0;
    LocationView empty_slot_;
};

class LocationTable {
public:
    LocationSlots Locations;
    std::string WebLink;   // company web site
    std::string WebLink2;  // support web site
    // The hours and zone lines of each stored office, by slot; they view
    // the text that Locations holds.
    std::vector<OfficeTimeLines> TimeLines;

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
    // The slot of the winner, if any.
    std::optional<std::size_t> findByCountry(std::string_view country, TLocation& record) const;

    // Equirectangular projection with latitude 0, longitude 0 at the centre.
    // The hemisphere letters count as HemispheresOf reads them.
    template <typename Text>
    static MapPoint projectLocation(const BasicLocation<Text>& location, std::int32_t width, std::int32_t height)
    {
        return projectCoordinates(location.Latitude, location.LatHemisphere, location.Longitude,
                                  location.LongHemisphere, width, height);
    }

private:
    static MapPoint projectCoordinates(double latitude, char latHemisphere, double longitude, char longHemisphere,
                                       std::int32_t width, std::int32_t height);
};

}  // namespace mappa
