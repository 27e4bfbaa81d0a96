#include "OfficeListWriter.h"

#include <array>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace mappa::bench {
namespace {

constexpr std::array<std::string_view, 24> kCountries{
    "United Kingdom", "France",      "Germany",       "Spain",     "Italy",        "Netherlands",
    "Belgium",        "Switzerland", "Austria",       "Sweden",    "Norway",       "Denmark",
    "Poland",         "Portugal",    "Ireland",       "Japan",     "Australia",    "Canada",
    "United States",  "Brazil",      "South Africa",  "Singapore", "New Zealand",  "United Arab Emirates"};

constexpr std::array<std::string_view, 16> kCities{
    "London", "Paris",  "Berlin",  "Madrid",  "Rome",    "Amsterdam", "Brussels", "Zurich",
    "Vienna", "Oslo",   "Warsaw",  "Lisbon",  "Dublin",  "Tokyo",     "Sydney",   "Toronto"};

constexpr std::array<std::string_view, 8> kStreets{
    "High Street", "Calle de Alcala", "Rue de Rivoli", "Friedrichstrasse",
    "Via del Corso", "Damrak", "Bahnhofstrasse", "Queen Street West"};

constexpr std::array<std::string_view, 16> kWesternCities{
    "Z\u00fcrich", "S\u00e3o Paulo", "Krak\u00f3w", "M\u00e1laga", "G\u00f6teborg", "Reykjav\u00edk",
    "K\u00f8benhavn", "D\u00fcsseldorf", "Gen\u00e8ve", "Li\u00e8ge", "Bras\u00edlia", "Link\u00f6ping",
    "A Coru\u00f1a", "Troms\u00f8", "Cura\u00e7ao", "Montr\u00e9al"};

constexpr std::array<std::string_view, 8> kWesternStreets{
    "Bahnhofstra\u00dfe", "Calle de Alcal\u00e1", "Rue de la R\u00e9publique", "K\u00f6nigsallee",
    "Pra\u00e7a da S\u00e9", "Str\u00f8get", "Avenida Bel\u00e9m", "Pl\u00e4tzli Gasse"};

constexpr std::array<std::string_view, 3> kTypes{"Sales", "Support", "Partner"};

class Writer {
public:
    explicit Writer(std::string& out) : out_(out) {}

    void line(std::string_view text)
    {
        out_ += text;
        out_ += '\n';
        ++lines_;
    }
    template <typename... Args>
    void format(const char* pattern, Args... args)
    {
        char buffer[256];
        const int length = std::snprintf(buffer, sizeof buffer, pattern, args...);
        line(std::string_view(buffer, static_cast<std::size_t>(length)));
    }
    std::size_t lines() const { return lines_; }

private:
    std::string& out_;
    std::size_t lines_ = 0;
};

}  // namespace

std::string MakeOfficeList(std::size_t offices, OfficeListShape* shape, OfficeLetters letters)
{
    const bool western = letters == OfficeLetters::Western;
    const auto& cities = western ? kWesternCities : kCities;
    const auto& streets = western ? kWesternStreets : kStreets;
    std::mt19937 random(static_cast<unsigned>(offices) * 2654435761u + 17u);
    const auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
    const auto pick = [&](std::size_t count) { return static_cast<std::size_t>(random() % count); };

    std::string text;
    text.reserve(offices * 330 + 1024);
    Writer out(text);

    out.line("Mappa office list");
    out.line("Norvantic sales, support and partner offices shown on the world map.");
    out.line("Lines containing // are comments; leave a separator line after them.");
    out.line("*");
    out.line("https://www.example.com/");
    out.line("Support web site:");
    out.line("*");
    out.line("https://support.example.com/");

    std::vector<std::string> used_countries;
    used_countries.reserve(offices);
    for (std::size_t i = 0; i < offices; ++i) {
        // About 40% of the offices share a country with an earlier office.
        std::string country;
        if (i == offices / 2) {
            country = kMiddleCountry;
        } else if (!used_countries.empty() && chance(40)) {
            country = used_countries[pick(used_countries.size())];
        } else {
            country = std::string(kCountries[i % kCountries.size()]);
            if (i >= kCountries.size()) country += " Region " + std::to_string(i / kCountries.size());
            used_countries.push_back(country);
        }
        const std::string_view city = cities[pick(cities.size())];
        const std::string_view type = kTypes[pick(kTypes.size())];

        out.line("*---------------------------------------------------------------");
        if (chance(10)) {
            out.format("// %s office, reviewed in %d", city.data(), 2000 + static_cast<int>(pick(25)));
            if (chance(30)) out.line("// opening hours: 09:00 to 17:30 local time");
            out.line("*---------------------------------------------------------------");
        }
        out.format("NAME: Norvantic %s %s Office %zu", city.data(), type.data(), i + 1);
        out.format("ADDRESS: %zu %s", 1 + pick(400), streets[pick(streets.size())].data());
        out.format("COUNTRY: %s", country.c_str());
        out.format("CITY: %s", city.data());
        out.format("POSTCODE: %05zu", pick(100000));
        const unsigned area = static_cast<unsigned>(10 + pick(90));
        const unsigned number = static_cast<unsigned>(pick(10000));
        if (chance(90)) out.format("PHONE: +%u %u 555 %04u", 1 + static_cast<unsigned>(pick(98)), area, number);
        if (chance(30)) out.format("LOCAL TOLL FREE: 0800 555 %04u", number);
        if (chance(20)) out.line("INTERNATIONAL TOLL FREE: 00800 5550 1000");
        out.format("FAX: +%u %u 555 %04u", 1 + static_cast<unsigned>(pick(98)), area, (number + 1) % 10000);
        out.format("EMAIL: %s.office%zu@example.com", type == "Sales" ? "sales" : "support", i + 1);
        out.format("LATITUDE: %u.%02u %c", static_cast<unsigned>(pick(90)), static_cast<unsigned>(pick(100)),
                   chance(70) ? 'N' : 'S');
        out.format("LONGITUDE: %u.%02u %c", static_cast<unsigned>(pick(180)), static_cast<unsigned>(pick(100)),
                   chance(50) ? 'E' : 'W');
        out.format("TYPE: %s", type.data());
    }
    const std::size_t data_lines = out.lines();
    text += '\n';  // the empty line that ends the data
    text += "Notes after the data are not read.\n";

    if (shape) *shape = {offices, data_lines, text.size()};
    return text;
}

}  // namespace mappa::bench

namespace mappa::bench {
namespace {

// The code points of well-formed UTF-8, which is all this file writes.
template <typename Function>
void ForEachCodePoint(std::string_view utf8, Function&& function)
{
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) c = (c << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        function(c);
        i += length;
    }
}

}  // namespace

std::string ToWindows1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    ForEachCodePoint(utf8, [&](char32_t c) {
        if (c >= 0x80 && c < 0xA0) throw std::invalid_argument("no such letter in the list's Windows-1252 text");
        if (c >= 0x100) throw std::invalid_argument("a letter outside Windows-1252");
        out += static_cast<char>(c);
    });
    return out;
}

std::string WithUtf8Mark(std::string_view utf8) { return "\xEF\xBB\xBF" + std::string(utf8); }

std::string ToUtf16WithMark(std::string_view utf8)
{
    std::string out = "\xFF\xFE";
    out.reserve(2 * utf8.size() + 2);
    const auto unit = [&](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    ForEachCodePoint(utf8, [&](char32_t c) {
        if (c < 0x10000) {
            unit(c);
        } else {
            unit(0xD800 + ((c - 0x10000) >> 10));
            unit(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    });
    return out;
}

}  // namespace mappa::bench
