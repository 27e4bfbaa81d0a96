// Text and path utilities shared by the data loader, the settings stores and
// the window placement. All text is UTF-8, whose bytes of a multi-byte
// character are never ASCII, so that "\" and ":" split paths safely;
// "ignoring case" folds the ASCII letters only.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace mappa {

// True for "T", "True", "Y", "Yes", "On" in any letter case and for exactly
// "1", "-1" or "+". Nothing is trimmed.
bool TextToBool(std::string_view text);

// Takes the text before the first `delimiter` out of `source`; `source` keeps
// what follows the delimiter. Without the delimiter (or with NUL as the
// delimiter) the whole source is the token and `source` becomes empty.
std::string SplitToken(std::string& source, char delimiter);

// The same split over a view, for callers that only read.
std::string_view SplitToken(std::string_view& source, char delimiter);

// Reads the next field of a comma-separated list whose fields may be enclosed
// in double quotes or apostrophes.
std::string NextField(std::string& source);

std::string AddBackslash(std::string_view path);
std::string StripBackslash(std::string_view path);

// The directory part of a path, without its trailing backslash except at a
// drive root: "C:\Tools\prog.exe" -> "C:\Tools", "C:\prog.exe" -> "C:\".
std::string ExtractDirectory(std::string_view path);

bool StartsWithText(std::string_view text, std::string_view prefix);

// A to Z as a to z; every other byte as it is (letters beyond ASCII too).
inline char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
std::string LowerCaseAscii(std::string_view text);

// The drive part of a path: "C:" or "\\server\share", empty when it has neither.
std::string ExtractDrive(std::string_view path);

// Asks the file system for one entry: given a full path, returns the entry's
// name (last component only) as stored, or nothing when there is no such entry.
using EntryLookup = std::function<std::optional<std::string>(const std::string& path)>;

// Rebuilds `directory` + `name` with each component of `name` spelled as the
// file system stores it; components that do not exist are left out.
std::string TrueCasePath(std::string_view directory, std::string_view name, const EntryLookup& lookup);

}  // namespace mappa
