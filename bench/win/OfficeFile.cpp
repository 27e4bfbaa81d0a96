#include "OfficeFile.h"

#include <windows.h>

#include <cstdio>
#include <random>
#include <stdexcept>

#include "support/Support2Win.h"

namespace mappa::winbench {
namespace {

// "12.34 N": a random coordinate up to `limit` degrees either way.
std::string Coordinate(std::mt19937& random, int limit, char positive, char negative)
{
    const int hundredths = static_cast<int>(random() % static_cast<unsigned>(2 * limit * 100 + 1)) - limit * 100;
    const int size = hundredths < 0 ? -hundredths : hundredths;
    char text[32];
    std::snprintf(text, sizeof text, "%d.%02d %c", size / 100, size % 100, hundredths < 0 ? negative : positive);
    return text;
}

}  // namespace

std::string MakeOfficeFile(std::size_t offices)
{
    static const char* const kTypes[] = {"Sales", "Support", "Partner"};
    std::mt19937 random(20240611u + static_cast<unsigned>(offices));
    std::string text;
    text.reserve(offices * 260 + 200);
    text += "Norvantic offices worldwide\r\n*\r\nhttps://www.example.com/\r\n*\r\nhttps://support.example.com/\r\n";
    for (std::size_t i = 1; i <= offices; ++i) {
        const std::string number = std::to_string(i);
        const unsigned country = 1 + random() % kCountryCount;
        text += "*----\r\nNAME: Office " + number + "\r\nADDRESS: " + number + " Harbour Road\r\nCOUNTRY: Country " +
                std::to_string(country) + "\r\nCITY: City " + std::to_string(random() % 20000) + "\r\nPOSTCODE: " +
                std::to_string(10000 + random() % 90000) + "\r\n";
        if (random() % 3 != 0) text += "PHONE: +1 555 0100\r\n";
        // The loader reads the fax and e-mail lines in every office.
        text += "FAX: +1 555 0101\r\nEMAIL: office" + number + "@example.com\r\n";
        text += "LATITUDE: " + Coordinate(random, 89, 'N', 'S') + "\r\n";
        text += "LONGITUDE: " + Coordinate(random, 179, 'E', 'W') + "\r\n";
        text += std::string("TYPE: ") + kTypes[random() % 3] + "\r\n";
    }
    text += "\r\n";
    return text;
}

ScratchFolder::ScratchFolder()
{
    wchar_t temp[MAX_PATH + 1] = {};
    if (!GetTempPathW(MAX_PATH + 1, temp)) throw std::runtime_error("no temporary directory");
    for (int attempt = 0;; ++attempt) {
        path_ = WideToUtf8(temp) + "mappa-bench-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt);
        if (CreateDirectoryW(Utf8ToWide(path_).c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS || attempt > 100)
            throw std::runtime_error("cannot create " + path_);
    }
}

ScratchFolder::~ScratchFolder()
{
    std::size_t start = 0;
    while (start < written_.size()) {
        const std::size_t end = written_.find('\n', start);
        DeleteFileW(Utf8ToWide(path_ + "\\" + written_.substr(start, end - start)).c_str());
        start = end + 1;
    }
    RemoveDirectoryW(Utf8ToWide(path_).c_str());
}

void ScratchFolder::write(const std::string& name, const std::string& text)
{
    const std::string path = path_ + "\\" + name;
    HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot create " + path);
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != text.size()) throw std::runtime_error("cannot write " + path);
    written_ += name + "\n";
}

}  // namespace mappa::winbench
