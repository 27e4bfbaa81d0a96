// The office map's and its links' texts in English. The link reader's reasons
// are shown in the user's language from the string tables (the window matches
// them there); the automation errors, for the scripts' authors, stay English
// and begin with the name of the argument they are about, as the type library
// spells it.
#pragma once

namespace mappa::texts {

// Why a link is not opened; each is a whole sentence for a message box.
inline constexpr const char* kLinkTooLong = "This Mappa link is too long, so it was not opened.";
inline constexpr const char* kLinkValueTooLong = "A name or text in this Mappa link is too long, so it was not opened.";
inline constexpr const char* kLinkOtherScheme = "This is not a Mappa link (mappa:...), so it was not opened.";
inline constexpr const char* kLinkUnknownKind =
    "Mappa opens only office and find links (mappa:office?... and mappa:find?...); this link was not opened.";
inline constexpr const char* kLinkBadEscape =
    "This Mappa link holds a malformed %-escape or a control character, so it was not opened.";
inline constexpr const char* kLinkBadCharacter =
    "This Mappa link holds a blank, a quote or another character that no link may hold, so it was not opened.";
inline constexpr const char* kLinkNoValue = "A part of this Mappa link has no value, so it was not opened.";
inline constexpr const char* kLinkUnknownPart = "This Mappa link has a part that Mappa does not know, so it was not opened.";
inline constexpr const char* kLinkTwice = "A part of this Mappa link is given twice, so it was not opened.";
inline constexpr const char* kLinkNoOffice = "This Mappa link names no office, so it was not opened.";
inline constexpr const char* kLinkNoText = "This Mappa link gives no text to find, so it was not opened.";
inline constexpr const char* kLinkSwitch =
    "The command line holds a switch after a link or a search, which Mappa does not take there; nothing was opened.";

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
