// Writes the contact cards that read-cards.py checks with another parser:
// an office with every optional line, one with none, and one whose text
// needs escaping and folding.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "mapdata/Location.h"
#include "ui/ContactCard.h"

namespace {

void Write(const std::filesystem::path& path, const std::string& card)
{
    std::ofstream(path, std::ios::binary).write(card.data(), static_cast<std::streamsize>(card.size()));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <directory>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path directory = argv[1];
    std::filesystem::create_directories(directory);

    mappa::TLocation full;
    full.Name = "Norvantic Nordic AB";
    full.Extra1 = "Storgatan 1";
    full.Phone = "+46 19 555 0100";
    full.Fax = "+46 19 555 0101";
    full.LocalToll = "020 555 010";
    full.InterToll = "00800 5550 1000";
    full.Email = "nordic@example.com";
    full.Country = "Sweden";
    full.Extra2 = "Örebro";
    full.Extra3 = "702 10";
    full.Latitude = 59.27;
    full.LatHemisphere = 'N';
    full.Longitude = 15.21;
    full.LongHemisphere = 'E';
    Write(directory / "full.vcf", mappa::ContactCard(mappa::ContactCardFieldsOf(full, "https://www.example.com/")));

    mappa::TLocation bare;
    bare.Name = "Norvantic Remote";
    bare.Latitude = 33.9;
    bare.LatHemisphere = 'S';
    bare.Longitude = 151.2;
    bare.LongHemisphere = 'W';
    Write(directory / "bare.vcf", mappa::ContactCard(mappa::ContactCardFieldsOf(bare, "")));

    mappa::TLocation tricky = full;
    tricky.Name = "Smith, Jones; Partners \\ Co — 株式会社ノルヴァンティック東京支社とその関連会社のための非常に長い名前";
    tricky.Extra1 = "Rua São João, 12; fundos";
    tricky.Extra2 = "São Paulo";
    tricky.Country = "Brasil";
    Write(directory / "tricky.vcf", mappa::ContactCard(mappa::ContactCardFieldsOf(tricky, "www.example.com")));
    return 0;
}
