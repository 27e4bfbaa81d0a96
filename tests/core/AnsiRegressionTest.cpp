// Files in the ANSI code page read exactly as before Mappa read UTF-8: every
// record, byte for byte once its text is converted back to Windows-1252, the
// table's size and the line of the first fault. data/ansi-records.txt holds
// what the 8-bit loader read from each file.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "mapdata/DataFile.h"

namespace mappa {
namespace {

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
}

// Back from UTF-8 to Windows-1252, through the decoder itself: each byte
// decodes to its own character, so the table can be turned round.
std::string ToWindows1252(std::string_view utf8)
{
    static const std::map<std::string, char> bytes = [] {
        std::map<std::string, char> table;
        for (int byte = 1; byte < 256; ++byte) {
            const char c = static_cast<char>(byte);
            table[Windows1252().toUtf8(std::string_view(&c, 1))] = c;
        }
        return table;
    }();
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const auto found = bytes.find(std::string(utf8.substr(i, length)));
        out += found == bytes.end() ? '?' : found->second;
        i += length;
    }
    return out;
}

std::string Escaped(std::string_view text)
{
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F || c == '\\' || c == '|') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

std::string Field(std::string_view utf8) { return Escaped(ToWindows1252(utf8)); }

std::string Number(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// The table in the form of data/ansi-records.txt.
std::string Dump(const std::string& name, const std::string& bytes)
{
    LocationTable table;
    std::string error = "none";
    try {
        ReadDataBytes(bytes, Windows1252(), table);
    } catch (const DataFileError& fault) {
        error = std::to_string(fault.line());
    }
    bool positioned = true;
    try {
        table.computePositions(640, 320);
    } catch (const std::exception&) {
        positioned = false;
    }
    const LocationSlots& slots = table.Locations;
    std::ostringstream out;
    out << "file " << name << "\nerror " << error << "\npositions " << (positioned ? "ok" : "out of range")
        << "\nslots " << slots.size() << " stored " << slots.storedCount() << " data " << slots.dataCount()
        << "\nweblink " << Field(table.WebLink) << "\nweblink2 " << Field(table.WebLink2) << "\n";
    for (std::size_t i = 0; i < slots.storedCount(); ++i) {
        const LocationView& l = slots[i];
        out << i;
        for (const std::string_view text : {l.Name, l.Extra1, l.Phone, l.Fax, l.LocalToll, l.InterToll, l.Email,
                                            l.Country, l.Extra2, l.Extra3})
            out << '|' << Field(text);
        out << '|' << Number(l.Longitude) << ' ' << Escaped(std::string_view(&l.LongHemisphere, 1)) << '|'
            << Number(l.Latitude) << ' ' << Escaped(std::string_view(&l.LatHemisphere, 1)) << '|'
            << Field(l.OfficeType) << '|'
            << (positioned ? std::to_string(l.MapX) + "," + std::to_string(l.MapY) : std::string("-,-")) << "\n";
    }
    return out.str();
}

TEST(AnsiFiles, ReadAsBeforeByteForByte)
{
    const std::filesystem::path data = MAPPA_TEST_DATA;
    const std::filesystem::path corpus = data / ".." / ".." / "fuzz" / "corpus";
    std::istringstream expected(ReadFile(data / "ansi-records.txt"));
    ASSERT_TRUE(expected.str().size() > 0);

    std::string block, line;
    int files = 0;
    const auto compare = [&] {
        if (block.empty()) return;
        const std::string name = block.substr(5, block.find('\n') - 5);
        const auto path = std::filesystem::exists(data / name) ? data / name : corpus / name;
        ASSERT_TRUE(std::filesystem::exists(path)) << path;
        EXPECT_EQ(Dump(name, ReadFile(path)), block);
        ++files;
        block.clear();
    };
    while (std::getline(expected, line)) {
        if (line.empty()) {
            compare();
        } else {
            block += line + "\n";
        }
    }
    compare();
    EXPECT_EQ(files, 13);
}

}  // namespace
}  // namespace mappa
