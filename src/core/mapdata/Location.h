// One office as read from the data file, with its pixel position on the map.
//
// Text is UTF-8. The same fields come in two kinds: TLocation owns its text
// (a copy that lives on its own), LocationView looks into the text that the
// location table keeps (cheap to read, valid as long as the table).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace mappa {

template <typename Text>
struct BasicLocation {
    Text Name;       // empty marks the end of the data in the table
    Text Extra1;
    Text Phone;
    Text Fax;
    Text LocalToll;
    Text InterToll;
    Text Email;
    Text Country;
    Text Extra2;
    Text Extra3;
    double Longitude = 0.0;
    char LongHemisphere = '\0';  // E or W, either case
    double Latitude = 0.0;
    char LatHemisphere = '\0';   // N or S, either case
    Text OfficeType;
    std::int32_t MapX = 0;
    std::int32_t MapY = 0;
};

using TLocation = BasicLocation<std::string>;
using LocationView = BasicLocation<std::string_view>;

// Applies `function` to each pair of same-named text fields of two records.
template <typename A, typename B, typename Function>
void ForEachTextField(A& a, B& b, Function&& function)
{
    function(a.Name, b.Name);
    function(a.Extra1, b.Extra1);
    function(a.Phone, b.Phone);
    function(a.Fax, b.Fax);
    function(a.LocalToll, b.LocalToll);
    function(a.InterToll, b.InterToll);
    function(a.Email, b.Email);
    function(a.Country, b.Country);
    function(a.Extra2, b.Extra2);
    function(a.Extra3, b.Extra3);
    function(a.OfficeType, b.OfficeType);
}

// A record of one kind made from a record of the other: TLocation from a
// LocationView copies the text; the other way round views it.
template <typename To, typename From>
BasicLocation<To> ConvertLocation(const BasicLocation<From>& from)
{
    BasicLocation<To> to;
    ForEachTextField(to, from, [](To& target, const From& source) { target = To(source); });
    to.Longitude = from.Longitude;
    to.LongHemisphere = from.LongHemisphere;
    to.Latitude = from.Latitude;
    to.LatHemisphere = from.LatHemisphere;
    to.MapX = from.MapX;
    to.MapY = from.MapY;
    return to;
}

inline TLocation ToLocation(const LocationView& view) { return ConvertLocation<std::string>(view); }

// Field by field, across both kinds.
template <typename A, typename B>
bool operator==(const BasicLocation<A>& a, const BasicLocation<B>& b)
{
    bool same = a.Longitude == b.Longitude && a.LongHemisphere == b.LongHemisphere && a.Latitude == b.Latitude &&
                a.LatHemisphere == b.LatHemisphere && a.MapX == b.MapX && a.MapY == b.MapY;
    ForEachTextField(a, b, [&](const A& left, const B& right) { same = same && std::string_view(left) == right; });
    return same;
}

}  // namespace mappa
