#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "SampleOffices.h"
#include "mapdata/DataFileEncoding.h"
#include "mapdata/LocationTable.h"
#include "ui/ContactCard.h"
#include "ui/SearchText.h"

namespace mappa {
namespace {

// A reader of what the card writer writes, kept apart from it: unfolds the
// lines, splits off name and parameters, and undoes the text escapes.
struct Property {
    std::string name;    // with its group, "item1.TEL"
    std::string params;  // "TYPE=work,voice"
    std::string value;   // raw, still escaped
};

std::vector<std::string> PhysicalLines(const std::string& card)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < card.size()) {
        const std::size_t end = card.find("\r\n", start);
        if (end == std::string::npos) {
            ADD_FAILURE() << "card does not end in CR LF";
            break;
        }
        lines.push_back(card.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::vector<Property> ReadCard(const std::string& card)
{
    std::vector<std::string> logical;
    for (const std::string& line : PhysicalLines(card)) {
        if (!line.empty() && line[0] == ' ' && !logical.empty())
            logical.back() += line.substr(1);
        else
            logical.push_back(line);
    }
    std::vector<Property> properties;
    for (const std::string& line : logical) {
        const std::size_t colon = line.find(':');
        const std::string head = line.substr(0, colon);
        const std::size_t semicolon = head.find(';');
        properties.push_back({head.substr(0, semicolon),
                              semicolon == std::string::npos ? "" : head.substr(semicolon + 1),
                              colon == std::string::npos ? "" : line.substr(colon + 1)});
    }
    return properties;
}

// The components of a structured value, unescaped.
std::vector<std::string> Components(const std::string& value)
{
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            parts.back() += next == 'n' || next == 'N' ? '\n' : next;
        } else if (value[i] == ';') {
            parts.emplace_back();
        } else {
            parts.back() += value[i];
        }
    }
    return parts;
}

std::string Text(const std::string& value) { return Components(value).at(0); }

// A single text value (FN, TEL, EMAIL), unescaped: a semicolon is part of it.
std::string SingleText(const std::string& value)
{
    std::string text;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            text += next == 'n' || next == 'N' ? '\n' : next;
        } else {
            text += value[i];
        }
    }
    return text;
}

const Property* Find(const std::vector<Property>& card, const std::string& name, const std::string& params = "")
{
    for (const Property& p : card)
        if (p.name == name && (params.empty() || p.params == params)) return &p;
    return nullptr;
}

using test::BareOffice;
using test::FullOffice;

TEST(ContactCard, OfficeWithEveryLine)
{
    const std::string text = ContactCard(ContactCardFieldsOf(FullOffice(), "https://www.example.com/"));
    const auto card = ReadCard(text);
    ASSERT_GE(card.size(), 4u);
    EXPECT_EQ(card.front().name + ":" + card.front().value, "BEGIN:VCARD");
    EXPECT_EQ(card[1].name + ":" + card[1].value, "VERSION:4.0");
    EXPECT_EQ(card.back().name + ":" + card.back().value, "END:VCARD");

    ASSERT_TRUE(Find(card, "FN"));
    EXPECT_EQ(Text(Find(card, "FN")->value), "Norvantic Nordic AB");
    EXPECT_EQ(Components(Find(card, "ORG")->value), std::vector<std::string>{"Norvantic Nordic AB"});
    ASSERT_TRUE(Find(card, "ADR"));
    EXPECT_EQ(Components(Find(card, "ADR")->value),
              (std::vector<std::string>{"", "", "Storgatan 1", "Örebro", "", "702 10", "Sweden"}));
    EXPECT_EQ(Find(card, "TEL", "TYPE=work,voice")->value, "+46 19 555 0100");
    EXPECT_EQ(Find(card, "TEL", "TYPE=work,fax")->value, "+46 19 555 0101");
    EXPECT_EQ(Find(card, "item1.TEL")->value, "020 555 010");
    EXPECT_EQ(Find(card, "item1.X-ABLabel")->value, "Local Toll Free");
    EXPECT_EQ(Find(card, "item2.TEL")->value, "00800 5550 1000");
    EXPECT_EQ(Find(card, "item2.X-ABLabel")->value, "International Toll Free");
    EXPECT_EQ(Find(card, "EMAIL")->value, "nordic@example.com");
    EXPECT_EQ(Find(card, "GEO")->value, "geo:59.27,15.21");
    EXPECT_EQ(Find(card, "URL")->value, "https://www.example.com/");
}

TEST(ContactCard, OfficeWithNoOptionalLineHasNoEmptyProperty)
{
    const auto card = ReadCard(ContactCard(ContactCardFieldsOf(BareOffice(), "")));
    std::vector<std::string> names;
    for (const Property& p : card) {
        names.push_back(p.name);
        EXPECT_FALSE(p.value.empty()) << p.name;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"BEGIN", "VERSION", "KIND", "FN", "ORG", "GEO", "END"}));
    EXPECT_EQ(Find(card, "GEO")->value, "geo:-33.9,-151.2");
}

TEST(ContactCard, CoordinatesAsOnTheMap)
{
    const auto geo = [](double latitude, char lat, double longitude, char lon) {
        ContactCardFields fields;
        fields.name = "X";
        fields.latitude = latitude;
        fields.lat_hemisphere = lat;
        fields.longitude = longitude;
        fields.long_hemisphere = lon;
        const auto card = ReadCard(ContactCard(fields));
        const Property* property = Find(card, "GEO");
        return property ? property->value : "(none)";
    };
    EXPECT_EQ(geo(0, 'N', 0, 'E'), "geo:0,0");
    EXPECT_EQ(geo(0, 'S', 0, 'W'), "geo:0,0");  // no minus zero
    EXPECT_EQ(geo(-10, 'N', 0.00001, 'E'), "geo:-10,0.00001");  // a sign in the number counts; no exponent
    EXPECT_EQ(geo(10, '?', 20, 'W'), "geo:10,20");  // no N/S + E/W pair: N and E
    EXPECT_EQ(geo(90, 'S', 180, 'W'), "geo:-90,-180");
    EXPECT_EQ(geo(90.5, 'N', 0, 'E'), "(none)");
    EXPECT_EQ(geo(0, 'N', 1e300, 'E'), "(none)");
}

TEST(ContactCard, ValuesAreEscapedAndRepaired)
{
    ContactCardFields fields;
    fields.name = "Smith, Jones; Partners\\Co";
    fields.street = "Line one\r\nLine two;\nthree";
    fields.country = "Bad\xFF" "byte\x01";
    fields.phone = " \x02 ";
    fields.web_link = "javascript:alert(1)";
    const auto card = ReadCard(ContactCard(fields));
    EXPECT_EQ(Find(card, "FN")->value, "Smith\\, Jones; Partners\\\\Co");
    EXPECT_EQ(SingleText(Find(card, "FN")->value), "Smith, Jones; Partners\\Co");
    EXPECT_EQ(Components(Find(card, "ORG")->value), std::vector<std::string>{"Smith, Jones; Partners\\Co"});
    EXPECT_EQ(Components(Find(card, "ADR")->value),
              (std::vector<std::string>{"", "", "Line one\nLine two;\nthree", "", "", "", "Bad\xEF\xBF\xBD" "byte"}));
    EXPECT_EQ(Find(card, "TEL"), nullptr);  // a blank phone is no phone
    EXPECT_EQ(Find(card, "URL"), nullptr);  // only web addresses

    fields.web_link = "www.example.com/a b";
    EXPECT_EQ(Find(ReadCard(ContactCard(fields)), "URL")->value, "http://www.example.com/a%20b");

    fields.name = " \x01";
    EXPECT_THROW(ContactCard(fields), std::invalid_argument);
}

TEST(ContactCard, FieldsOfOnlyBlanksLineBreaksAndControlsGiveNoProperty)
{
    const std::string empties[] = {"\x01\x02", "\n", "\r\n", " \t\r", "\x7F", "\xC2\x81\xC2\x8D", "\xC2\x85 \xC2\x9F"};
    for (const std::string& empty : empties) {
        SCOPED_TRACE(testing::PrintToString(empty));
        ContactCardFields fields;
        fields.name = "X";
        fields.phone = empty;
        fields.fax = empty;
        fields.local_toll = empty;
        fields.international_toll = empty;
        fields.email = empty;
        fields.street = empty;
        fields.country = empty;
        std::vector<std::string> names;
        for (const Property& p : ReadCard(ContactCard(fields))) names.push_back(p.name);
        EXPECT_EQ(names, (std::vector<std::string>{"BEGIN", "VERSION", "KIND", "FN", "ORG", "GEO", "END"}));

        fields.name = empty;
        EXPECT_THROW(ContactCard(fields), std::invalid_argument);
    }
}

TEST(ContactCard, TextIsRepairedAsTheDataFileIsDecoded)
{
    struct Case { const char* what; std::string text; std::string written; };
    const Case cases[] = {
        // What Windows-1252 bytes 81, 8D, 8F, 90 and 9D read as: controls.
        {"C1 controls", "A\xC2\x81" "B\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D" "C", "ABC"},
        {"NEL", "A\xC2\x85" "B", "AB"},
        {"the letter after C1", "\xC2\xA0\xC3\xA9", "\xC2\xA0\xC3\xA9"},
        {"tab", "A\tB", "A\tB"},
    };
    for (const Case& c : cases) {
        ContactCardFields fields;
        fields.name = c.text;
        EXPECT_EQ(Find(ReadCard(ContactCard(fields)), "FN")->value, c.written) << c.what;
    }

    // Malformed UTF-8 gets the U+FFFD that the data file's decoder gives it.
    const std::string malformed[] = {"\xE6\x9D", "\xF0\x9D\x84x", "\xED\xA0\x80", "\xC0\xAF", "\xFF\xFEz",
                                     "a\xF4\x90\x80\x80" "b", "\xE0\xA0", "\xF1\x80\x80"};
    for (const std::string& text : malformed) {
        ContactCardFields fields;
        fields.name = text;
        const std::string decoded(DecodeDataFile("\xEF\xBB\xBF" + text, Windows1252()).text());
        EXPECT_EQ(Find(ReadCard(ContactCard(fields)), "FN")->value, decoded) << testing::PrintToString(text);
    }
}

TEST(ContactCard, SemicolonsAreEscapedOnlyBetweenComponents)
{
    ContactCardFields fields;
    fields.name = "A; B";
    fields.street = "Rua 1; fundos";
    fields.phone = "+1 555; ext 2";
    fields.email = "a;b@example.com";
    const auto card = ReadCard(ContactCard(fields));
    EXPECT_EQ(Find(card, "FN")->value, "A; B");
    EXPECT_EQ(Find(card, "ORG")->value, "A\\; B");
    EXPECT_EQ(Find(card, "ADR")->value, ";;Rua 1\\; fundos;;;;");
    EXPECT_EQ(Find(card, "TEL")->value, "+1 555; ext 2");
    EXPECT_EQ(Find(card, "EMAIL")->value, "a;b@example.com");
}

TEST(ContactCard, UrlEncodesWhatUrisDoNotAllow)
{
    const std::pair<const char*, const char*> cases[] = {
        {"https://example.com/{a}|b^c`d", "https://example.com/%7Ba%7D%7Cb%5Ec%60d"},
        {"https://example.com/\"<x>\\", "https://example.com/%22%3Cx%3E%5C"},
        {"https://example.com/a?b=c&d=e#f~g_h-i.j!k*l'm(n)o;p:q@r+s$t,u/v%41",
         "https://example.com/a?b=c&d=e#f~g_h-i.j!k*l'm(n)o;p:q@r+s$t,u/v%41"},
    };
    for (const auto& [address, uri] : cases) {
        ContactCardFields fields;
        fields.name = "X";
        fields.web_link = address;
        EXPECT_EQ(Find(ReadCard(ContactCard(fields)), "URL")->value, uri) << address;
    }
}

// The card's GEO lies on the side of the equator and of the meridian where
// the map puts the office, whatever letters the data file has.
TEST(ContactCard, GeoFollowsTheMapsHemispheres)
{
    const char letters[] = {'N', 'S', 'E', 'W', 'n', 's', 'e', 'w', 'X', '?', '\0'};
    for (const char lat : letters) {
        for (const char lon : letters) {
            const TLocation office = test::Office("X", "", 10, lat, 20, lon);
            const MapPoint point = LocationTable::projectLocation(office, 640, 320);
            const std::string expected =
                std::string("geo:") + (point.y > 160 ? "-" : "") + "10," + (point.x < 320 ? "-" : "") + "20";
            const auto card = ReadCard(ContactCard(ContactCardFieldsOf(office, "")));
            EXPECT_EQ(Find(card, "GEO")->value, expected) << "'" << lat << "' '" << lon << "'";
        }
    }
}

// Long lines are folded at 75 octets, never inside a character, and unfold
// to what was written.
TEST(ContactCard, LongLinesFoldBetweenCharacters)
{
    for (const std::string piece : {"a", "é", "東", "😀"}) {
        std::string name;
        while (name.size() < 400) name += piece;
        ContactCardFields fields;
        fields.name = name;
        const std::string text = ContactCard(fields);
        for (const std::string& line : PhysicalLines(text)) {
            EXPECT_LE(line.size(), 75u) << piece;
            for (std::size_t i = 0; i < line.size();) {
                char32_t c = 0;
                const std::size_t length = DecodeUtf8(line, i, c);
                ASSERT_NE(length, 0u) << "split character in: " << line;
                i += length;
            }
        }
        EXPECT_EQ(Text(Find(ReadCard(text), "FN")->value), name) << piece;
    }
}

TEST(ContactCard, FileNamesSafeForWindows)
{
    const std::map<std::string, std::string> cases{
        {"Norvantic Nordic AB", "Norvantic Nordic AB.vcf"},
        {"Acme A/S: \"Nord\" <1|2>?*", "Acme A_S_ _Nord_ _1_2___.vcf"},
        {"  Norvantic Inc. ", "Norvantic Inc.vcf"},
        {"Tab\there", "Tab_here.vcf"},
        {"...", "Office.vcf"},
        {"", "Office.vcf"},
        {"CON", "CON_.vcf"},
        {"nul.txt", "nul_.txt.vcf"},
        {"Com7", "Com7_.vcf"},
        {"LPT\xC2\xB9", "LPT\xC2\xB9_.vcf"},
        {"COM10", "COM10.vcf"},
        {"Console", "Console.vcf"},
        {"Zürich 東京", "Zürich 東京.vcf"},
        {"Bad\xFF", "Bad_.vcf"},
    };
    for (const auto& [name, expected] : cases) EXPECT_EQ(ContactFileName(name), expected) << name;

    std::string long_name;
    for (int i = 0; i < 60; ++i) long_name += "é";  // 120 bytes
    const std::string file = ContactFileName(long_name);
    EXPECT_EQ(file, long_name.substr(0, 100) + ".vcf");
    EXPECT_EQ(ContactFileName("aux." + long_name), "aux_." + long_name.substr(0, 94) + ".vcf");
}

}  // namespace
}  // namespace mappa
