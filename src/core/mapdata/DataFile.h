// Reading the office list "Mappa2.dat" into the location table.
//
// The file's bytes are decoded to UTF-8 first (DataFileEncoding.h); every rule
// below applies to the decoded text.
//
// The file: header lines up to a line that is exactly "*", the company web
// address, more lines up to the next "*", the support web address, then one
// block of lines per office, and an empty line that ends the data. The table
// gets one slot per line before the file's first empty line.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "mapdata/DataFileEncoding.h"
#include "mapdata/LocationTable.h"

namespace mappa {

inline constexpr const char* kDataFileName = "Mappa2.dat";
// What the suite's file finder is asked for when the file is not beside the program.
inline constexpr const char* kFinderRequest = "{$QX}\\Shared\\Mappa2.dat";
inline constexpr std::int32_t kFinderOption = 5;

inline constexpr const char* kMessageCannotFind = "Cannot find file Mappa2.dat";
inline constexpr const char* kMessageUnableToOpen = "Unable to open data file";
inline constexpr const char* kMessageDataError = "Error in data file";

// A fault in the file's content, with the line (counted from 0) where it was found.
class DataFileError : public std::runtime_error {
public:
    DataFileError(std::size_t line, const std::string& what) : std::runtime_error(what), line_(line) {}
    std::size_t line() const { return line_; }

private:
    std::size_t line_;
};

// The file exists but could not be opened or read.
class DataFileUnreadable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Walks a text line by line: a line ends at CR, LF or CR LF, and a final line
// break adds no empty line. The text must already end at its first NUL.
class LineCursor {
public:
    explicit LineCursor(std::string_view text) : LineCursor(text, 0, 0) {}
    // Starts at the line that begins at `offset` and has the number `lineNumber`.
    LineCursor(std::string_view text, std::size_t offset, std::size_t lineNumber);

    bool atEnd() const { return begin_ == end_; }
    // Counted from 0; at the end, the number of lines.
    std::size_t lineNumber() const { return number_; }
    // The current line, without its break; empty at the end.
    std::string_view line() const { return std::string_view(begin_, static_cast<std::size_t>(line_end_ - begin_)); }
    void advance();

    // The number of the first empty line the cursor has come to, if any.
    std::optional<std::size_t> firstEmptyLine() const { return first_empty_; }

private:
    void arrive();

    const char* begin_;     // the current line
    const char* line_end_;  // its break, or the end of the text
    const char* end_;
    std::size_t number_;
    std::optional<std::size_t> first_empty_;
};

// Cuts text into lines as LineCursor does, after ending it at its first NUL.
std::vector<std::string_view> SplitLines(std::string_view text);

// The parts of an office record, in the order of their lines.
enum class OfficeField : std::uint8_t {
    Name, Extra1, Country, Extra2, Extra3, Phone, LocalToll, InterToll, Fax, Email, Latitude, Longitude, OfficeType,
};
inline constexpr std::size_t kOfficeFieldCount = static_cast<std::size_t>(OfficeField::OfficeType) + 1;

// Which line (counted from 0) each part of an office block was read from,
// noted by the reader as it takes the lines, so that after a fault it tells
// how far the block got. A part whose line was not taken (an optional line
// the block does not have, or one after the fault) stays at kNoLine.
struct OfficeLines {
    static constexpr std::size_t kNoLine = static_cast<std::size_t>(-1);

    std::size_t afterSeparators = kNoLine;  // the first line after the block's separator lines
    std::size_t skipped = kNoLine;          // the line hidden after a comment run, when there was one
    std::array<std::size_t, kOfficeFieldCount> fields = NoLines();

    std::size_t of(OfficeField field) const { return fields[static_cast<std::size_t>(field)]; }

private:
    static constexpr std::array<std::size_t, kOfficeFieldCount> NoLines()
    {
        std::array<std::size_t, kOfficeFieldCount> lines{};
        lines.fill(kNoLine);
        return lines;
    }
};

// A separator line: it starts with "*".
bool IsSeparatorLine(std::string_view line);
// Whether the reader would take `line` as the phone, local toll-free or
// international toll-free line, had it stood where that line may.
bool IsOptionalLine(std::string_view line);

// The header's two web addresses and the line where the office blocks begin.
struct DataFileHeader {
    std::string_view webLink;
    std::string_view webLink2;
    std::size_t firstBlock = 0;
};
// Reads the header from the cursor's line on and leaves the cursor on the
// first office block. Fills `header` as far as the lines allow; throws
// DataFileError at a fault.
void ReadHeader(LineCursor& cursor, DataFileHeader& header);

// Reads the office block at the cursor and moves the cursor past it. The
// record's text lies in the text that was read. When `lines` is given, the
// reader notes in it where each part came from, also when it throws.
LocationView ReadOfficeBlock(LineCursor& cursor, OfficeLines* lines = nullptr);

// Decodes the file's bytes (see DataFileEncoding.h), sizes the table and fills
// its slots and web addresses; the table keeps the decoded text, which its
// records view. Throws DataFileError at the first fault; what was stored
// before it stays.
void ReadDataBytes(std::string bytes, const CodePageDecoder& codePage, LocationTable& table);

// The same for text that is UTF-8 already; the table keeps a copy of it.
void ReadDataText(std::string_view text, LocationTable& table);

// What loading needs from the platform.
class DataFileSource {
public:
    virtual ~DataFileSource() = default;
    // The data file's name in the program's own directory.
    virtual std::string defaultPath() = 0;
    // The file an administrator's policy names instead; the finder stays the
    // fallback when it is missing, as for the file beside the program.
    virtual std::optional<std::string> policyPath() { return std::nullopt; }
    virtual bool finderRegistered() = 0;
    virtual bool fileExists(const std::string& path) = 0;
    // Asks the file finder; throws when it cannot be created or its call fails.
    virtual std::string resolveWithFinder(const std::string& request, std::int32_t option) = 0;
    // The whole file; throws DataFileUnreadable when it cannot be opened or read.
    virtual std::string readFile(const std::string& path) = 0;
    virtual void showMessage(const std::string& text) = 0;
    // Asks the application to end once the message loop next runs.
    virtual void requestTerminate() = 0;
    // Reads text in the system's ANSI code page; natively, Windows-1252.
    virtual const CodePageDecoder& codePage() { return Windows1252(); }
};

// Finds and reads the data file into `table`. Every problem is reported
// through `source`; the table is always left usable, possibly empty.
void loadDataFile(LocationTable& table, DataFileSource& source);

}  // namespace mappa
