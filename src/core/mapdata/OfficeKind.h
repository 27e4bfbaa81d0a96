// The kind of an office, from the TYPE line of its record.
#pragma once

#include <string_view>

namespace mappa {

enum class OfficeKind { Sales, Support, Other };

// "sales" and "support" in any letter case; everything else is Other.
OfficeKind KindOfOffice(std::string_view officeType);

}  // namespace mappa
