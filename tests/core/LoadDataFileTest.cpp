#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "mapdata/DataFile.h"

namespace mappa {
namespace {

const char* const kGoodFile =
    "Office list\r\n*\r\nhttps://www.example.com/\r\n*\r\nhttps://support.example.com/\r\n"
    "*---\r\nNAME: A\r\nADDRESS: a\r\nCOUNTRY: France\r\nCITY: Paris\r\nPOSTCODE: 1\r\nFAX: f\r\nEMAIL: e\r\n"
    "LATITUDE: 48.86 N\r\nLONGITUDE: 2.35 E\r\nTYPE: Sales\r\n"
    "*---\r\nNAME: B\r\nADDRESS: b\r\nCOUNTRY: Spain\r\nCITY: Madrid\r\nPOSTCODE: 2\r\nFAX: f\r\nEMAIL: e\r\n"
    "LATITUDE: 40.42 N\r\nLONGITUDE: 3.70 W\r\nTYPE: Support\r\n\r\n";
constexpr std::size_t kGoodSlots = 27;  // lines before the empty line

const char* const kBadSecondOffice =
    "*\r\nhttps://www.example.com/\r\n*\r\nhttps://support.example.com/\r\n"
    "*---\r\nNAME: A\r\nADDRESS: a\r\nCOUNTRY: France\r\nCITY: Paris\r\nPOSTCODE: 1\r\nFAX: f\r\nEMAIL: e\r\n"
    "LATITUDE: 48.86 N\r\nLONGITUDE: 2.35 E\r\nTYPE: Sales\r\n"
    "*---\r\nNAME: B\r\nADDRESS: b\r\nCOUNTRY: Spain\r\nCITY: Madrid\r\nPOSTCODE: 2\r\nFAX: f\r\nEMAIL: e\r\n"
    "LATITUDE: 40.42N\r\nLONGITUDE: 3.70 W\r\nTYPE: Support\r\n\r\n";

enum class Finder { NotRegistered, ReturnsEmpty, ReturnsMissing, ReturnsFile, Throws };
enum class Reading { Good, Unreadable, Failing, BadData };

// The platform side of loading, recording every call in order.
class FakeSource : public DataFileSource {
public:
    const std::string beside = "C:\\Mappa\\Mappa2.dat";
    const std::string shared = "D:\\Shared\\Mappa2.dat";
    bool beside_exists = true;
    Finder finder = Finder::NotRegistered;
    Reading reading = Reading::Good;
    std::string content = kGoodFile;

    std::vector<std::string> calls;
    std::vector<std::string> messages;
    int terminates = 0;

    std::string defaultPath() override
    {
        calls.push_back("defaultPath");
        return beside;
    }
    bool finderRegistered() override
    {
        calls.push_back("finderRegistered");
        return finder != Finder::NotRegistered;
    }
    bool fileExists(const std::string& path) override
    {
        calls.push_back("fileExists " + path);
        return (path == beside && beside_exists) || (path == shared && finder == Finder::ReturnsFile);
    }
    std::string resolveWithFinder(const std::string& request, std::int32_t option) override
    {
        calls.push_back("resolveWithFinder " + request + " " + std::to_string(option));
        switch (finder) {
            case Finder::ReturnsEmpty: return "";
            case Finder::ReturnsMissing: return "E:\\Gone\\Mappa2.dat";
            case Finder::ReturnsFile: return shared;
            default: throw std::runtime_error("the finder call failed");
        }
    }
    std::string readFile(const std::string& path) override
    {
        calls.push_back("readFile " + path);
        if (reading == Reading::Unreadable) throw DataFileUnreadable("sharing violation");
        if (reading == Reading::Failing) throw std::runtime_error("out of memory");
        return reading == Reading::BadData ? kBadSecondOffice : content;
    }
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void requestTerminate() override { ++terminates; }

    long count(const std::string& prefix) const
    {
        return std::count_if(calls.begin(), calls.end(), [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
    }
};

TEST(LoadDataFile, FindsReadsAndReportsProblems)
{
    const std::string finder_call = "resolveWithFinder {$QX}\\Shared\\Mappa2.dat 5";
    struct Case {
        const char* what; bool beside_exists; Finder finder; Reading reading;
        const char* message; int terminates; bool finder_asked; const char* read_from; std::size_t stored;
    };
    const Case cases[] = {
        {"beside the program", true, Finder::NotRegistered, Reading::Good, nullptr, 0, false, "C:", 2},
        {"beside the program, finder not needed", true, Finder::ReturnsFile, Reading::Good, nullptr, 0, false, "C:", 2},
        {"nowhere, no finder", false, Finder::NotRegistered, Reading::Good, kMessageCannotFind, 1, false, nullptr, 0},
        {"finder finds nothing", false, Finder::ReturnsEmpty, Reading::Good, kMessageCannotFind, 1, true, nullptr, 0},
        {"finder names a missing file", false, Finder::ReturnsMissing, Reading::Good, kMessageCannotFind, 1, true,
         nullptr, 0},
        {"found by the finder", false, Finder::ReturnsFile, Reading::Good, nullptr, 0, true, "D:", 2},
        {"finder fails", false, Finder::Throws, Reading::Good, kMessageDataError, 0, true, nullptr, 0},
        {"cannot open", true, Finder::NotRegistered, Reading::Unreadable, kMessageUnableToOpen, 0, false, "C:", 0},
        {"cannot open the found file", false, Finder::ReturnsFile, Reading::Unreadable, kMessageUnableToOpen, 0, true,
         "D:", 0},
        {"other reading fault", true, Finder::NotRegistered, Reading::Failing, kMessageDataError, 0, false, "C:", 0},
        {"bad second office", true, Finder::NotRegistered, Reading::BadData, kMessageDataError, 0, false, "C:", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeSource source;
        source.beside_exists = c.beside_exists;
        source.finder = c.finder;
        source.reading = c.reading;

        LocationTable table;  // left over from an earlier load
        table.Locations.reset(3);
        TLocation old;
        old.Name = "Old";
        table.Locations.append(old);
        table.WebLink = table.WebLink2 = "old";

        loadDataFile(table, source);

        EXPECT_EQ(source.messages, c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        EXPECT_EQ(source.terminates, c.terminates);
        EXPECT_EQ(source.count("finderRegistered"), 1);
        const auto registered = std::find(source.calls.begin(), source.calls.end(), "finderRegistered");
        const auto first_test = std::find_if(source.calls.begin(), source.calls.end(),
                                             [](const std::string& call) { return call.rfind("fileExists", 0) == 0; });
        EXPECT_LT(registered, first_test);
        EXPECT_GE(source.count("fileExists " + source.beside), 1);
        EXPECT_EQ(source.count("resolveWithFinder"), c.finder_asked ? 1 : 0);
        if (c.finder_asked) {
            EXPECT_EQ(source.count(finder_call), 1);
        }
        EXPECT_EQ(source.count("readFile"), c.read_from ? 1 : 0);
        if (c.read_from) {
            EXPECT_EQ(source.count(std::string("readFile ") + c.read_from), 1);
        }

        EXPECT_EQ(table.Locations.storedCount(), c.stored);
        for (std::size_t i = 0; i < c.stored; ++i) EXPECT_EQ(table.Locations[i].Name, std::string(1, char('A' + i)));
        if (c.stored == 0) {
            EXPECT_EQ(table.Locations.size(), 0u);
            EXPECT_EQ(table.WebLink, "");
            EXPECT_EQ(table.WebLink2, "");
        } else {
            EXPECT_EQ(table.WebLink, "https://www.example.com/");
            EXPECT_EQ(table.WebLink2, "https://support.example.com/");
        }
        if (!c.message) {
            EXPECT_EQ(table.Locations.size(), kGoodSlots);
        }
    }
}

TEST(LoadDataFile, BundledOfficeList)
{
    const std::string path = std::string(MAPPA_TEST_DATA) + "/../../resources/Mappa2.dat";
    std::ifstream file(path, std::ios::binary);
    ASSERT_TRUE(file) << path;
    FakeSource source;
    source.content.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());

    LocationTable table;
    loadDataFile(table, source);
    EXPECT_EQ(source.messages, std::vector<std::string>{});
    EXPECT_EQ(source.terminates, 0);
    EXPECT_FALSE(table.WebLink.empty());
    EXPECT_FALSE(table.WebLink2.empty());

    const std::size_t offices = table.Locations.dataCount();
    EXPECT_GE(offices, 40u);
    EXPECT_EQ(offices, table.Locations.storedCount());

    table.computePositions(640, 320);
    auto lower = [](std::string text) {
        for (char& ch : text) ch = static_cast<char>(ch >= 'A' && ch <= 'Z' ? ch - 'A' + 'a' : ch);
        return text;
    };
    int sales = 0, support = 0, other = 0;
    for (std::size_t i = 0; i < offices; ++i) {
        const LocationView& office = table.Locations[i];
        EXPECT_FALSE(office.Country.empty()) << office.Name;
        EXPECT_GE(office.MapX, 0) << office.Name;
        EXPECT_LE(office.MapX, 640) << office.Name;
        EXPECT_GE(office.MapY, 0) << office.Name;
        EXPECT_LE(office.MapY, 320) << office.Name;
        const std::string type = lower(std::string(office.OfficeType));
        (type == "sales" ? sales : type == "support" ? support : other)++;
    }
    EXPECT_GT(sales, 0);
    EXPECT_GT(support, 0);
    EXPECT_GT(other, 0);
}

// The list kept every office it had in the code page, and added some written in their own scripts.
TEST(LoadDataFile, BundledOfficeListInUtf8KeepsTheOfficesOfTheAnsiList)
{
    const auto load = [](const std::string& path, LocationTable& table) {
        std::ifstream file(path, std::ios::binary);
        FakeSource source;
        source.content.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
        loadDataFile(table, source);
        EXPECT_EQ(source.messages, std::vector<std::string>{}) << path;
    };
    LocationTable ansi, bundled;
    load(std::string(MAPPA_TEST_DATA) + "/Mappa2-ansi.dat", ansi);
    load(std::string(MAPPA_TEST_DATA) + "/../../resources/Mappa2.dat", bundled);
    const std::size_t kept = ansi.Locations.dataCount();
    ASSERT_EQ(kept, 48u);
    ASSERT_EQ(bundled.Locations.dataCount(), kept + 6);
    for (std::size_t i = 0; i < kept; ++i) EXPECT_EQ(bundled.Locations[i], ansi.Locations[i]) << i;
    EXPECT_EQ(bundled.WebLink, ansi.WebLink);
    EXPECT_EQ(bundled.WebLink2, ansi.WebLink2);

    const char* const countries[] = {"\u65E5\u672C", "\u4E2D\u56FD", "\uB300\uD55C\uBBFC\uAD6D",
                                     "\u0395\u03BB\u03BB\u03AC\u03B4\u03B1", "\u0420\u043E\u0441\u0441\u0438\u044F",
                                     "\u0627\u0644\u0623\u0631\u062F\u0646"};
    for (std::size_t i = 0; i < 6; ++i) {
        const LocationView& office = bundled.Locations[kept + i];
        EXPECT_EQ(office.Country, countries[i]);
        for (const std::string_view text : {office.Name, office.Extra1, office.Extra2})
            EXPECT_TRUE(std::any_of(text.begin(), text.end(), [](char c) { return (c & 0x80) != 0; })) << text;
    }
}

}  // namespace
}  // namespace mappa
