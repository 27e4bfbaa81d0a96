#include "MixedOffices.h"

#include <array>
#include <random>
#include <string_view>

namespace mappa::bench {
namespace {

struct Script {
    int percent;                                   // share of the offices
    std::array<std::string_view, 12> syllables;    // names and cities are made of these
    std::array<std::string_view, 4> countries;
    std::string_view joiner;                       // between the words of a name
};

const std::array<Script, 7> kScripts{{
    {40, {"nor", "van", "tic", "sal", "mon", "ber", "lin", "ka", "ro", "west", "field", "ton"},
     {"United Kingdom", "United States", "Canada", "Australia"}, " "},
    {20, {"são", "zü", "rich", "łódź", "kra", "ków", "gö", "te", "borg", "ñu", "ñez", "mé"},
     {"Brasil", "Schweiz", "Polska", "España"}, " "},
    {8, {"αθ", "ή", "να", "θεσ", "σα", "λο", "νί", "κη", "πά", "τρα", "ΚΡ", "ΉΤΗ"},
     {"Ελλάδα", "Κύπρος", "Ελλάς", "Κρήτη"}, " "},
    {12, {"мос", "ква", "санкт", "пе", "тер", "бург", "ки", "ев", "Ново", "сибирск", "ЁЛ", "Ка"},
     {"Россия", "Україна", "Беларусь", "Казахстан"}, " "},
    {12, {"東", "京", "大", "阪", "株", "式", "会", "社", "タ", "ワー", "北", "京"},
     {"日本", "中国", "台灣", "香港"}, ""},
    {4, {"กรุง", "เทพ", "เชียง", "ใหม่", "ภู", "เก็ต", "พัท", "ยา", "ขอน", "แก่น", "หาด", "ใหญ่"},
     {"ประเทศไทย", "ไทย", "ลาว", "กัมพูชา"}, ""},
    {4, {"الق", "اهرة", "دبي", "الر", "ياض", "جدة", "عمّان", "بيروت", "الدوحة", "مسقط", "تونس", "فاس"},
     {"مصر", "الإمارات", "السعودية", "الأردن"}, " "},
}};

}  // namespace

std::vector<MixedOffice> MakeMixedOffices(std::size_t count)
{
    std::mt19937 random(static_cast<unsigned>(count) * 2654435761u + 13u);
    const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    const auto word = [&](const Script& script) {
        std::string text;
        const std::size_t syllables = 1 + pick(3);
        for (std::size_t i = 0; i < syllables; ++i) text += script.syllables[pick(script.syllables.size())];
        return text;
    };

    std::vector<MixedOffice> offices(count);
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t roll = pick(100);
        const Script* script = &kScripts.back();
        for (const Script& candidate : kScripts) {
            if (roll < static_cast<std::size_t>(candidate.percent)) {
                script = &candidate;
                break;
            }
            roll -= static_cast<std::size_t>(candidate.percent);
        }
        MixedOffice& office = offices[i];
        office.name = word(*script) + std::string(script->joiner) + word(*script);
        if (pick(2)) office.name += " Norvantic";
        office.city = word(*script);
        office.country = script->countries[pick(script->countries.size())];
        if (pick(5)) {
            office.phone = "+" + std::to_string(1 + pick(98)) + " " + std::to_string(10 + pick(89)) + " " +
                           std::to_string(100 + pick(899)) + " " + std::to_string(1000 + pick(8999));
        }
        office.email = "office" + std::to_string(i) + "@example.com";
    }
    return offices;
}

}  // namespace mappa::bench
