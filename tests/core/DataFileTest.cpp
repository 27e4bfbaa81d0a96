#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "DataFileLines.h"
#include "mapdata/DataFile.h"

namespace mappa {

namespace {

using namespace test_lines;

// Reads the lines into `table`; the line of the fault, if any.
std::optional<std::size_t> Read(const Lines& lines, LocationTable& table)
{
    try {
        ReadDataText(Join(lines), table);
        return std::nullopt;
    } catch (const DataFileError& error) {
        return error.line();
    }
}

TEST(SplitLines, BreaksAtCrLfOrCrLf)
{
    using V = std::vector<std::string>;
    struct Case { std::string text; V lines; };
    const Case cases[] = {
        {"", {}},
        {"\n", {""}},
        {"\r", {""}},
        {"\r\n", {""}},
        {"a", {"a"}},
        {"a\n", {"a"}},
        {"a\r\n", {"a"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\n\nb", {"a", "", "b"}},
        {"a\n\n", {"a", ""}},
        {"\n\na", {"", "", "a"}},
        {" a \t\x01", {" a \t\x01"}},
        {std::string("a\0b\nc", 5), {"a"}},
        {std::string("\0abc", 4), {}},
        {std::string("a\r\n\0\r\n", 5), {"a"}},
        {std::string("a\r\0\nb", 5), {"a"}},
    };
    for (const auto& c : cases) {
        const auto lines = SplitLines(c.text);
        EXPECT_EQ(V(lines.begin(), lines.end()), c.lines) << testing::PrintToString(c.text);
    }
}

TEST(ReadDataText, ReadsEveryFieldOfAFullFile)
{
    const Lines file = Cat({kHeader,
        {"*------", "// all optional lines", "*------", "NAME: Alpha Ltd", "ADDRESS: 1 High St",
         "COUNTRY: United Kingdom", "CITY: London", "POSTCODE: EC1A 1BB", "PHONE: +44 20 1",
         "LOCAL TOLL FREE: 0800 123", "INTERNATIONAL TOLL FREE: 00800 1", "FAX: +44 20 2", "EMAIL: a@example.com",
         "LATITUDE: 51.5 N", "LONGITUDE: 0.1 W", "TYPE: Sales"},
        {"*------", "NAME: Beta KK", "ADDRESS: 2-1 Marunouchi", "COUNTRY: Japan", "CITY: Tokyo",
         "POSTCODE: 100-0005", "FAX: +81 3 2", "EMAIL: b@example.com", "LATITUDE: 35.68 n", "LONGITUDE: 139.69 e",
         "TYPE: Support"},
        {"*------", "NAME: Gamma Pty", "ADDRESS: 3 George St", "COUNTRY: Australia", "CITY: Sydney",
         "POSTCODE: 2000", "PHONE: +61 2 1", "INTERNATIONAL TOLL FREE: 0011 800", "FAX: +61 2 2",
         "EMAIL: c@example.com", "LATITUDE: -33.9 S", "LONGITUDE: 151.2 E", "TYPE: Partner"},
        kEnd, Block("After the end"), kEnd});

    const TLocation expected[] = {
        {.Name = "Alpha Ltd", .Extra1 = "1 High St", .Phone = "+44 20 1", .Fax = "+44 20 2", .LocalToll = "0800 123",
         .InterToll = "00800 1", .Email = "a@example.com", .Country = "United Kingdom", .Extra2 = "London",
         .Extra3 = "EC1A 1BB", .Longitude = 0.1, .LongHemisphere = 'W', .Latitude = 51.5, .LatHemisphere = 'N',
         .OfficeType = "Sales"},
        {.Name = "Beta KK", .Extra1 = "2-1 Marunouchi", .Phone = "", .Fax = "+81 3 2", .LocalToll = "",
         .InterToll = "", .Email = "b@example.com",
         .Country = "Japan", .Extra2 = "Tokyo", .Extra3 = "100-0005", .Longitude = 139.69, .LongHemisphere = 'e',
         .Latitude = 35.68, .LatHemisphere = 'n', .OfficeType = "Support"},
        {.Name = "Gamma Pty", .Extra1 = "3 George St", .Phone = "+61 2 1", .Fax = "+61 2 2", .LocalToll = "",
         .InterToll = "0011 800", .Email = "c@example.com", .Country = "Australia", .Extra2 = "Sydney",
         .Extra3 = "2000", .Longitude = 151.2, .LongHemisphere = 'E', .Latitude = -33.9, .LatHemisphere = 'S',
         .OfficeType = "Partner"},
    };

    for (const auto& eol : {"\r\n", "\n", "\r"}) {
        for (const auto& tail : {std::string(), std::string("\0*\n\n", 4)}) {
            LocationTable table;
            ASSERT_NO_THROW(ReadDataText(Join(file, eol) + tail, table));
            EXPECT_EQ(table.WebLink, "Web: https://www.example.com/");
            EXPECT_EQ(table.WebLink2, "https://support.example.com/");
            EXPECT_EQ(table.Locations.size(), SlotCount(file));
            EXPECT_EQ(table.Locations.storedCount(), 3u);
            EXPECT_EQ(table.Locations.dataCount(), 3u);
            for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(table.Locations[i], expected[i]) << i;
            EXPECT_EQ(table.Locations[3], TLocation{});
            EXPECT_EQ(table.Locations[table.Locations.size() - 1], TLocation{});
        }
    }
}

TEST(ReadDataText, OptionalLinesAndTheirLabels)
{
    struct Case { const char* what; Lines middle; const char* phone; const char* local; const char* inter;
                  const char* fax; };
    const Case cases[] = {
        {"none", {"FAX: F"}, "", "", "", "F"},
        {"all", {"PHONE: P", "LOCAL TOLL FREE: L", "INTERNATIONAL TOLL FREE: I", "FAX: F"}, "P", "L", "I", "F"},
        {"phone only", {"PHONE: P", "FAX: F"}, "P", "", "", "F"},
        {"local only", {"LOCAL TOLL FREE: 0800 123", "FAX: F"}, "", "0800 123", "", "F"},
        {"local, no space", {"LOCAL TOLL FREE:0800 123", "FAX: F"}, "", "800 123", "", "F"},
        {"international, no space", {"INTERNATIONAL TOLL FREE:00800", "FAX: F"}, "", "", "0800", "F"},
        {"empty phone", {"PHONE:", "FAX: F"}, "", "", "", "F"},
        {"phone spacing kept", {"PHONE: +1  2 ", "FAX: F"}, "+1  2 ", "", "", "F"},
        {"phone with leading space", {"PHONE:  9", "FAX: F"}, " 9", "", "", "F"},
        {"lower-case phone is the fax", {"phone: 123"}, "", "", "", "123"},
        {"phone without space is the fax", {"PHONE:123"}, "", "", "", ""},
        {"toll before phone", {"LOCAL TOLL FREE: 0800", "PHONE: 111"}, "", "0800", "", "111"},
        {"international before local", {"INTERNATIONAL TOLL FREE: I", "LOCAL TOLL FREE: L"}, "", "", "I",
         "TOLL FREE: L"},
        {"space before colon", {"LOCAL TOLL FREE : x"}, "", "", "", "TOLL FREE : x"},
        {"lower-case toll", {"local toll free: x"}, "", "", "", "toll free: x"},
    };
    for (const auto& c : cases) {
        LocationTable table;
        EXPECT_EQ(Read(Cat({kHeader, Block("N", c.middle), kEnd}), table), std::nullopt) << c.what;
        ASSERT_EQ(table.Locations.storedCount(), 1u) << c.what;
        const auto& l = table.Locations[0];
        EXPECT_EQ(l.Phone, c.phone) << c.what;
        EXPECT_EQ(l.LocalToll, c.local) << c.what;
        EXPECT_EQ(l.InterToll, c.inter) << c.what;
        EXPECT_EQ(l.Fax, c.fax) << c.what;
        EXPECT_EQ(l.Email, "M") << c.what;
        EXPECT_EQ(l.OfficeType, "T") << c.what;
    }
}

TEST(ReadDataText, LabelledValueIsEverythingAfterTheFirstSpace)
{
    LocationTable table;
    const Lines file = Cat({kHeader, {"*", "Name", "ADDRESS:  two spaces", "anything Costa Rica", "CITY:",
                                      "POSTCODE: a b ", "FAX: f", "EMAIL: x//y@example.com", "LATITUDE: 1 N",
                                      "LONGITUDE: 2 E", "TYPE: Service Centre"}, kEnd});
    ASSERT_EQ(Read(file, table), std::nullopt);
    const auto& l = table.Locations[0];
    EXPECT_EQ(l.Name, "");
    EXPECT_EQ(l.Extra1, " two spaces");
    EXPECT_EQ(l.Country, "Costa Rica");
    EXPECT_EQ(l.Extra2, "");
    EXPECT_EQ(l.Extra3, "a b ");
    EXPECT_EQ(l.Email, "x//y@example.com");  // "//" inside a block is data
    EXPECT_EQ(l.OfficeType, "Service Centre");
    EXPECT_EQ(table.Locations.dataCount(), 0u);
    EXPECT_EQ(table.Locations.storedCount(), 1u);
}

TEST(ReadDataText, CoordinateLines)
{
    struct Case { const char* latitude; const char* longitude; bool valid; double lat = 0; char lat_h = 0;
                  double lon = 0; char lon_h = 0; };
    const Case cases[] = {
        {"LATITUDE: 51.5 N", "LONGITUDE: 0.1 W", true, 51.5, 'N', 0.1, 'W'},
        {"LATITUDE: 51.5 north", "LONGITUDE: 0.1 west", true, 51.5, 'n', 0.1, 'w'},
        {"LATITUDE: -33.9 S", "LONGITUDE: +151.2 E", true, -33.9, 'S', 151.2, 'E'},
        {"LATITUDE: 1e1 S", "LONGITUDE: 2E1 E", true, 10, 'S', 20, 'E'},
        {"LATITUDE: 51.5", "LONGITUDE: -0.1", true, 51.5, '\0', -0.1, '\0'},
        {"LATITUDE: 51.5 ", "LONGITUDE: 0.1  W", true, 51.5, '\0', 0.1, ' '},
        {"LATITUDE: 51.5N", "LONGITUDE: 0.1 W", false},
        {"LATITUDE: 51.5 N", "LONGITUDE: 0.1W", false},
        {"LATITUDE: 51,5 N", "LONGITUDE: 0.1 W", false},
        {"LATITUDE:  51.5 N", "LONGITUDE: 0.1 W", false},
        {"LATITUDE: .5 N", "LONGITUDE: 0.1 W", false},
        {"LATITUDE:", "LONGITUDE: 0.1 W", false},
        {"LATITUDE: 1e400 N", "LONGITUDE: 0.1 W", false},
        {"LATITUDE: N 51.5", "LONGITUDE: 0.1 W", false},
    };
    for (const auto& c : cases) {
        LocationTable table;
        const Lines block = {"*", "NAME: N", "A: a", "C: c", "D: d", "E: e", "FAX: f", "EMAIL: m",
                             c.latitude, c.longitude, "TYPE: t"};
        const Lines file = Cat({kHeader, Block("First"), block, kEnd});
        const auto fault = Read(file, table);
        EXPECT_EQ(table.Locations.storedCount(), c.valid ? 2u : 1u) << c.latitude << " / " << c.longitude;
        if (!c.valid) {
            EXPECT_TRUE(fault.has_value()) << c.latitude << " / " << c.longitude;
            continue;
        }
        EXPECT_EQ(fault, std::nullopt) << c.latitude;
        const auto& l = table.Locations[1];
        EXPECT_EQ(l.Latitude, c.lat) << c.latitude;
        EXPECT_EQ(l.LatHemisphere, c.lat_h) << c.latitude;
        EXPECT_EQ(l.Longitude, c.lon) << c.longitude;
        EXPECT_EQ(l.LongHemisphere, c.lon_h) << c.longitude;
    }
}

TEST(ReadDataText, ErrorNamesTheLineOfABadNumber)
{
    LocationTable table;
    Lines file = Cat({kHeader, Block("First"), Block("Second"), kEnd});
    const std::size_t bad = file.size() - 4;  // the second office's latitude line
    ASSERT_EQ(file[bad], "LATITUDE: 1 N");
    file[bad] = "LATITUDE: 51.5N";
    EXPECT_EQ(Read(file, table), bad);
    EXPECT_EQ(table.Locations.storedCount(), 1u);
    EXPECT_EQ(table.Locations[0].Name, "First");
    EXPECT_EQ(table.Locations[1], TLocation{});
}

TEST(ReadDataText, CommentsBeforeABlock)
{
    // The office block with a phone line, so that a block read one line late still parses.
    const Lines office = {"NAME: N", "ADDRESS: A", "COUNTRY: C", "CITY: D", "POSTCODE: E", "PHONE: P",
                          "FAX: F", "EMAIL: M", "LATITUDE: 1 N", "LONGITUDE: 2 E", "TYPE: T"};
    struct Case { const char* what; Lines preamble; bool valid; const char* name = ""; const char* country = "";
                  const char* extra3 = ""; };
    const Case cases[] = {
        {"separator only", {"*---"}, true, "N", "C", "E"},
        {"separator, comment, separator", {"*---", "// note", "*---"}, true, "N", "C", "E"},
        {"comment, separator", {"// note", "*---"}, true, "N", "C", "E"},
        {"two comments", {"*---", "// one", "two // three", "*---"}, true, "N", "C", "E"},
        {"several separators", {"*---", "**", "* *", "*---"}, true, "N", "C", "E"},
        {"comment hides the name line", {"*---", "// note"}, true, "A", "D", "P"},
        {"comment then two separators", {"*---", "// note", "*---", "*---"}, false},
    };
    for (const auto& c : cases) {
        LocationTable table;
        const auto fault = Read(Cat({kHeader, Block("First"), c.preamble, office, kEnd}), table);
        EXPECT_EQ(fault.has_value(), !c.valid) << c.what;
        EXPECT_EQ(table.Locations[0].Name, "First") << c.what;
        if (!c.valid) {
            EXPECT_EQ(table.Locations.storedCount(), 1u) << c.what;
            continue;
        }
        const auto& l = table.Locations[1];
        EXPECT_EQ(l.Name, c.name) << c.what;
        EXPECT_EQ(l.Country, c.country) << c.what;
        EXPECT_EQ(l.Extra3, c.extra3) << c.what;
        EXPECT_EQ(l.Email, "M") << c.what;
    }
}

TEST(ReadDataText, FileStructure)
{
    struct Case {
        const char* what; Lines lines; bool valid; std::size_t stored;
        const char* web = nullptr; const char* web2 = nullptr;  // checked when given
    };
    const Case cases[] = {
        {"header only", Cat({kHeader, kEnd}), true, 0, "Web: https://www.example.com/",
         "https://support.example.com/"},
        {"second marker right after the web address", {"*", "w", "*", "w2", "", "x"}, true, 0, "w", "w2"},
        {"web address that is a marker", {"*", "*", "x", "*", "w2", ""}, true, 0, "*", "w2"},
        {"support address that is a marker", {"*", "w", "*", "*", ""}, true, 0, "w", "*"},
        {"near markers are text", {"* ", "**", " *", "*", "w", "**", "*x", "*", "w2", ""}, true, 0, "w", "w2"},
        {"data after the end line", Cat({kHeader, kEnd, {"garbage"}}), true, 0},
        {"one office", Cat({kHeader, Block("A"), kEnd}), true, 1},
        {"no empty line", Cat({kHeader, Block("A")}), false, 0, "", ""},
        {"empty text", {}, false, 0, "", ""},
        {"no marker", {"a", "b", ""}, false, 0},
        {"one marker", {"a", "*", "w", "b", ""}, false, 0},
        {"separator before the end line", Cat({kHeader, Block("A"), Block("B"), {"*------"}, kEnd}), false, 2,
         "Web: https://www.example.com/", "https://support.example.com/"},
        {"empty line after a separator",
         Cat({kHeader, Block("A"), {"*---", "", "B: b", "C: c", "D: d", "E: e", "FAX: f", "EMAIL: m", "LAT: 1 N",
                                    "LON: 2 E", "TYPE: t", ""}}), false, 1},
        {"office cut short by the end line", Cat({kHeader, Block("A"), {"*", "NAME: B", "ADDRESS: x"}, kEnd}), false,
         1},
        {"office running past the end", Cat({{"h", ""}, kHeader, Block("A"), {"*", "NAME: B", "ADDRESS: x"}}), false,
         1},
        {"offices up to the end of the file", Cat({{"h", "h", "h", "h", ""}, kHeader, Block("A"), Block("B")}), false,
         2},
        {"more offices than slots", Cat({{"h", ""}, kHeader, Block("A"), Block("B"), Block("C"), kEnd}), false, 1,
         "Web: https://www.example.com/", "https://support.example.com/"},
        {"no slot at all", Cat({{""}, kHeader, Block("A"), kEnd}), false, 0, "Web: https://www.example.com/",
         "https://support.example.com/"},
    };
    for (const auto& c : cases) {
        LocationTable table;
        const auto fault = Read(c.lines, table);
        EXPECT_EQ(fault.has_value(), !c.valid) << c.what;
        EXPECT_EQ(table.Locations.size(), SlotCount(c.lines)) << c.what;
        EXPECT_EQ(table.Locations.storedCount(), c.stored) << c.what;
        if (c.web) {
            EXPECT_EQ(table.WebLink, c.web) << c.what;
        }
        if (c.web2) {
            EXPECT_EQ(table.WebLink2, c.web2) << c.what;
        }
        for (std::size_t i = 0; i < c.stored; ++i) EXPECT_EQ(table.Locations[i].Name, std::string(1, char('A' + i)));
        for (std::size_t i = c.stored; i < table.Locations.size(); ++i) EXPECT_EQ(table.Locations[i], TLocation{});
    }
}

}  // namespace
}  // namespace mappa
