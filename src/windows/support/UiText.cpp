#include "support/UiText.h"

#include <array>
#include <map>
#include <string_view>
#include <vector>

#include "support/LanguageChoice.h"
#include "support/Support2.h"
#include "support/Support2PlacementWin.h"
#include "support/Support2Win.h"

namespace mappa {
namespace {

constexpr UiLanguage kLanguages[] = {
    {"en", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), L"English", false},
    {"de", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), L"Deutsch", false},
    {"fr", MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), L"Fran\u00E7ais", false},
    {"es", MAKELANGID(LANG_SPANISH, SUBLANG_SPANISH_MODERN), L"Espa\u00F1ol", false},
    {"it", MAKELANGID(LANG_ITALIAN, SUBLANG_ITALIAN), L"Italiano", false},
    {"pt-BR", MAKELANGID(LANG_PORTUGUESE, SUBLANG_PORTUGUESE_BRAZILIAN), L"Portugu\u00EAs (Brasil)", false},
    {"pl", MAKELANGID(LANG_POLISH, SUBLANG_POLISH_POLAND), L"Polski", false},
    {"ja", MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN), L"\u65E5\u672C\u8A9E", false},
    {"zh-Hans", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), L"\u4E2D\u6587(\u7B80\u4F53)", false},
    {"ko", MAKELANGID(LANG_KOREAN, SUBLANG_KOREAN), L"\uD55C\uAD6D\uC5B4", false},
    {"ar", MAKELANGID(LANG_ARABIC, SUBLANG_ARABIC_SAUDI_ARABIA), L"\u0627\u0644\u0639\u0631\u0628\u064A\u0629", true},
};

constexpr const char* kLanguageValue = "Language";

const UiLanguage* current = &kLanguages[0];

// A string table holds its texts sixteen to a block, each counted, not ended.
std::wstring LoadTableText(LANGID language, unsigned id)
{
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceExW(module, MAKEINTRESOURCEW(6) /* RT_STRING */, MAKEINTRESOURCEW(id / 16 + 1), language);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(module, found);
    const auto* unit = loaded ? static_cast<const WCHAR*>(LockResource(loaded)) : nullptr;
    if (!unit) return {};
    const WCHAR* end = unit + SizeofResource(module, found) / sizeof(WCHAR);
    for (unsigned skip = id % 16; skip > 0 && unit < end; --skip) unit += 1 + *unit;
    if (unit >= end || unit + 1 + *unit > end) return {};
    return std::wstring(unit + 1, *unit);
}

}  // namespace

std::span<const UiLanguage> UiLanguages() { return kLanguages; }

const UiLanguage& EnglishLanguage() { return kLanguages[0]; }

const UiLanguage* UiLanguageByTag(const std::string& tag)
{
    for (const UiLanguage& language : kLanguages)
        if (LowerCaseAscii(language.tag) == LowerCaseAscii(tag)) return &language;
    return nullptr;
}

const UiLanguage& CurrentUiLanguage() { return *current; }

void SetUiLanguage(const UiLanguage& language) { current = &language; }

std::wstring UiTextIn(const UiLanguage& language, unsigned id)
{
    // One copy of each text per language, loaded when first asked for.
    static std::map<std::pair<LANGID, unsigned>, std::wstring> loaded;
    const auto key = std::pair{language.id, id};
    if (const auto known = loaded.find(key); known != loaded.end()) return known->second;
    std::wstring text = LoadTableText(language.id, id);
    if (text.empty() && language.id != EnglishLanguage().id) text = UiTextIn(EnglishLanguage(), id);
    return loaded.emplace(key, std::move(text)).first->second;
}

std::wstring UiText(unsigned id) { return UiTextIn(*current, id); }

std::string UiTextUtf8(unsigned id) { return WideToUtf8(UiText(id)); }

UINT MessageBoxReading() { return current->rightToLeft ? MB_RTLREADING | MB_RIGHT : 0; }

std::string SavedLanguageChoice() { return ReadToolSetting(kLanguageValue, ""); }

void SaveLanguageChoice(const std::string& tag) { WriteToolSetting(kLanguageValue, tag); }

const UiLanguage& WindowsUiLanguage()
{
    std::vector<std::string> preferred;
    ULONG count = 0, size = 0;
    if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &size) && size > 0) {
        std::wstring names(size, L'\0');
        if (GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, names.data(), &size)) {
            for (const wchar_t* name = names.c_str(); *name; name += wcslen(name) + 1) preferred.push_back(WideToUtf8(name));
        }
    }
    if (preferred.empty()) {
        wchar_t name[LOCALE_NAME_MAX_LENGTH] = {};
        if (LCIDToLocaleName(MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT), name, LOCALE_NAME_MAX_LENGTH, 0))
            preferred.push_back(WideToUtf8(name));
    }
    std::array<std::string_view, std::size(kLanguages)> tags;
    for (std::size_t i = 0; i < tags.size(); ++i) tags[i] = kLanguages[i].tag;
    const auto nearest = NearestLanguage(preferred, tags);
    return nearest ? kLanguages[*nearest] : EnglishLanguage();
}

const UiLanguage& ChosenUiLanguage()
{
    if (const UiLanguage* saved = UiLanguageByTag(SavedLanguageChoice())) return *saved;
    return WindowsUiLanguage();
}

}  // namespace mappa
