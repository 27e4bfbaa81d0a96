#include "mapdata/DataFile.h"

#include <algorithm>
#include <utility>

#include "support/NumberText.h"
#include "support/Support2.h"

namespace mappa {

std::vector<std::string_view> SplitLines(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    std::vector<std::string_view> lines;
    lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);

    const char* const data = text.data();
    const std::size_t size = text.size();
    std::size_t start = 0;
    while (start < size) {
        std::size_t end = start;
        while (end < size && data[end] != '\r' && data[end] != '\n') ++end;
        lines.emplace_back(data + start, end - start);
        if (end == size) break;
        start = end + 1;
        if (data[end] == '\r' && start < size && data[start] == '\n') ++start;
    }
    return lines;
}

namespace {

// Walks the lines of the file, failing with the line number when it runs out.
class LineReader {
public:
    explicit LineReader(const std::vector<std::string_view>& lines) : lines_(lines) {}

    std::size_t position() const { return at_; }
    void moveTo(std::size_t at) { at_ = at; }

    std::string_view current(const char* expected) const { return current(at_, expected); }
    std::string_view current(std::size_t at, const char* expected) const
    {
        if (at >= lines_.size()) throw DataFileError(at, std::string("the file ends where ") + expected + " was expected");
        return lines_[at];
    }
    std::string_view take(const char* expected)
    {
        const auto line = current(expected);
        ++at_;
        return line;
    }

    // Index of the next line that is exactly "*", from `from` on.
    std::size_t findMarker(std::size_t from, const char* what) const
    {
        for (std::size_t i = from; i < lines_.size(); ++i)
            if (lines_[i] == "*") return i;
        throw DataFileError(lines_.size(), std::string("no line \"*\" before ") + what);
    }

private:
    const std::vector<std::string_view>& lines_;
    std::size_t at_ = 0;
};

// "LABEL value": everything after the first space; empty without a space.
std::string_view LabelledValue(std::string_view line)
{
    SplitToken(line, ' ');
    return line;
}

// "LABEL: value" after a colon: the text after the colon less its first character.
std::string_view ColonValue(std::string_view rest) { return rest.substr(std::min<std::size_t>(1, rest.size())); }

bool TakeOptionalPhone(LineReader& reader, std::string& field)
{
    std::string_view rest = reader.current("the phone or fax line");
    if (SplitToken(rest, ' ') != "PHONE:") return false;
    field = rest;
    reader.take("");
    return true;
}

bool TakeOptionalToll(LineReader& reader, std::string_view label, std::string& field)
{
    std::string_view rest = reader.current("a toll-free or fax line");
    if (SplitToken(rest, ':') != label) return false;
    field = ColonValue(rest);
    reader.take("");
    return true;
}

void ReadCoordinate(LineReader& reader, const char* what, double& value, char& hemisphere)
{
    const std::size_t line_number = reader.position();
    std::string_view rest = LabelledValue(reader.take(what));
    const std::string_view line_value = rest;
    const std::string_view number = SplitToken(rest, ' ');
    const auto parsed = ParseDecimal(number);
    if (!parsed) {
        const bool latitude = std::string_view(what) == "latitude";
        throw DataFileError(line_number, std::string(what) + " \"" + std::string(line_value) +
                                             "\" is not a number followed by a space and " +
                                             (latitude ? "N or S" : "E or W"));
    }
    value = *parsed;
    hemisphere = rest.empty() ? '\0' : rest.front();
}

TLocation ReadRecord(LineReader& reader, OfficeBlock& block)
{
    TLocation record;
    block.nameLine = reader.position();
    record.Name = LabelledValue(reader.take("the name line"));
    record.Extra1 = LabelledValue(reader.take("the second line of an office"));
    record.Country = LabelledValue(reader.take("the country line"));
    record.Extra2 = LabelledValue(reader.take("the fourth line of an office"));
    record.Extra3 = LabelledValue(reader.take("the fifth line of an office"));
    TakeOptionalPhone(reader, record.Phone);
    TakeOptionalToll(reader, "LOCAL TOLL FREE", record.LocalToll);
    TakeOptionalToll(reader, "INTERNATIONAL TOLL FREE", record.InterToll);
    block.faxLine = reader.position();
    record.Fax = LabelledValue(reader.take("the fax line"));
    record.Email = LabelledValue(reader.take("the e-mail line"));
    ReadCoordinate(reader, "latitude", record.Latitude, record.LatHemisphere);
    ReadCoordinate(reader, "longitude", record.Longitude, record.LongHemisphere);
    record.OfficeType = LabelledValue(reader.take("the office type line"));
    return record;
}

bool HasComment(std::string_view line) { return line.find("//") != std::string_view::npos; }

// Separator lines, then a run of comment lines with the one line after it.
void SkipBlockPreamble(LineReader& reader, OfficeBlock& block)
{
    while (true) {
        const auto line = reader.current("an office");
        if (line.empty()) throw DataFileError(reader.position(), "empty line after the separator lines of an office");
        if (line.front() != '*') break;
        reader.take("");
    }
    if (!HasComment(reader.current("an office"))) return;
    while (HasComment(reader.current("the line after a comment"))) reader.take("");
    block.hadComment = true;
    block.skippedLine = reader.position();
    reader.take("the line after a comment");
}

}  // namespace

void ReadHeader(const std::vector<std::string_view>& lines, DataFileHeader& header)
{
    LineReader reader(lines);
    reader.moveTo(reader.findMarker(0, "the company web address") + 1);
    header.webLink = reader.take("the company web address");
    reader.moveTo(reader.findMarker(reader.position(), "the support web address") + 1);
    header.webLink2 = reader.take("the support web address");
    header.firstBlock = reader.position();
}

OfficeBlock ReadOfficeBlock(const std::vector<std::string_view>& lines, std::size_t& at)
{
    LineReader reader(lines);
    reader.moveTo(at);
    OfficeBlock block;
    block.start = at;
    SkipBlockPreamble(reader, block);
    block.record = ReadRecord(reader, block);
    block.end = reader.position();
    at = block.end;
    return block;
}

void ReadDataText(std::string_view text, LocationTable& table)
{
    const auto lines = SplitLines(text);
    const auto first_empty = std::find_if(lines.begin(), lines.end(), [](std::string_view l) { return l.empty(); });
    if (first_empty == lines.end()) throw DataFileError(lines.size(), "no empty line ends the data");
    table.Locations.reset(static_cast<std::size_t>(first_empty - lines.begin()));

    // A web address read before a fault in the header is kept.
    DataFileHeader header;
    try {
        ReadHeader(lines, header);
    } catch (...) {
        table.WebLink = header.webLink;
        table.WebLink2 = header.webLink2;
        throw;
    }
    table.WebLink = header.webLink;
    table.WebLink2 = header.webLink2;

    const LineReader reader(lines);
    std::size_t at = header.firstBlock;
    while (!reader.current(at, "the empty line that ends the data").empty()) {
        const std::size_t block_start = at;
        if (!table.Locations.append(ReadOfficeBlock(lines, at).record)) {
            throw DataFileError(block_start, "more offices than slots: an empty line stands inside the header or an office");
        }
    }
}

void loadDataFile(LocationTable& table, DataFileSource& source)
{
    table.Locations.reset(0);
    table.WebLink.clear();
    table.WebLink2.clear();

    const char* message = nullptr;
    bool terminate = false;
    try {
        std::string path = source.defaultPath();
        const bool finder_registered = source.finderRegistered();
        if (!source.fileExists(path) && finder_registered) path = source.resolveWithFinder(kFinderRequest, kFinderOption);
        if (path.empty() || !source.fileExists(path)) {
            message = kMessageCannotFind;
            terminate = true;
        } else {
            ReadDataText(source.readFile(path), table);
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
