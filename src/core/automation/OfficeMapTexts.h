// The office map's automation errors in English: they are for the scripts'
// authors, and each begins with the name of the argument it is about, as the
// type library spells it.
#pragma once

namespace mappa::texts {

// The automation errors; the numbers and values are put in where they stand.
inline constexpr const char* kNoWindow = "The map has no offices: its window is not open";
inline constexpr const char* kNoPlace = ": no place for the result";
inline constexpr const char* kLatitudeRange = " is not between -90 and 90";
inline constexpr const char* kLongitudeRange = " is not between -180 and 180";
inline constexpr const char* kNoSuchOffice = " is no office: the offices are numbered 1 to ";
inline constexpr const char* kEmptyList = " is no office: the list is empty";
inline constexpr const char* kNotAnOffice = "Office: neither an office nor an office's number";
inline constexpr const char* kNothingIsNoOffice = "Office: Nothing is no office";
inline constexpr const char* kForeignObject = "Office: this object is no office of the map";

}  // namespace mappa::texts
