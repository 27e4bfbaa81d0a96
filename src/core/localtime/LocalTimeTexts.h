// The English texts of the local time's label and the find dialog; the
// window's texts in every language are in the string tables.
#pragma once

namespace mappa::texts {

inline constexpr const char* kLocalTimeLabel = "Local time:";
// The find dialog.
inline constexpr const char* kFindLocalTimeColumn = "Local time";

}  // namespace mappa::texts
