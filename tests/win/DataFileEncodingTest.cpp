// The data file in each encoding, read through the real platform: the
// system's ANSI code page converted by Windows, UTF-8 and UTF-16 files.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "WinTestSupport.h"
#include "mapdata/MapFunc.h"
#include "mapdata/WindowsCodePage.h"
#include "support/Support2Win.h"

namespace mappa::test {
namespace {

// Two offices with letters that the code page of a Western machine holds.
const std::wstring kList =
    L"Mappa office list\r\n*\r\nhttp://www.example.com/caf\u00E9\r\n*\r\nhttp://support.example.com/\r\n"
    L"NAME: Norvantic Z\u00FCrich \u20AC AG\r\nADDR: Bahnhofstra\u00DFe 1\r\nCOUNTRY: Schweiz\r\nCITY: Z\u00FCrich\r\n"
    L"ZIP: 8001\r\nFAX: +41 1\r\nEMAIL: z\u00FCrich@example.com\r\nLAT: 47.37 N\r\nLON: 8.54 E\r\nTYPE: Sales\r\n"
    L"*\r\nNAME: Norvantic S\u00E3o Paulo \u201CSul\u201D\r\nADDR: Pra\u00E7a da S\u00E9\r\nCOUNTRY: Brasil\r\n"
    L"CITY: S\u00E3o Paulo\r\nZIP: 01001\r\nFAX: +55 1\r\nEMAIL: sp@example.com\r\nLAT: 23.55 S\r\nLON: 46.63 W\r\n"
    L"TYPE: Support\r\n\r\n";

std::string InAnsiCodePage(const std::wstring& text)
{
    BOOL lossy = FALSE;
    const int size = static_cast<int>(text.size());
    std::string bytes(static_cast<std::size_t>(WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr,
                                                                   nullptr)), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, bytes.data(), static_cast<int>(bytes.size()), nullptr, &lossy);
    EXPECT_FALSE(lossy) << "the system's code page " << GetACP() << " lacks letters of the test";
    return bytes;
}

std::string InUtf16(const std::wstring& text)
{
    return "\xFF\xFE" + std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
}

TEST(DataFileEncoding, EveryEncodingReadsIntoTheSameUtf8Records)
{
    const struct {
        const char* what;
        std::string bytes;
    } files[] = {
        {"ANSI code page", InAnsiCodePage(kList)},
        {"UTF-8", "\xEF\xBB\xBF" + WideToUtf8(kList)},
        {"UTF-16", InUtf16(kList)},
    };
    for (const auto& file : files) {
        SCOPED_TRACE(file.what);
        ScratchDirectory folder;
        folder.write("Mappa2.dat", file.bytes);
        RecordingSource source(folder.path());
        const TMapFunc table(source);
        EXPECT_TRUE(source.messages.empty());
        EXPECT_EQ(table.WebLink, "http://www.example.com/caf\u00E9");
        ASSERT_EQ(table.Locations.dataCount(), 2u);
        const LocationView& zurich = table.Locations[0];
        EXPECT_EQ(zurich.Name, "Norvantic Z\u00FCrich \u20AC AG");
        EXPECT_EQ(zurich.Extra1, "Bahnhofstra\u00DFe 1");
        EXPECT_EQ(zurich.Email, "z\u00FCrich@example.com");
        EXPECT_EQ(zurich.Latitude, 47.37);
        const LocationView& sao_paulo = table.Locations[1];
        EXPECT_EQ(sao_paulo.Name, "Norvantic S\u00E3o Paulo \u201CSul\u201D");
        EXPECT_EQ(sao_paulo.Extra2, "S\u00E3o Paulo");
        EXPECT_EQ(sao_paulo.LongHemisphere, 'W');
        EXPECT_EQ(table.Locations.size(), 26u);  // lines before the empty one
    }
}

// Other code pages, double-byte ones included, through the same conversion.
TEST(DataFileEncoding, WindowsReadsTheCodePageItIsGiven)
{
    const struct {
        unsigned code_page;
        std::string bytes;
        std::string utf8;
    } cases[] = {
        {1252, "Z\xFCrich \x80", "Z\u00FCrich \u20AC"},
        {1251, "\xCC\xEE\xF1\xEA\xE2\xE0", "\u041C\u043E\u0441\u043A\u0432\u0430"},
        {932, "\x93\x8C\x8B\x9E", "\u6771\u4EAC"},
        {949, "\xBC\xAD\xBF\xEF", "\uC11C\uC6B8"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WindowsCodePageDecoder(c.code_page).toUtf8(c.bytes), c.utf8) << c.code_page;
    }
}

}  // namespace
}  // namespace mappa::test
