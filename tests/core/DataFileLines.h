// Office lists written line by line for the data file's tests.
#pragma once

#include <initializer_list>
#include <ostream>
#include <string>
#include <vector>

#include "mapdata/DataFile.h"

namespace mappa {

inline void PrintTo(const TLocation& l, std::ostream* os)
{
    *os << "{" << l.Name << " | " << l.Extra1 << " | " << l.Country << " | " << l.Extra2 << " | " << l.Extra3
        << " | P " << l.Phone << " | L " << l.LocalToll << " | I " << l.InterToll << " | F " << l.Fax << " | "
        << l.Email << " | " << l.Latitude << ' ' << int(l.LatHemisphere) << " | " << l.Longitude << ' '
        << int(l.LongHemisphere) << " | " << l.OfficeType << "}";
}

namespace test_lines {

using Lines = std::vector<std::string>;

inline Lines Cat(std::initializer_list<Lines> parts)
{
    Lines all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

inline std::string Join(const Lines& lines, const std::string& eol = "\r\n")
{
    std::string text;
    for (const auto& line : lines) text += line + eol;
    return text;
}

inline const Lines kHeader = {"Mappa office list", "Lines with // are comments.", "*", "Web: https://www.example.com/",
                       "Support web site:", "*", "https://support.example.com/"};
inline const Lines kEnd = {""};

// One office; `middle` stands between the fifth line and the e-mail line.
inline Lines Block(const std::string& name, const Lines& middle = {"FAX: F"})
{
    return Cat({{"*------", "NAME: " + name, "ADDRESS: A", "COUNTRY: C", "CITY: D", "POSTCODE: E"}, middle,
                {"EMAIL: M", "LATITUDE: 1 N", "LONGITUDE: 2 E", "TYPE: T"}});
}

// The number of slots: lines before the first empty line, none without one.
inline std::size_t SlotCount(const Lines& lines)
{
    std::size_t n = 0;
    while (n < lines.size() && !lines[n].empty()) ++n;
    return n == lines.size() ? 0 : n;
}

}  // namespace test_lines
}  // namespace mappa
