#include "mapdata/OfficeTimeLines.h"

namespace mappa {

namespace {

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

void NoteTimeLine(std::string_view line, std::size_t lineNumber, OfficeTimeLines& lines)
{
    line = Trim(line);
    if (!line.starts_with("//")) return;
    line = Trim(line.substr(2));
    if (line.starts_with("HOURS:")) {
        lines.hours = Trim(line.substr(6));
        lines.hoursLine = lineNumber;
    } else if (line.starts_with("TIMEZONE:")) {
        lines.zone = Trim(line.substr(9));
        lines.zoneLine = lineNumber;
    }
}

}  // namespace mappa
