// Feeds arbitrary bytes to the data file loader, both through loadDataFile
// (with a source whose file always exists and holds the bytes) and straight
// to ReadDataText with the decoded text, and checks what the table and the
// messages must look like whatever the file holds. The decoding of each of
// the three encodings is checked against a plain decoder written here.
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

void PutUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

struct PlainDecoding {
    std::string text;
    std::vector<std::size_t> replaced;  // offsets of the U+FFFD that stand for malformed input
};

void Replace(PlainDecoding& decoding)
{
    decoding.replaced.push_back(decoding.text.size());
    PutUtf8(decoding.text, 0xFFFD);
}

// Whether the bytes could begin a well-formed UTF-8 sequence of `length`
// bytes: the code points they allow form one interval, which must meet the
// code points of that length other than the surrogates.
bool StartsWellFormed(const unsigned char* bytes, std::size_t count, std::size_t length)
{
    std::uint32_t low = bytes[0] & (0x7F >> length), high = low;
    for (std::size_t i = 1; i < length; ++i) {
        const bool known = i < count;
        low = (low << 6) | (known ? bytes[i] & 0x3F : 0x00);
        high = (high << 6) | (known ? bytes[i] & 0x3F : 0x3F);
    }
    const std::uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const std::uint32_t lo = std::max(low, smallest[length]);
    const std::uint32_t hi = std::min<std::uint32_t>(high, 0x10FFFF);
    if (lo > hi) return false;
    return lo < 0xD800 || hi > 0xDFFF;  // not only surrogates
}

PlainDecoding PlainUtf8(std::string_view bytes)
{
    PlainDecoding out;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t i = 0;
    while (i < bytes.size() && data[i] != 0) {
        const unsigned lead = data[i];
        if (lead < 0x80) {
            out.text += static_cast<char>(lead);
            ++i;
            continue;
        }
        const std::size_t length = (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        // The longest run of continuation bytes that still begins a well-formed sequence.
        std::size_t good = 0;
        for (std::size_t k = 1; k <= length && i + k <= bytes.size(); ++k) {
            if (k > 1 && (data[i + k - 1] & 0xC0) != 0x80) break;
            if (!StartsWellFormed(data + i, k, length)) break;
            good = k;
        }
        if (length != 0 && good == length) {
            out.text.append(bytes.substr(i, length));
            i += length;
        } else {
            Replace(out);
            i += std::max<std::size_t>(good, 1);
        }
    }
    return out;
}

PlainDecoding PlainUtf16(std::string_view bytes)
{
    PlainDecoding out;
    const auto unit = [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
    };
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        const char32_t c = unit(i);
        if (c == 0) return out;
        const bool high = c >= 0xD800 && c < 0xDC00;
        const bool low = c >= 0xDC00 && c < 0xE000;
        if (high && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 && unit(i + 2) < 0xE000) {
            PutUtf8(out.text, 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00));
            i += 2;
        } else if (high && i + 3 == bytes.size()) {
            Replace(out);  // a pair cut short by the end: one character
            return out;
        } else if (high || low) {
            Replace(out);
        } else {
            PutUtf8(out.text, c);
        }
    }
    if (i < bytes.size()) Replace(out);
    return out;
}

// Windows-1252 as Windows reads it, the undefined bytes standing for themselves.
PlainDecoding PlainWindows1252(std::string_view bytes)
{
    static const std::u32string high =
        U"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u008D\u017D\u008F"
        U"\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u009D\u017E\u0178";
    PlainDecoding out;
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (c == 0) break;
        PutUtf8(out.text, c >= 0x80 && c < 0xA0 ? high[c - 0x80] : c);
    }
    return out;
}

PlainDecoding PlainDecode(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return PlainUtf8(bytes.substr(3));
    if (bytes.substr(0, 2) == "\xFF\xFE") return PlainUtf16(bytes.substr(2));
    return PlainWindows1252(bytes);
}

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

// Lines cut the slow, obvious way: CR, LF and CR LF each end a line; a final
// line break adds no empty line. The text holds no NUL.
std::vector<std::string> PlainLines(std::string_view text)
{
    std::vector<std::string> lines;
    std::string line;
    bool open = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            open = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            continue;
        }
        line += c;
        open = true;
    }
    if (open) lines.push_back(line);
    return lines;
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
