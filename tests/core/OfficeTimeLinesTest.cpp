#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "mapdata/DataFile.h"

namespace mappa {
namespace {

std::string ReadWhole(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file) << path;
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void ExpectSameOffices(const LocationTable& with, const LocationTable& without)
{
    ASSERT_EQ(with.Locations.dataCount(), without.Locations.dataCount());
    ASSERT_EQ(with.Locations.storedCount(), without.Locations.storedCount());
    for (std::size_t i = 0; i <= without.Locations.dataCount(); ++i)
        EXPECT_EQ(with.Locations[i], without.Locations[i]) << without.Locations[i].Name;
    EXPECT_EQ(with.WebLink, without.WebLink);
    EXPECT_EQ(with.WebLink2, without.WebLink2);
}

// The hours and zones sit where every reader skips them: the offices, their
// fields and order, and the web addresses are those of the file without them.
TEST(OfficeTimeLines, FileWithHoursReadsAsTheFileWithout)
{
    LocationTable with, without;
    ReadDataBytes(ReadWhole(std::string(MAPPA_TEST_DATA) + "/Mappa2-hours.dat"), Windows1252(), with);
    ReadDataBytes(ReadWhole(std::string(MAPPA_TEST_DATA) + "/../../resources/Mappa2.dat"), Windows1252(), without);
    ExpectSameOffices(with, without);

    ASSERT_EQ(with.TimeLines.size(), with.Locations.storedCount());
    std::size_t hours = 0, zones = 0;
    for (const OfficeTimeLines& lines : with.TimeLines) {
        hours += !lines.hours.empty();
        zones += !lines.zone.empty();
    }
    EXPECT_EQ(hours, 46u);
    EXPECT_EQ(zones, 4u);
    // The first office's run already had a comment; the new line joined it.
    EXPECT_EQ(with.TimeLines[0].hours, "Mo-Fr 09:00-17:30; Sa 10:00-13:00");
    EXPECT_EQ(with.TimeLines[0].hoursLine, 14u);
    EXPECT_EQ(with.TimeLines[0].zone, "");
    for (const OfficeTimeLines& lines : without.TimeLines) {
        EXPECT_TRUE(lines.hours.empty());
        EXPECT_TRUE(lines.zone.empty());
    }
}

const std::string kHead = "*\nhttps://a.example/\n*\nhttps://b.example/\n";
const std::string kBody = "NAME: N\nADDRESS: a\nCOUNTRY: C\nCITY: c\nPOSTCODE: 1\nFAX: f\nEMAIL: e\n"
                          "LATITUDE: 35.0 N\nLONGITUDE: 135.7 E\nTYPE: Sales\n";

TEST(OfficeTimeLines, OnlyTheCommentRunAtTheBlockStartCounts)
{
    LocationTable table;
    ReadDataText(kHead +
                     "*--\n//HOURS:  Mo-Fr 09:00-17:00 \n// note\n   // TIMEZONE: Asia/Tokyo\n*--\n" + kBody +
                     // Labels must be exact; a line after the run is skipped, not read.
                     "*--\n// hours: Mo 09:00-10:00\n// TIMEZONE Asia/Tokyo\n*--\n" + kBody +
                     "*--\n" + kBody + "\n// HOURS: Mo 09:00-10:00\n",
                 table);
    ASSERT_EQ(table.TimeLines.size(), 3u);
    EXPECT_EQ(table.TimeLines[0].hours, "Mo-Fr 09:00-17:00");
    EXPECT_EQ(table.TimeLines[0].hoursLine, 5u);
    EXPECT_EQ(table.TimeLines[0].zone, "Asia/Tokyo");
    EXPECT_EQ(table.TimeLines[0].zoneLine, 7u);
    for (std::size_t i : {1u, 2u}) {
        EXPECT_TRUE(table.TimeLines[i].hours.empty()) << i;
        EXPECT_TRUE(table.TimeLines[i].zone.empty()) << i;
    }
}

// A fault after the new lines is the same fault, and what was read before it stays the same.
TEST(OfficeTimeLines, FaultsReadAsInTheFileWithout)
{
    const std::string bad = "NAME: M\nADDRESS: a\nCOUNTRY: C\nCITY: c\nPOSTCODE: 1\nFAX: f\nEMAIL: e\n"
                            "LATITUDE: 35.0N\nLONGITUDE: 135.7 E\nTYPE: Sales\n\n";
    LocationTable with, without;
    EXPECT_THROW(ReadDataText(kHead + "*--\n// TIMEZONE: Asia/Tokyo\n*--\n" + kBody +
                                  "*--\n// HOURS: 24/7\n*--\n" + bad,
                              with),
                 DataFileError);
    EXPECT_THROW(ReadDataText(kHead + "*--\n" + kBody + "*--\n" + bad, without), DataFileError);
    ExpectSameOffices(with, without);
    EXPECT_EQ(with.TimeLines.size(), 1u);
}

}  // namespace
}  // namespace mappa
