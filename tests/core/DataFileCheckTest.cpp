#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "mapdata/DataFileCheck.h"

namespace mappa {
namespace {

std::string FileText(std::initializer_list<const char*> lines)
{
    std::string text;
    for (const char* line : lines) text += std::string(line) + "\n";
    return text;
}

std::string Header() { return FileText({"Offices", "*", "https://www.example.com/", "*", "https://support.example.com/"}); }

std::string Office(const char* name, const char* country, const char* latitude = "10 N", const char* longitude = "20 E",
                   const char* type = "Sales")
{
    return "*----\nNAME: " + std::string(name) + "\nADDR: a\nCOUNTRY: " + country +
           "\nCITY: c\nZIP: z\nPHONE: 1\nFAX: f\nEMAIL: e@example.com\nLAT: " + latitude + "\nLON: " + longitude +
           "\nTYPE: " + type + "\n";
}

std::string ReadBundled(const char* name)
{
    std::ifstream file(std::string(MAPPA_TEST_DATA) + "/../../resources/" + name, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::size_t> ErrorLines(const CheckReport& report)
{
    std::vector<std::size_t> lines;
    for (const CheckFinding& finding : report.findings)
        if (finding.error) lines.push_back(finding.line);
    return lines;
}

TEST(DataFileCheck, BundledFileIsCleanAndOnLand)
{
    const auto map = LandMask::FromBmp(ReadBundled("worldmap.bmp"));
    ASSERT_TRUE(map);
    const CheckReport report = CheckDataText(ReadBundled("Mappa2.dat"), &*map);
    EXPECT_TRUE(report.findings.empty()) << FormatReport(report);
    EXPECT_TRUE(report.loadsEveryOffice);
    EXPECT_GE(report.summary.offices, 40u);
    EXPECT_EQ(report.summary.sales + report.summary.support + report.summary.other, report.summary.offices);
    EXPECT_TRUE(report.summary.inTheSea.empty());
}

TEST(DataFileCheck, SummaryCountsWhatTheProgramShows)
{
    const std::string text = Header() + Office("A", "France") + Office("B", "France", "10 N", "20 E", "SUPPORT") +
                             Office("C", "Chad", "10 N", "20 E", "Partner") + "\n";
    const CheckReport report = CheckDataText(text, nullptr);
    EXPECT_TRUE(report.loadsEveryOffice);
    EXPECT_EQ(report.summary.offices, 3u);
    EXPECT_EQ(report.summary.countries, 2u);
    EXPECT_EQ(report.summary.sales, 1u);
    EXPECT_EQ(report.summary.support, 1u);
    EXPECT_EQ(report.summary.other, 1u);
    EXPECT_EQ(report.summary.withoutPhone, 0u);
}

TEST(DataFileCheck, ReportsEveryFaultyOfficeWithItsLine)
{
    // Offices start at line 6; each takes 12 lines.
    const std::string text = Header() + Office("A", "X", "51.5N") + Office("B", "Y") + Office("C", "Z", "1 N", "east") + "\n";
    const CheckReport report = CheckDataText(text, nullptr);
    EXPECT_FALSE(report.loadsEveryOffice);
    EXPECT_EQ(ErrorLines(report), (std::vector<std::size_t>{15, 40}));
    const std::string formatted = FormatReport(report);
    EXPECT_NE(formatted.find("line 15: latitude \"51.5N\" is not a number followed by a space and N or S"),
              std::string::npos)
        << formatted;
}

TEST(DataFileCheck, NamesTheTrapsTheProgramReadsSilently)
{
    std::string misordered = Office("B", "Y");
    misordered.replace(misordered.find("PHONE: 1\n"), 9, "");
    misordered.replace(misordered.find("FAX: f\n"), 7, "LOCAL TOLL FREE: 2\nPHONE: 1\n");
    const std::string text = Header() + "// a comment right above the name\n" + Office("A", "X").substr(6) + "\n";
    const CheckReport comment = CheckDataText(text, nullptr);
    ASSERT_FALSE(comment.findings.empty());
    EXPECT_EQ(comment.findings.front().line, 7u);
    EXPECT_NE(comment.findings.front().text.find("skipped because it follows a comment"), std::string::npos);

    const CheckReport order = CheckDataText(Header() + misordered + "\n", nullptr);
    ASSERT_EQ(order.findings.size(), 1u) << FormatReport(order);
    EXPECT_FALSE(order.findings.front().error);
    EXPECT_EQ(order.findings.front().line, 13u);
    EXPECT_TRUE(order.loadsEveryOffice);

    const CheckReport star = CheckDataText(Header() + Office("A", "X") + "*\n\n", nullptr);
    ASSERT_EQ(star.findings.size(), 1u);
    EXPECT_EQ(star.findings.front().line, 18u);
    EXPECT_NE(star.findings.front().text.find("before the empty line that ends the data"), std::string::npos);
    EXPECT_FALSE(star.loadsEveryOffice);
}

// An office whose lines between the fifth and the e-mail line are `middle`.
std::string OfficeWith(const char* preamble, std::initializer_list<const char*> middle, const char* latitude = "10 N")
{
    std::string text = std::string(preamble) + "NAME: A\nADDR: a\nCOUNTRY: X\nCITY: c\nZIP: z\n";
    for (const char* line : middle) text += std::string(line) + "\n";
    return text + "EMAIL: e@example.com\nLAT: " + latitude + "\nLON: 20 E\nTYPE: Sales\n";
}

std::vector<std::pair<std::size_t, bool>> FindingLines(const CheckReport& report)
{
    std::vector<std::pair<std::size_t, bool>> lines;
    for (const CheckFinding& finding : report.findings) lines.emplace_back(finding.line, finding.error);
    return lines;
}

TEST(DataFileCheck, EachWarningStandsWhereTheReaderTookTheLine)
{
    // The header takes lines 1 to 5; each office starts at line 6.
    using Found = std::vector<std::pair<std::size_t, bool>>;
    const struct {
        const char* what;
        std::string office;
        Found found;  // line, and whether an error
    } cases[] = {
        {"no optional line, bad hemisphere", OfficeWith("*\n", {"FAX: f"}, "10 X"), {{14, false}}},
        {"phone, bad hemisphere", OfficeWith("*\n", {"PHONE: 1", "FAX: f"}, "10 X"), {{15, false}}},
        {"every optional line, bad hemisphere",
         OfficeWith("*\n", {"PHONE: 1", "LOCAL TOLL FREE: 2", "INTERNATIONAL TOLL FREE: 3", "FAX: f"}, "10 X"),
         {{17, false}}},
        {"toll-free line taken as the fax",
         OfficeWith("*\n", {"PHONE: 1", "INTERNATIONAL TOLL FREE: 3", "LOCAL TOLL FREE: 2"}, "10 x"),
         {{14, false}, {16, false}}},
        {"a bare label is an optional line too", OfficeWith("*\n", {"INTERNATIONAL TOLL FREE: 3", "LOCAL TOLL FREE"}),
         {{13, false}}},
        {"lower-case label is a fax line", OfficeWith("*\n", {"phone: 1"}), {}},
        {"separator holding //", OfficeWith("*// not a comment\n", {"FAX: f"}), {}},
        {"comment hiding a separator", OfficeWith("*\n// note\n*\n", {"FAX: f"}), {}},
        {"comment run hiding the name line", OfficeWith("*\n// one\ntwo // three\n", {"PHONE: 1", "FAX: f"}, "1 X"),
         {{9, false}, {17, false}}},
        // Read one line late, the office runs into its type line for the longitude.
        {"comment hiding the name line of a short office", OfficeWith("// note\n", {"FAX: f"}), {{7, false}, {16, true}}},
        // The second separator is taken for the name line, and the office ends a line early.
        {"comment then two separators: no name", OfficeWith("*\n// note\n*\n*\n", {}), {{9, true}}},
    };
    for (const auto& c : cases) {
        const CheckReport report = CheckDataText(Header() + c.office + "\n", nullptr);
        EXPECT_EQ(FindingLines(report), c.found) << c.what << "\n" << FormatReport(report);
    }
}

TEST(DataFileCheck, FileWithoutEmptyLineOrMarkers)
{
    const CheckReport no_end = CheckDataText(Header() + Office("A", "X"), nullptr);
    EXPECT_FALSE(no_end.loadsEveryOffice);
    ASSERT_EQ(no_end.findings.size(), 1u);
    EXPECT_NE(no_end.findings.front().text.find("no empty line"), std::string::npos);

    const CheckReport no_marker = CheckDataText("just text\n\n", nullptr);
    EXPECT_FALSE(no_marker.loadsEveryOffice);
    EXPECT_EQ(no_marker.summary.offices, 0u);
}

TEST(DataFileCheck, NamesTheEncodingAndEachMalformedSequence)
{
    // The header takes lines 1 to 5; the office's name is line 7 and its country line 9.
    const std::string text = Header() + Office("A\xFF", "X\xC0\xAF") + "\n";
    const CheckReport utf8 = CheckDataText("\xEF\xBB\xBF" + text, nullptr);
    EXPECT_EQ(utf8.encoding, TextEncoding::Utf8);
    EXPECT_TRUE(utf8.loadsEveryOffice);
    ASSERT_EQ(utf8.findings.size(), 3u) << FormatReport(utf8);
    EXPECT_EQ(utf8.findings[0].line, 7u);
    EXPECT_EQ(utf8.findings[1].line, 9u);
    EXPECT_EQ(utf8.findings[2].line, 9u);
    for (const CheckFinding& finding : utf8.findings) EXPECT_FALSE(finding.error);
    const std::string formatted = FormatReport(utf8);
    EXPECT_EQ(formatted.rfind("encoding: UTF-8 with a byte-order mark\n", 0), 0u) << formatted;
    EXPECT_NE(formatted.find("line 7: warning: malformed UTF-8 (FF at byte 82 of the file)"), std::string::npos)
        << formatted;

    std::string utf16 = "\xFF\xFE";
    for (const char c : text) utf16 += std::string{c, '\0'};
    utf16 += '\x41';
    const CheckReport odd = CheckDataText(utf16, nullptr);
    EXPECT_EQ(odd.encoding, TextEncoding::Utf16);
    ASSERT_EQ(odd.findings.size(), 1u) << FormatReport(odd);
    EXPECT_NE(odd.findings[0].text.find("half a UTF-16 character"), std::string::npos);
    EXPECT_EQ(odd.summary.offices, 1u);

    // A pair cut short by the end is one finding over its three bytes.
    utf16.back() = '\x34';
    utf16 += "\xD8\x41";
    const CheckReport cut = CheckDataText(utf16, nullptr);
    ASSERT_EQ(cut.findings.size(), 1u) << FormatReport(cut);
    EXPECT_NE(cut.findings[0].text.find("half a UTF-16 character (34 D8 41 at byte " + std::to_string(utf16.size() - 3)),
              std::string::npos)
        << cut.findings[0].text;
}

TEST(DataFileCheck, WarnsOfUtf8WithoutAByteOrderMark)
{
    const char* const warning = "looks like UTF-8 without a byte-order mark";
    const struct {
        const char* what;
        std::string bytes;
        bool warned;
    } cases[] = {
        {"UTF-8 letters, no mark", Header() + Office("Z\u00FCrich", "Schweiz") + "\n", true},
        {"UTF-8 letters with the mark", "\xEF\xBB\xBF" + Header() + Office("Z\u00FCrich", "Schweiz") + "\n", false},
        {"code page letters", Header() + Office("Z\xFCrich", "Schweiz") + "\n", false},
        {"ASCII", Header() + Office("Zurich", "Schweiz") + "\n", false},
    };
    for (const auto& c : cases) {
        const CheckReport report = CheckDataText(c.bytes, nullptr);
        const auto found = std::find_if(report.findings.begin(), report.findings.end(), [&](const CheckFinding& f) {
            return f.text.find(warning) != std::string::npos;
        });
        EXPECT_EQ(found != report.findings.end(), c.warned) << c.what << "\n" << FormatReport(report);
        if (found != report.findings.end()) {
            EXPECT_EQ(found->line, 7u) << c.what;  // the first line with such a letter
            EXPECT_FALSE(found->error) << c.what;
        }
    }
}

TEST(LandMask, ReadsOnlyPalettedBitmaps)
{
    EXPECT_FALSE(LandMask::FromBmp(""));
    EXPECT_FALSE(LandMask::FromBmp("BM this is not a bitmap at all, only some text of fifty-four bytes"));
    const std::string bmp = ReadBundled("worldmap.bmp");
    EXPECT_FALSE(LandMask::FromBmp(bmp.substr(0, bmp.size() / 2)));  // cut short
    const auto map = LandMask::FromBmp(bmp);
    ASSERT_TRUE(map);
    EXPECT_EQ(map->width(), 640);
    EXPECT_EQ(map->height(), 320);
    EXPECT_TRUE(map->isSea(320 - 266, 160));   // Pacific, 0 N 150 W
    EXPECT_FALSE(map->isSea(320 + 17, 160 - 40));  // Sahara, 23 N 10 E
    EXPECT_FALSE(map->isSea(-1, 0));
    EXPECT_FALSE(map->isSea(640, 0));
}

}  // namespace
}  // namespace mappa
