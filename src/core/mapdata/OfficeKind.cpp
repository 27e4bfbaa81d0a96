#include "mapdata/OfficeKind.h"

#include "support/Support2.h"

namespace mappa {

OfficeKind KindOfOffice(std::string_view officeType)
{
    const auto is = [&](std::string_view word) { return officeType.size() == word.size() && StartsWithText(officeType, word); };
    if (is("sales")) return OfficeKind::Sales;
    if (is("support")) return OfficeKind::Support;
    return OfficeKind::Other;
}

}  // namespace mappa
