// The program's texts in the user's language: the languages it has, which
// one is in use, and its texts from the string tables (resources/strings),
// found by language whatever the thread's UI language is.
#pragma once

#include <windows.h>

#include <cstddef>
#include <span>
#include <string>

#include "support/UiTextIds.h"

namespace mappa {

struct UiLanguage {
    const char* tag;         // BCP 47, as kept in the settings
    LANGID id;               // the LANGUAGE of its string table
    const wchar_t* ownName;  // as the language writes itself, for the Language menu
    bool rightToLeft;        // the window mirrored
};

// English first: the designed texts, the default and the fallback.
std::span<const UiLanguage> UiLanguages();
const UiLanguage& EnglishLanguage();
const UiLanguage* UiLanguageByTag(const std::string& tag);

// The language of the texts from now on; English until set.
const UiLanguage& CurrentUiLanguage();
void SetUiLanguage(const UiLanguage& language);

// The text `id` in the current language (or `language`); the English text
// where that language's table lacks it.
std::wstring UiText(unsigned id);
std::wstring UiTextIn(const UiLanguage& language, unsigned id);
std::string UiTextUtf8(unsigned id);

// The message box flags of the current language's reading order: right to
// left, right-aligned, for Arabic; none for the others.
UINT MessageBoxReading();

// The user's own choice, kept in the tool's settings ("Language"); empty:
// the language of Windows.
std::string SavedLanguageChoice();
void SaveLanguageChoice(const std::string& tag);

// The language that Windows shows its user (GetUserPreferredUILanguages),
// as the nearest language we have; English when none is near.
const UiLanguage& WindowsUiLanguage();
// The saved choice when it names one of our languages, else WindowsUiLanguage().
const UiLanguage& ChosenUiLanguage();

}  // namespace mappa
