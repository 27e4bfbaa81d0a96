// Where the reader says each part of an office block came from, and the
// line rules it shares with the checker.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "mapdata/DataFile.h"

namespace mappa {
namespace {

using Lines = std::vector<std::string>;

Lines Cat(std::initializer_list<Lines> parts)
{
    Lines all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

std::string Join(const Lines& lines)
{
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

const Lines kHeader = {"Mappa office list", "*", "https://www.example.com/", "*", "https://support.example.com/"};

TEST(ReadOfficeBlock, NotesTheLineOfEveryPart)
{
    constexpr std::size_t no = OfficeLines::kNoLine;
    const Lines office = {"NAME: N", "ADDRESS: A", "COUNTRY: C", "CITY: D", "POSTCODE: E"};
    const Lines tail = {"FAX: F", "EMAIL: M", "LATITUDE: 1 N", "LONGITUDE: 2 E", "TYPE: T"};
    struct Case {
        const char* what;
        Lines lines;
        std::size_t after_separators, skipped;
        // Name, second, country, fourth, fifth, phone, local, international, fax, e-mail, latitude, longitude, type.
        std::array<std::size_t, kOfficeFieldCount> fields;
        bool valid = true;
    };
    const Case cases[] = {
        {"no optional line", Cat({{"*---"}, office, tail}), 1, no, {1, 2, 3, 4, 5, no, no, no, 6, 7, 8, 9, 10}},
        {"every optional line",
         Cat({{"*---"}, office, {"PHONE: P", "LOCAL TOLL FREE: L", "INTERNATIONAL TOLL FREE: I"}, tail}), 1, no,
         {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}},
        {"international toll-free only", Cat({{"*---"}, office, {"INTERNATIONAL TOLL FREE: I"}, tail}), 1, no,
         {1, 2, 3, 4, 5, no, no, 6, 7, 8, 9, 10, 11}},
        {"phone after toll-free is the fax, and the rest shifts",
         Cat({{"*---"}, office, {"LOCAL TOLL FREE: L", "PHONE: P"}, tail}), 1, no,
         {1, 2, 3, 4, 5, no, 6, no, 7, 8, 9, no, no}, false},
        {"comment hiding a separator", Cat({{"*---", "// one", "two // three", "*---"}, office, tail}), 1, 3,
         {4, 5, 6, 7, 8, no, no, no, 9, 10, 11, 12, 13}},
        {"separator holding //", Cat({{"*// not a comment"}, office, tail}), 1, no,
         {1, 2, 3, 4, 5, no, no, no, 6, 7, 8, 9, 10}},
        {"comment hiding the name line, the phone line read as the fifth",
         Cat({{"// note"}, office, {"PHONE: P"}, tail}), 0, 1, {2, 3, 4, 5, 6, no, no, no, 7, 8, 9, 10, 11}},
        {"a fault ends the notes", Cat({{"*"}, office, {"FAX: F", "EMAIL: M", "LATITUDE: 1N", "LONGITUDE: 2 E"}}), 1,
         no, {1, 2, 3, 4, 5, no, no, no, 6, 7, 8, no, no}, false},
        {"empty line after the separators", Cat({{"*", "*", ""}, office, tail}), 2, no,
         {no, no, no, no, no, no, no, no, no, no, no, no, no}, false},
    };
    for (const auto& c : cases) {
        const std::string text = Join(c.lines);
        LineCursor cursor(text);
        OfficeLines lines;
        bool valid = true;
        try {
            ReadOfficeBlock(cursor, &lines);
        } catch (const DataFileError&) {
            valid = false;
        }
        EXPECT_EQ(valid, c.valid) << c.what;
        EXPECT_EQ(lines.afterSeparators, c.after_separators) << c.what;
        EXPECT_EQ(lines.skipped, c.skipped) << c.what;
        EXPECT_EQ(lines.fields, c.fields) << c.what;
    }
}

TEST(ReadOfficeBlock, NotingChangesNothingThatIsRead)
{
    // A block that the comment shifts by a line, read with and without notes.
    const Lines file = Cat({kHeader, {"// note", "NAME: N", "ADDRESS: A", "COUNTRY: C", "CITY: D", "POSTCODE: E",
                                      "PHONE: P", "FAX: F", "EMAIL: M", "LATITUDE: 1 N", "LONGITUDE: 2 E", "TYPE: T"},
                            {""}});
    LocationTable table;
    ASSERT_NO_THROW(ReadDataText(Join(file), table));
    const std::string text = Join(file);
    LineCursor cursor(text, 0, 0);
    DataFileHeader header;
    ReadHeader(cursor, header);
    OfficeLines lines;
    EXPECT_EQ(ReadOfficeBlock(cursor, &lines), table.Locations[0]);
    EXPECT_EQ(cursor.lineNumber(), file.size() - 1);
    EXPECT_EQ(lines.of(OfficeField::Name), header.firstBlock + 2);
    EXPECT_EQ(file[lines.of(OfficeField::Extra3)], "PHONE: P");
    EXPECT_EQ(lines.of(OfficeField::Phone), OfficeLines::kNoLine);
}

TEST(DataFileLines, SeparatorAndOptionalLinesAsTheReaderTakesThem)
{
    for (const char* line : {"*", "*---", "* NAME: x", "*// comment"}) EXPECT_TRUE(IsSeparatorLine(line)) << line;
    for (const char* line : {"", " *", "// *", "NAME: *"}) EXPECT_FALSE(IsSeparatorLine(line)) << line;
    for (const char* line : {"PHONE: 1", "PHONE:", "LOCAL TOLL FREE: 2", "LOCAL TOLL FREE:2", "LOCAL TOLL FREE",
                             "INTERNATIONAL TOLL FREE: 3", "INTERNATIONAL TOLL FREE"})
        EXPECT_TRUE(IsOptionalLine(line)) << line;
    for (const char* line : {"PHONE:1", "phone: 1", "PHONE :1", "LOCAL TOLL FREE : 2", "LOCAL TOLL FREEPHONE: 2",
                             "TOLL FREE: 2", "INTERNATIONAL TOLL FREE 3", "FAX: 1", ""})
        EXPECT_FALSE(IsOptionalLine(line)) << line;
}

}  // namespace
}  // namespace mappa
