// Feeds arbitrary bytes to the data file loader, both through loadDataFile
// (with a source whose file always exists and holds the bytes) and straight
// to ReadDataText with the decoded text, and checks what the table and the
// messages must look like whatever the file holds. The decoding of each of
// the three encodings is checked against a plain decoder (PlainReaders.h).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <limits>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "PlainReaders.h"
#include "mapdata/DataFile.h"
#include "mapdata/DataFileEncoding.h"
#include "mapdata/LocationTable.h"

#define FUZZ_CHECK(condition)                                                              \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "fuzz_datafile: check failed at line %d: %s\n", __LINE__, \
                         #condition);                                                      \
            std::abort();                                                                  \
        }                                                                                  \
    } while (false)

namespace {

// The file is always there and reads as the fuzzer's bytes.
class BytesSource final : public mappa::DataFileSource {
public:
    explicit BytesSource(std::string bytes) : bytes_(std::move(bytes)) {}

    std::string defaultPath() override { return "C:\\Program Files\\Mappa\\Mappa2.dat"; }
    bool finderRegistered() override { return false; }
    bool fileExists(const std::string&) override { return true; }
    std::string resolveWithFinder(const std::string&, std::int32_t) override
    {
        ++finder_calls;
        throw std::runtime_error("no file finder here");
    }
    std::string readFile(const std::string&) override { return bytes_; }
    void showMessage(const std::string& text) override { messages.push_back(text); }
    void requestTerminate() override { ++terminate_requests; }

    std::vector<std::string> messages;
    int terminate_requests = 0;
    int finder_calls = 0;

private:
    std::string bytes_;
};

using mappa::fuzz::PlainDecode;
using mappa::fuzz::PlainDecoding;
using mappa::fuzz::PlainLines;

void CheckDecoding(const std::string& bytes)
{
    const mappa::DecodedText decoded = mappa::DecodeDataFile(bytes, mappa::Windows1252());
    const PlainDecoding expected = PlainDecode(bytes);
    FUZZ_CHECK(decoded.text() == expected.text);
    FUZZ_CHECK(decoded.malformed.size() == expected.replaced.size());
    for (std::size_t i = 0; i < decoded.malformed.size(); ++i) {
        const auto& sequence = decoded.malformed[i];
        FUZZ_CHECK(sequence.textOffset == expected.replaced[i]);
        FUZZ_CHECK(sequence.length >= 1 && sequence.length <= 3);
        FUZZ_CHECK(sequence.fileOffset + sequence.length <= bytes.size());
    }
    // Whatever came in, what goes on is well-formed UTF-8 without a NUL.
    FUZZ_CHECK(mappa::FindMalformedUtf8(decoded.text()) == decoded.text().size());
    FUZZ_CHECK(decoded.text().find('\0') == std::string_view::npos);
}

constexpr std::int32_t kWidth = 640;
constexpr std::int32_t kHeight = 320;

void CheckSplitLines(std::string_view text, const std::vector<std::string>& expected)
{
    const auto lines = mappa::SplitLines(text);
    FUZZ_CHECK(lines.size() == expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        FUZZ_CHECK(lines[i] == expected[i]);
        // Every line is a view into the text itself.
        FUZZ_CHECK(lines[i].data() >= text.data() && lines[i].data() + lines[i].size() <= text.data() + text.size());
    }
}

void CheckSameTable(const mappa::LocationTable& a, const mappa::LocationTable& b)
{
    FUZZ_CHECK(a.WebLink == b.WebLink);
    FUZZ_CHECK(a.WebLink2 == b.WebLink2);
    FUZZ_CHECK(a.Locations.size() == b.Locations.size());
    FUZZ_CHECK(a.Locations.storedCount() == b.Locations.storedCount());
    FUZZ_CHECK(a.Locations.dataCount() == b.Locations.dataCount());
    for (std::size_t i = 0; i < a.Locations.storedCount(); ++i) FUZZ_CHECK(a.Locations[i] == b.Locations[i]);
}

void CheckSlots(const mappa::LocationTable& table, bool has_empty_line, std::size_t slot_count)
{
    const auto& slots = table.Locations;
    FUZZ_CHECK(slots.size() == (has_empty_line ? slot_count : 0));
    FUZZ_CHECK(slots.empty() == (slots.size() == 0));
    FUZZ_CHECK(slots.dataCount() <= slots.storedCount());
    FUZZ_CHECK(slots.storedCount() <= slots.size());

    // The data count stops at the first stored record without a name.
    std::size_t named = 0;
    while (named < slots.storedCount() && !slots[named].Name.empty()) ++named;
    FUZZ_CHECK(slots.dataCount() == named);

    // Every slot after the stored records is an empty record, and reading
    // past the end gives one as well.
    const mappa::TLocation empty{};
    for (std::size_t i = slots.storedCount(); i < slots.size(); ++i) FUZZ_CHECK(slots[i] == empty);
    FUZZ_CHECK(slots[slots.size()] == empty);
    FUZZ_CHECK(slots[std::numeric_limits<std::size_t>::max()] == empty);
}

void CheckGetLocation(const mappa::LocationTable& table)
{
    const mappa::TLocation empty{};
    const auto size = table.Locations.size();
    FUZZ_CHECK(size <= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()));
    const auto last = static_cast<std::int32_t>(size);
    FUZZ_CHECK(table.getLocation(-1) == empty);
    FUZZ_CHECK(table.getLocation(std::numeric_limits<std::int32_t>::min()) == empty);
    FUZZ_CHECK(table.getLocation(last) == empty);
    FUZZ_CHECK(table.getLocation(std::numeric_limits<std::int32_t>::max()) == empty || last == std::numeric_limits<std::int32_t>::max());
    if (size > 0) {
        FUZZ_CHECK(table.getLocation(0) == table.Locations[0]);
        FUZZ_CHECK(table.getLocation(last - 1) == table.Locations[size - 1]);
    }
}

void CheckFindByCountry(const mappa::LocationTable& table, std::size_t text_size)
{
    const auto& slots = table.Locations;
    std::vector<std::size_t> probes;
    if (slots.storedCount() > 0) {
        probes.push_back(0);
        probes.push_back(slots.storedCount() / 2);
        probes.push_back(slots.storedCount() - 1);
    }
    if (slots.size() > slots.storedCount()) probes.push_back(slots.storedCount());  // an empty slot: country ""

    for (const std::size_t probe : probes) {
        const std::string country(slots[probe].Country);
        mappa::TLocation found;
        found.Name = "untouched";
        table.findByCountry(country, found);
        FUZZ_CHECK(found.Country == country);
        // The last slot in table order with that country wins.
        std::size_t winner = probe;
        for (std::size_t i = slots.size(); i-- > 0;) {
            if (slots[i].Country == country) {
                winner = i;
                break;
            }
        }
        FUZZ_CHECK(found == slots[winner]);
    }

    // No country in the file can be longer than the file: this one is absent.
    mappa::TLocation untouched;
    untouched.Name = "untouched";
    untouched.Country = "kept";
    mappa::TLocation record = untouched;
    table.findByCountry(std::string(text_size + 1, 'Q'), record);
    FUZZ_CHECK(record == untouched);
}

void CheckPositions(mappa::LocationTable& table)
{
    try {
        table.computePositions(kWidth, kHeight);
    } catch (const std::range_error&) {
        return;  // a coordinate too large for the map: reported, not undefined
    } catch (const std::exception&) {
        return;
    }

    const auto& slots = table.Locations;
    for (std::size_t i = 0; i < slots.storedCount(); ++i) {
        const auto& slot = slots[i];
        if (slot.Longitude >= -180.0 && slot.Longitude <= 180.0) {
            FUZZ_CHECK(slot.MapX >= 0 && slot.MapX <= kWidth);
        }
        if (slot.Latitude >= -90.0 && slot.Latitude <= 90.0) {
            FUZZ_CHECK(slot.MapY >= 0 && slot.MapY <= kHeight);
        }
    }
    // Empty slots sit at the centre of the map.
    if (slots.size() > slots.storedCount()) {
        const auto& empty = slots[slots.storedCount()];
        FUZZ_CHECK(empty.Name.empty());
        FUZZ_CHECK(empty.MapX == kWidth / 2 && empty.MapY == kHeight / 2);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    CheckDecoding(bytes);
    const std::string text(mappa::DecodeDataFile(bytes, mappa::Windows1252()).text());

    const auto expected_lines = PlainLines(text);
    std::size_t slot_count = 0;
    while (slot_count < expected_lines.size() && !expected_lines[slot_count].empty()) ++slot_count;
    const bool has_empty_line = slot_count < expected_lines.size();

    CheckSplitLines(text, expected_lines);

    // Straight to the reader, with the decoded text.
    mappa::LocationTable direct;
    bool failed = false;
    try {
        mappa::ReadDataText(text, direct);
    } catch (const mappa::DataFileError& error) {
        failed = true;
        FUZZ_CHECK(error.line() <= expected_lines.size());
        FUZZ_CHECK(error.what()[0] != '\0');
    }
    // Without an empty line the file cannot be read at all.
    if (!has_empty_line) FUZZ_CHECK(failed);

    // Through the loader, from the file's bytes, into a table that held something before.
    mappa::LocationTable loaded;
    loaded.WebLink = "stale";
    loaded.WebLink2 = "stale";
    loaded.Locations.reset(3);
    mappa::TLocation stale;
    stale.Name = "stale";
    stale.Country = "stale";
    FUZZ_CHECK(loaded.Locations.append(stale));

    BytesSource source(bytes);
    mappa::loadDataFile(loaded, source);
    FUZZ_CHECK(source.terminate_requests == 0);
    FUZZ_CHECK(source.finder_calls == 0);
    if (failed) {
        FUZZ_CHECK(source.messages.size() == 1);
        FUZZ_CHECK(source.messages[0] == mappa::kMessageDataError);
    } else {
        FUZZ_CHECK(source.messages.empty());
    }

    CheckSameTable(loaded, direct);
    CheckSlots(loaded, has_empty_line, slot_count);
    CheckGetLocation(loaded);
    CheckFindByCountry(loaded, text.size());
    CheckPositions(loaded);
    CheckGetLocation(loaded);
    return 0;
}
