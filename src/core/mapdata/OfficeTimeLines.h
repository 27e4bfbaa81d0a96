// An office's opening hours and time zone, which a data file may give in the
// comment run at the start of the office's block:
//
//     *------------------------------
//     // HOURS: Mo-Fr 09:00-17:30; Sa 10:00-13:00
//     // TIMEZONE: Asia/Tokyo
//     *------------------------------
//     NAME: ...
//
// Every copy of the program skips such a run together with the line after it
// (here the second separator), so older copies read the same offices from
// the file, unchanged.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace mappa {

struct OfficeTimeLines {
    static constexpr std::size_t kNoLine = static_cast<std::size_t>(-1);

    std::string_view hours;  // as written, e.g. "Mo-Fr 09:00-17:30"
    std::size_t hoursLine = kNoLine;
    std::string_view zone;   // an IANA name, e.g. "Asia/Tokyo"
    std::size_t zoneLine = kNoLine;
};

// Takes a line of a comment run into `lines` when it is "// HOURS: ..." or
// "// TIMEZONE: ..." (spaces after "//" optional, labels exactly so); other
// comment lines change nothing. The views look into `line`.
void NoteTimeLine(std::string_view line, std::size_t lineNumber, OfficeTimeLines& lines);

}  // namespace mappa
