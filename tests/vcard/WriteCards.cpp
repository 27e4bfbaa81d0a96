// Writes the contact cards that read-cards.py checks with another parser:
// an office with every optional line, one with none, and one whose text
// needs escaping and folding.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "../core/SampleOffices.h"
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

    const mappa::TLocation full = mappa::test::FullOffice();
    Write(directory / "full.vcf", mappa::ContactCard(mappa::ContactCardFieldsOf(full, "https://www.example.com/")));
    Write(directory / "bare.vcf", mappa::ContactCard(mappa::ContactCardFieldsOf(mappa::test::BareOffice(), "")));

    mappa::TLocation tricky = full;
    tricky.Name = "Smith, Jones; Partners \\ Co — 株式会社ノルヴァンティック東京支社とその関連会社のための非常に長い名前";
    tricky.Extra1 = "Rua São João, 12; fundos";
    tricky.Extra2 = "São Paulo";
    tricky.Country = "Brasil";
    Write(directory / "tricky.vcf", mappa::ContactCard(mappa::ContactCardFieldsOf(tricky, "www.example.com")));
    return 0;
}
