// Links that open an office, as a web page, a mail or the command line hands
// them over: what they select or find, and every hostile form refused.
#include <gtest/gtest.h>

#include <string>

#include "automation/LinkCommandLine.h"
#include "automation/MappaLink.h"

namespace mappa {
namespace {

ParsedLink Office(std::string name, std::string country = "") { return OfficeLink{std::move(name), std::move(country)}; }
ParsedLink Find(std::string text) { return FindLink{std::move(text)}; }
ParsedLink Refused(LinkRefusal reason) { return RefusedLink{reason}; }

TEST(MappaLink, ReadsOfficeAndFindLinks)
{
    const struct {
        const char* link;
        ParsedLink expected;
    } cases[] = {
        {"mappa:office?name=Norvantic%20Japan%20KK&country=Japan", Office("Norvantic Japan KK", "Japan")},
        {"MAPPA:Office?country=Japan&name=Norvantic+Japan+KK", Office("Norvantic Japan KK", "Japan")},
        {"mappa://office/?name=Norvantic%20Nordic%20AB", Office("Norvantic Nordic AB")},
        {"mappa:find?q=sao%20paulo", Find("sao paulo")},
        {"mappa:find?q=S%C3%A3o", Find("S\xC3\xA3o")},
        {"mappa:find?q=%22Norvantic%22", Find("\"Norvantic\"")},  // an escaped quote is only text
        {"mappa:find?q=%2Funregserver", Find("/unregserver")},    // and so is a switch
    };
    for (const auto& c : cases) EXPECT_EQ(ParseMappaLink(c.link), c.expected) << c.link;
}

TEST(MappaLink, RefusesHostileAndMalformedLinks)
{
    const std::string too_long = "mappa:find?q=" + std::string(kMaxLinkLength, 'a');
    const std::string long_value = "mappa:find?q=" + std::string(kMaxLinkValue + 1, 'a');
    const struct {
        std::string link;
        LinkRefusal reason;
    } cases[] = {
        {too_long, LinkRefusal::TooLong},
        {long_value, LinkRefusal::ValueTooLong},
        {"http://example.com/mappa:office?name=x", LinkRefusal::OtherScheme},
        {"file:///C:/Windows/notepad.exe", LinkRefusal::OtherScheme},
        {"mappa:open?file=C:%5CWindows%5Cnotepad.exe", LinkRefusal::UnknownKind},
        {"mappa:find?q=x\" /unregserver \"", LinkRefusal::BadCharacter},
        {"mappa:find?q=sao paulo", LinkRefusal::BadCharacter},
        {"mappa:find?q=a\\b", LinkRefusal::BadCharacter},
        {"mappa:find?q=%", LinkRefusal::BadEscape},
        {"mappa:find?q=%4", LinkRefusal::BadEscape},
        {"mappa:find?q=%zz", LinkRefusal::BadEscape},
        {"mappa:find?q=%0Aline", LinkRefusal::BadEscape},
        {"mappa:find?q=%C3", LinkRefusal::BadEscape},        // a cut UTF-8 sequence
        {"mappa:find?q=%C0%AF", LinkRefusal::BadEscape},     // an overlong "/"
        {"mappa:find?q=%ED%A0%80", LinkRefusal::BadEscape},  // a surrogate
        {"mappa:find?q", LinkRefusal::NoValue},
        {"mappa:find?q=a&url=http://x", LinkRefusal::UnknownPart},
        {"mappa:find?q=a&q=b", LinkRefusal::Twice},
        {"mappa:office?country=Japan", LinkRefusal::NoOffice},
        {"mappa:find", LinkRefusal::NoText},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseMappaLink(c.link), Refused(c.reason)) << c.link;
}

TEST(MappaLink, AnOfficesOwnLinkReadsBackAsThatOffice)
{
    const char* names[] = {"Norvantic Iberia S.L.", "OOO \xC2\xAB\xD0\x9D\xD0\xBE\xD1\x80\xC2\xBB", "A&B=C?D%E+F \"G\""};
    for (const char* name : names) EXPECT_EQ(ParseMappaLink(OfficeLinkText(name, "Spain")), Office(name, "Spain"));
    EXPECT_EQ(ParseMappaLink(FindLinkText("x y&z")), Find("x y&z"));
}

TEST(LinkCommandLine, TheFirstArgumentDecidesAndNothingElseCounts)
{
    const struct {
        const char* line;
        std::optional<ParsedLink> expected;
    } cases[] = {
        {"Mappa.exe", std::nullopt},
        {"\"C:\\Program Files\\Mappa\\Mappa.exe\" /regserver", std::nullopt},
        {"Mappa.exe -Embedding /link mappa:find?q=x", std::nullopt},  // not first: no link
        {"\"C:\\Mappa\\Mappa.exe\" /link \"mappa:find?q=sao%20paulo\"", Find("sao paulo")},
        {"Mappa.exe -LINK mappa:office?name=Norvantic%20Nordic%20AB", Office("Norvantic Nordic AB")},
        // The shell put a link with a quote of its own between quotes: it stays one refused link.
        {"Mappa.exe /link \"mappa:find?q=x\" /unregserver \"\"", Refused(LinkRefusal::BadCharacter)},
        {"Mappa.exe /link \"mappa:find?q=x /regserver\"", Refused(LinkRefusal::BadCharacter)},
        {"Mappa.exe /link \"http://example.com\"", Refused(LinkRefusal::OtherScheme)},
        {"Mappa.exe /find sao paulo", Find("sao paulo")},
        {"Mappa.exe /find \"sao paulo\"", Find("sao paulo")},
        {"Mappa.exe /office \"Norvantic Japan KK\" /country Japan", Office("Norvantic Japan KK", "Japan")},
        {"Mappa.exe /office Norvantic Nordic AB", Office("Norvantic Nordic AB")},
        {"Mappa.exe /office \"-x\"", Office("-x")},  // in quotes a dash is a name
        {"Mappa.exe /find x /unregserver", Refused(LinkRefusal::Switch)},
        {"Mappa.exe /office x /country y /country z", Refused(LinkRefusal::Switch)},
        {"Mappa.exe /find a\"b", Refused(LinkRefusal::BadCharacter)},
        {"Mappa.exe /find \"open", Refused(LinkRefusal::BadCharacter)},
        {"Mappa.exe /find", Refused(LinkRefusal::NoText)},
        {"Mappa.exe /office /country Japan", Refused(LinkRefusal::NoOffice)},
    };
    for (const auto& c : cases) EXPECT_EQ(LinkOfCommandLine(c.line), c.expected) << c.line;
    EXPECT_EQ(LinkOfCommandLine("Mappa.exe /find " + std::string(kMaxLinkLength + 1, 'a')),
              Refused(LinkRefusal::TooLong));
}

}  // namespace
}  // namespace mappa
