#include "mapdata/DataFile.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "mapdata/TextScan.h"
#include "support/NumberText.h"

namespace mappa {

LineCursor::LineCursor(std::string_view text, std::size_t offset, std::size_t lineNumber)
    : begin_(text.data() + std::min(offset, text.size())), end_(text.data() + text.size()), number_(lineNumber)
{
    arrive();
}

void LineCursor::arrive()
{
    line_end_ = scan::FindLineBreak(begin_, end_);
    if (line_end_ == begin_ && begin_ != end_ && !first_empty_) first_empty_ = number_;
}

void LineCursor::advance()
{
    if (atEnd()) return;
    const char* next = line_end_;
    if (next != end_) {
        ++next;
        if (*line_end_ == '\r' && next != end_ && *next == '\n') ++next;
    }
    begin_ = next;
    ++number_;
    arrive();
}

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    for (LineCursor cursor(text.substr(0, text.find('\0'))); !cursor.atEnd(); cursor.advance())
        lines.push_back(cursor.line());
    return lines;
}

namespace {

// Reads the lines at a cursor, failing with the line number when they run out.
class LineReader {
public:
    explicit LineReader(LineCursor& cursor) : cursor_(cursor) {}

    std::size_t position() const { return cursor_.lineNumber(); }

    std::string_view current(const char* expected) const
    {
        if (cursor_.atEnd())
            throw DataFileError(cursor_.lineNumber(), std::string("the file ends where ") + expected + " was expected");
        return cursor_.line();
    }
    std::string_view take(const char* expected)
    {
        const auto line = current(expected);
        cursor_.advance();
        return line;
    }

    // Moves past the next line that is exactly "*".
    void skipPastMarker(const char* what)
    {
        for (; !cursor_.atEnd(); cursor_.advance()) {
            if (cursor_.line() == "*") {
                cursor_.advance();
                return;
            }
        }
        throw DataFileError(cursor_.lineNumber(), std::string("no line \"*\" before ") + what);
    }

private:
    LineCursor& cursor_;
};

// The first `c` in `text`, by a plain loop: labels are a few bytes long, and a
// library search costs more than it saves on them.
std::size_t FindNear(std::string_view text, char c)
{
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == c) return i;
    return std::string_view::npos;
}

// "LABEL value": everything after the first space; empty without a space
// (the token split at the space, as SplitToken does it).
std::string_view LabelledValue(std::string_view line)
{
    const std::size_t space = FindNear(line, ' ');
    return space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
}

// Whether the text before the first `delimiter` of the line (all of it when
// there is none) is exactly `label`, which holds no `delimiter`; `rest` then
// gets the text after that delimiter.
bool HasLabel(std::string_view line, std::string_view label, char delimiter, std::string_view& rest)
{
    if (line.substr(0, label.size()) != label) return false;
    if (line.size() == label.size()) {
        rest = {};
        return true;
    }
    if (line[label.size()] != delimiter) return false;
    rest = line.substr(label.size() + 1);
    return true;
}

// The optional lines between the fifth line and the fax line, in the order
// they must stand in: the label, the character that ends it, and how many
// characters after that character the value begins.
struct OptionalLine {
    std::string_view label;
    char delimiter;
    std::size_t gap;
    OfficeField field;
    const char* expected;  // what the line there is called when the file ends
};

constexpr OptionalLine kPhoneLine{"PHONE:", ' ', 0, OfficeField::Phone, "the phone or fax line"};
constexpr OptionalLine kLocalTollLine{"LOCAL TOLL FREE", ':', 1, OfficeField::LocalToll, "a toll-free or fax line"};
constexpr OptionalLine kInterTollLine{"INTERNATIONAL TOLL FREE", ':', 1, OfficeField::InterToll,
                                      "a toll-free or fax line"};

bool HasComment(std::string_view line) { return line.find("//") != std::string_view::npos; }

// Where the reader notes the line of each part of a block: nowhere, at no
// cost, when nobody asked.
struct NoNotes {
    void field(OfficeField, std::size_t) {}
    void afterSeparators(std::size_t) {}
    void skipped(std::size_t) {}
};

// Only where a block's comment run lies, for the office's time lines.
struct CommentRunNotes {
    std::size_t first = OfficeLines::kNoLine;
    std::size_t end = OfficeLines::kNoLine;
    void field(OfficeField, std::size_t) {}
    void afterSeparators(std::size_t line) { first = line; }
    void skipped(std::size_t line) { end = line; }
};

class LineNotes {
public:
    explicit LineNotes(OfficeLines& lines) : lines_(lines) {}
    void field(OfficeField field, std::size_t line) { lines_.fields[static_cast<std::size_t>(field)] = line; }
    void afterSeparators(std::size_t line) { lines_.afterSeparators = line; }
    void skipped(std::size_t line) { lines_.skipped = line; }

private:
    OfficeLines& lines_;
};

// Takes the next line as `field`, noting where it came from.
template <typename Notes>
std::string_view TakeField(LineReader& reader, Notes& notes, OfficeField field, const char* expected)
{
    const std::size_t line_number = reader.position();
    const std::string_view line = reader.take(expected);
    notes.field(field, line_number);
    return line;
}

template <typename Notes>
void TakeOptional(LineReader& reader, Notes& notes, const OptionalLine& optional, std::string_view& field)
{
    std::string_view rest;
    if (!HasLabel(reader.current(optional.expected), optional.label, optional.delimiter, rest)) return;
    field = rest.substr(std::min(optional.gap, rest.size()));
    TakeField(reader, notes, optional.field, "");
}

template <typename Notes>
void ReadCoordinate(LineReader& reader, Notes& notes, OfficeField field, const char* what, double& value,
                    char& hemisphere)
{
    const std::size_t line_number = reader.position();
    std::string_view rest = LabelledValue(TakeField(reader, notes, field, what));
    const std::string_view line_value = rest;
    const std::size_t space = FindNear(rest, ' ');
    const std::string_view number = rest.substr(0, space);
    rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
    const auto parsed = ParseDecimal(number);
    if (!parsed) {
        const bool latitude = std::string_view(what) == "latitude";
        throw DataFileError(line_number, std::string(what) + " \"" + std::string(line_value) +
                                             "\" is not a number followed by a space and " +
                                             (latitude ? "N or S" : "E or W"));
    }
    value = *parsed;
    // The first byte: a letter outside ASCII gives the first byte of its UTF-8
    // form, which is never one of N, S, E or W, as no such letter is.
    hemisphere = rest.empty() ? '\0' : rest.front();
}

template <typename Notes>
LocationView ReadRecord(LineReader& reader, Notes& notes)
{
    const auto take = [&](OfficeField field, const char* expected) {
        return LabelledValue(TakeField(reader, notes, field, expected));
    };
    LocationView record;
    record.Name = take(OfficeField::Name, "the name line");
    record.Extra1 = take(OfficeField::Extra1, "the second line of an office");
    record.Country = take(OfficeField::Country, "the country line");
    record.Extra2 = take(OfficeField::Extra2, "the fourth line of an office");
    record.Extra3 = take(OfficeField::Extra3, "the fifth line of an office");
    TakeOptional(reader, notes, kPhoneLine, record.Phone);
    TakeOptional(reader, notes, kLocalTollLine, record.LocalToll);
    TakeOptional(reader, notes, kInterTollLine, record.InterToll);
    record.Fax = take(OfficeField::Fax, "the fax line");
    record.Email = take(OfficeField::Email, "the e-mail line");
    ReadCoordinate(reader, notes, OfficeField::Latitude, "latitude", record.Latitude, record.LatHemisphere);
    ReadCoordinate(reader, notes, OfficeField::Longitude, "longitude", record.Longitude, record.LongHemisphere);
    record.OfficeType = take(OfficeField::OfficeType, "the office type line");
    return record;
}

// Separator lines, then a run of comment lines with the one line after it.
template <typename Notes>
void SkipBlockPreamble(LineReader& reader, Notes& notes)
{
    std::string_view line = reader.current("an office");
    for (; IsSeparatorLine(line); line = reader.current("an office")) reader.take("");
    notes.afterSeparators(reader.position());
    if (line.empty()) throw DataFileError(reader.position(), "empty line after the separator lines of an office");
    if (!HasComment(line)) return;
    while (HasComment(reader.current("the line after a comment"))) reader.take("");
    const std::size_t skipped = reader.position();
    reader.take("the line after a comment");
    notes.skipped(skipped);
}

template <typename Notes>
LocationView ReadBlock(LineCursor& cursor, Notes& notes)
{
    LineReader reader(cursor);
    SkipBlockPreamble(reader, notes);
    return ReadRecord(reader, notes);
}

}  // namespace

bool IsSeparatorLine(std::string_view line) { return !line.empty() && line.front() == '*'; }

bool IsOptionalLine(std::string_view line)
{
    std::string_view rest;
    for (const OptionalLine* optional : {&kPhoneLine, &kLocalTollLine, &kInterTollLine})
        if (HasLabel(line, optional->label, optional->delimiter, rest)) return true;
    return false;
}

void ReadHeader(LineCursor& cursor, DataFileHeader& header)
{
    LineReader reader(cursor);
    reader.skipPastMarker("the company web address");
    header.webLink = reader.take("the company web address");
    reader.skipPastMarker("the support web address");
    header.webLink2 = reader.take("the support web address");
    header.firstBlock = reader.position();
}

LocationView ReadOfficeBlock(LineCursor& cursor, OfficeLines* lines)
{
    if (!lines) {
        NoNotes none;
        return ReadBlock(cursor, none);
    }
    LineNotes notes(*lines);
    return ReadBlock(cursor, notes);
}

namespace {

// Reads text that the table holds. The table gets one slot per line before
// the first empty line, which is known only once the reading has passed it;
// until then no office can reach it, as each takes several lines.
void ReadHeldText(std::string_view text, LocationTable& table)
{
    LocationSlots& slots = table.Locations;
    slots.setSlotCount(std::numeric_limits<std::size_t>::max());
    LineCursor cursor(text);
    try {
        // A web address read before a fault in the header is kept.
        DataFileHeader header;
        try {
            ReadHeader(cursor, header);
        } catch (...) {
            table.WebLink = header.webLink;
            table.WebLink2 = header.webLink2;
            throw;
        }
        table.WebLink = header.webLink;
        table.WebLink2 = header.webLink2;

        LineReader reader(cursor);
        while (!reader.current("the empty line that ends the data").empty()) {
            const std::size_t block_start = cursor.lineNumber();
            LineCursor run = cursor;
            CommentRunNotes comments;
            const LocationView record = ReadBlock(cursor, comments);
            if (slots.storedCount() == cursor.firstEmptyLine()) {
                throw DataFileError(block_start,
                                    "more offices than slots: an empty line stands inside the header or an office");
            }
            slots.appendView(record);
            OfficeTimeLines& time_lines = table.TimeLines.emplace_back();
            if (comments.end != OfficeLines::kNoLine) {
                while (run.lineNumber() < comments.first) run.advance();
                for (; run.lineNumber() < comments.end; run.advance()) {
                    NoteTimeLine(run.line(), run.lineNumber(), time_lines);
                }
            }
        }
        slots.setSlotCount(*cursor.firstEmptyLine());
    } catch (...) {
        while (!cursor.firstEmptyLine() && !cursor.atEnd()) cursor.advance();
        if (!cursor.firstEmptyLine()) {
            // Without an empty line the table cannot be sized at all.
            slots.reset(0);
            table.TimeLines.clear();
            table.WebLink.clear();
            table.WebLink2.clear();
            throw DataFileError(cursor.lineNumber(), "no empty line ends the data");
        }
        slots.setSlotCount(*cursor.firstEmptyLine());
        throw;
    }
}

void ClearTable(LocationTable& table)
{
    table.Locations.reset(0);
    table.TimeLines.clear();
    table.WebLink.clear();
    table.WebLink2.clear();
}

}  // namespace

void ReadDataBytes(std::string bytes, const CodePageDecoder& codePage, LocationTable& table)
{
    DecodedText decoded = DecodeDataFile(std::move(bytes), codePage);
    ClearTable(table);
    const std::string_view held = table.Locations.holdText(std::move(decoded.storage));
    ReadHeldText(held.substr(decoded.start, decoded.size), table);
}

void ReadDataText(std::string_view text, LocationTable& table)
{
    ClearTable(table);
    ReadHeldText(table.Locations.holdText(std::string(text.substr(0, text.find('\0')))), table);
}

void loadDataFile(LocationTable& table, DataFileSource& source)
{
    table.Locations.reset(0);
    table.TimeLines.clear();
    table.WebLink.clear();
    table.WebLink2.clear();

    const char* message = nullptr;
    bool terminate = false;
    try {
        std::string path = source.policyPath().value_or(source.defaultPath());
        const bool finder_registered = source.finderRegistered();
        if (!source.fileExists(path) && finder_registered) path = source.resolveWithFinder(kFinderRequest, kFinderOption);
        if (path.empty() || !source.fileExists(path)) {
            message = kMessageCannotFind;
            terminate = true;
        } else {
            ReadDataBytes(source.readFile(path), source.codePage(), table);
        }
    } catch (const DataFileUnreadable&) {
        message = kMessageUnableToOpen;
    } catch (...) {
        message = kMessageDataError;
    }

    if (message) source.showMessage(message);
    if (terminate) source.requestTerminate();
}

}  // namespace mappa
