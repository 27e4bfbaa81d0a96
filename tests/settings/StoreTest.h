// The fixture of the store tests: one store over a fresh pair of test keys.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "RegistryTestKeys.h"
#include "support/RegWrap.h"

namespace mappa::settingstest {

inline constexpr REGSAM kAllAccess = 0xF003F;
inline constexpr REGSAM kReadAccess = 0x20019;
inline constexpr REGSAM kWriteAccess = 0x2001B;
inline constexpr REGSAM kCreateAccess = 0x2001F;

inline bool IsOpenKey(HKEY key)
{
    DWORD values = 0;
    return key && RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                                   nullptr, nullptr) == ERROR_SUCCESS;
}

inline std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

class RegWrapTest : public testing::Test {
protected:
    TestKeys keys;
    TRegWrap store{HKEY_CURRENT_USER, keys.base()};
    std::string key(const std::string& sub = {}) const { return sub.empty() ? keys.base() : keys.base() + "\\" + sub; }
};

}  // namespace mappa::settingstest
