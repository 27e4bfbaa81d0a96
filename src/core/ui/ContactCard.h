// An office as a contact card, for "Save as contact": a vCard 4.0 (RFC 6350)
// in UTF-8 with CR LF line ends, and a file name to suggest for it.
#pragma once

#include <string>
#include <string_view>

namespace mappa {

struct ContactCardFields {
    std::string_view name;      // FN and ORG; must not be empty
    std::string_view street;    // the office's second line
    std::string_view city;      // its fourth line
    std::string_view postcode;  // its fifth line
    std::string_view country;
    std::string_view phone, fax, local_toll, international_toll;
    std::string_view email;
    std::string_view web_link;  // the company web site
    double latitude = 0.0;
    char lat_hemisphere = '\0';  // N or S, either case
    double longitude = 0.0;
    char long_hemisphere = '\0';  // E or W, either case
    std::string_view time_zone;  // IANA name, for TZ; empty: none
};

// The card's fields from a location record and the company web site.
template <typename Record>
ContactCardFields ContactCardFieldsOf(const Record& record, std::string_view web_link)
{
    return {record.Name,      record.Extra1,    record.Extra2,        record.Extra3,
            record.Country,   record.Phone,     record.Fax,           record.LocalToll,
            record.InterToll, record.Email,     web_link,             record.Latitude,
            record.LatHemisphere, record.Longitude, record.LongHemisphere, {}};
}

// The card. A field with nothing but blanks and control characters gives no
// property (and no ADR at all when the address is wholly empty). Phone numbers are text values as written in
// the data file, typed work and voice or fax; the two toll-free numbers carry
// their name in the X-ABLabel of their property group, the label convention
// that Apple and Google address books read. GEO is a geo: URI in signed
// decimal degrees, south and west negative; it is left out when a coordinate
// is out of range. TZ is the IANA name of the office's zone. The URL is written only for an http, https or www.
// address. Text that is not valid UTF-8 is repaired with U+FFFD as the data
// file's decoder repairs it, control characters (C0, DEL, C1) other than tab
// are dropped, line breaks become \n.
// Throws std::invalid_argument for an office without a name of that kind.
std::string ContactCard(const ContactCardFields& fields);

// A file name for the card: the office's name with the characters that
// Windows does not allow in file names replaced by "_", without trailing dots
// or spaces, at most 100 bytes (whole characters), not a reserved device
// name, and ending in ".vcf". "Office.vcf" when nothing of the name is left.
std::string ContactFileName(std::string_view name);

}  // namespace mappa
