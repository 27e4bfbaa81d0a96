// Number text in the data file: "." is the decimal separator on every machine,
// whatever the user's regional settings say.
#pragma once

#include <optional>
#include <string_view>

namespace mappa {

// Reads a decimal number of exactly this form: an optional sign, one or more
// digits, optionally "." and one or more digits, optionally "E" or "e", an
// optional sign and one or more digits. Anything else, and a number too large
// for a double, gives nothing. Never depends on the C library's locale.
std::optional<double> ParseDecimal(std::string_view text);

}  // namespace mappa
