// The data file read from its bytes: every encoding gives the same offices,
// and malformed bytes stay where they are.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DataFileLines.h"
#include "mapdata/DataFile.h"

namespace mappa {
namespace {

using namespace test_lines;

// The office list of ReadsEveryFieldOfAFullFile's kind, with letters of
// Windows-1252, as an author might save it in each encoding.
const Lines kWesternFile = Cat({kHeader,
    {"*------", "NAME: Z\u00FCrich \u20AC AG", "ADDRESS: Bahnhofstra\u00DFe 1", "COUNTRY: Schweiz",
     "CITY: Z\u00FCrich", "POSTCODE: 8001", "PHONE: +41 1", "FAX: +41 2", "EMAIL: z@example.com",
     "LATITUDE: 47.37 N", "LONGITUDE: 8.54 E", "TYPE: Sales"},
    Block("S\u00E3o Paulo"), kEnd});

std::string InWindows1252(const std::string& utf8)
{
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += utf8[i];
        } else if (utf8.compare(i, 3, "\u20AC") == 0) {
            out += '\x80';
            i += 2;
        } else {  // two bytes, below U+0100
            out += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        }
    }
    return out;
}

std::string InUtf16(const std::string& utf8)
{
    std::string out = "\xFF\xFE";
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        char32_t unit = c;
        if (c >= 0xE0) {
            unit = ((c & 0x0F) << 12) | ((utf8[i + 1] & 0x3F) << 6) | (utf8[i + 2] & 0x3F);
            i += 2;
        } else if (c >= 0xC0) {
            unit = ((c & 0x1F) << 6) | (utf8[++i] & 0x3F);
        }
        out += static_cast<char>(unit & 0xFF);
        out += static_cast<char>(unit >> 8);
    }
    return out;
}

TEST(ReadDataBytes, EveryEncodingGivesTheSameRecords)
{
    LocationTable expected;
    ReadDataText(Join(kWesternFile), expected);
    ASSERT_EQ(expected.Locations.storedCount(), 2u);
    EXPECT_EQ(expected.Locations[0].Name, "Z\u00FCrich \u20AC AG");

    for (const char* eol : {"\r\n", "\n"}) {
        const std::string utf8 = Join(kWesternFile, eol);
        const struct {
            const char* what;
            std::string bytes;
        } files[] = {
            {"code page", InWindows1252(utf8)},
            {"UTF-8", "\xEF\xBB\xBF" + utf8},
            {"UTF-16", InUtf16(utf8)},
        };
        for (const auto& file : files) {
            SCOPED_TRACE(std::string(file.what) + (eol[1] ? " CR LF" : " LF"));
            LocationTable table;
            ASSERT_NO_THROW(ReadDataBytes(file.bytes, Windows1252(), table));
            EXPECT_EQ(table.Locations.size(), expected.Locations.size());
            EXPECT_EQ(table.Locations.storedCount(), 2u);
            for (std::size_t i = 0; i < 2; ++i) EXPECT_EQ(table.Locations[i], expected.Locations[i]);
        }
    }
}

TEST(ReadDataBytes, MalformedBytesNeitherCutALineNorShiftAField)
{
    const std::string bad[] = {"\xFF", "\xC3", "\xE6\x9D", "\xED\xA0\x80", "\xC0\xAF"};
    for (const std::string& bytes : bad) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        // In the name, before a field's space, and right before the line breaks.
        const Lines file = Cat({kHeader,
            {"*------", "NAME: A" + bytes, "ADDRESS:" + bytes + " x", "COUNTRY: C" + bytes, "CITY: D", "POSTCODE: E",
             "PHONE: 1", "FAX: F", "EMAIL: M", "LATITUDE: 1 N", "LONGITUDE: 2 E", "TYPE: T" + bytes},
            Block("B"), kEnd});
        LocationTable table;
        ASSERT_NO_THROW(ReadDataBytes("\xEF\xBB\xBF" + Join(file), Windows1252(), table));
        ASSERT_EQ(table.Locations.storedCount(), 2u);
        const auto& l = table.Locations[0];
        EXPECT_EQ(l.Name.substr(0, 4), "A\uFFFD");
        EXPECT_EQ(l.Extra1, "x");
        EXPECT_EQ(l.Country.substr(0, 4), "C\uFFFD");
        EXPECT_EQ(l.Phone, "1");
        EXPECT_EQ(l.OfficeType.substr(0, 4), "T\uFFFD");
        EXPECT_EQ(table.Locations[1].Name, "B");
        EXPECT_EQ(table.Locations.size(), SlotCount(file));
    }
}

}  // namespace
}  // namespace mappa
