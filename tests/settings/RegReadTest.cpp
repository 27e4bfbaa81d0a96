// The settings store against the real registry: stored values as text,
// defaults, the legacy fallback and values that change while they are read.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "RegistryCalls.h"
#include "StoreTest.h"

namespace mappa {
namespace {

using namespace settingstest;

// ---- stored values as text ----

struct StoredCase {
    const char* what;
    DWORD type;
    std::vector<BYTE> data;
    std::string expected;  // "(default)" when the value counts as missing
};

TEST_F(RegWrapTest, ConvertsEachStoredTypeToText)
{
    const StoredCase cases[] = {
        {"text", REG_SZ, Text("hello"), "hello"},
        {"text up to the first NUL", REG_SZ, Text(std::string("abc\0def", 7)), "abc"},
        {"text without its NUL", REG_SZ, Text("unterminated", false), "unterminated"},
        {"one character without its NUL", REG_SZ, Text("x", false), "x"},
        {"empty text", REG_SZ, Text(""), "(default)"},
        {"no bytes at all", REG_SZ, {}, "(default)"},
        {"expandable text, not expanded", REG_EXPAND_SZ, Text("%PATH%;%SystemRoot%\\x"), "%PATH%;%SystemRoot%\\x"},
        {"expandable text without its NUL", REG_EXPAND_SZ, Text("%TEMP%", false), "%TEMP%"},
        {"DWORD 0", REG_DWORD, Dword(0), "0"},
        {"DWORD 1", REG_DWORD, Dword(1), "1"},
        {"DWORD 123456", REG_DWORD, Dword(123456), "123456"},
        {"DWORD all ones", REG_DWORD, Dword(0xFFFFFFFF), "-1"},
        {"DWORD highest", REG_DWORD, Dword(0x7FFFFFFF), "2147483647"},
        {"DWORD sign bit", REG_DWORD, Dword(0x80000000), "-2147483648"},
        {"DWORD of 2 bytes", REG_DWORD, {1, 0}, "(default)"},
        {"DWORD of 8 bytes", REG_DWORD, {1, 0, 0, 0, 0, 0, 0, 0}, "(default)"},
        {"DWORD of no bytes", REG_DWORD, {}, "(default)"},
        {"binary", REG_BINARY, {0x0A, 0x1B, 0xFF}, "0A1BFF"},
        {"binary zero byte", REG_BINARY, {0x00}, "00"},
        {"binary of no bytes", REG_BINARY, {}, "(default)"},
        {"multi text", REG_MULTI_SZ, Text(std::string("a\0b\0", 4)), "(default)"},
        {"QWORD", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, "(default)"},
        {"big-endian DWORD", REG_DWORD_BIG_ENDIAN, {0, 0, 0, 1}, "(default)"},
        {"no type", REG_NONE, {0x41, 0x42}, "(default)"},
    };
    for (const StoredCase& c : cases) {
        SetRaw(HKEY_CURRENT_USER, key(), "Value", c.type, c.data);
        ASSERT_EQ(GetRaw(HKEY_CURRENT_USER, key(), "Value")->data.size(), c.data.size()) << c.what << ": as given";
        EXPECT_EQ(store.ReadValue("Value", "(default)"), c.expected) << c.what;
    }
}

TEST_F(RegWrapTest, ReadsLargeValuesWhole)
{
    std::vector<BYTE> binary(64 * 1024);
    for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<BYTE>(i * 7 + 3);
    SetRaw(HKEY_CURRENT_USER, key(), "Binary", REG_BINARY, binary);
    const std::string hex = store.ReadValue("Binary");
    ASSERT_EQ(hex.size(), binary.size() * 2);
    EXPECT_EQ(hex.substr(0, 8), "030A1118");
    EXPECT_EQ(hex.substr(hex.size() - 4), "F5FC");  // 65534 * 7 + 3 and 65535 * 7 + 3, low bytes

    const std::string text(100 * 1000, 'q');
    SetRaw(HKEY_CURRENT_USER, key(), "Text", REG_SZ, Text(text, false));
    EXPECT_EQ(store.ReadValue("Text"), text);
}

// ---- a value that changes while it is read ----

TEST_F(RegWrapTest, ValueChangedBetweenSizeQueryAndReadIsAnErrorOrTheNewText)
{
    struct Case { const char* what; std::function<void(const std::string&)> change; const char* expected; };
    const auto set = [](DWORD type, std::vector<BYTE> data) {
        return [=](const std::string& at) { SetRaw(HKEY_CURRENT_USER, at, "V", type, data); };
    };
    const Case cases[] = {
        {"grew", set(REG_SZ, Text(std::string(300, 'g'))), "error: Failed to get data for 'V'"},
        {"shrank", set(REG_SZ, Text("ab")), "ab"},
        {"became a DWORD", set(REG_DWORD, Dword(5)), "error: Invalid data type for 'V'"},
        {"became a large binary", set(REG_BINARY, std::vector<BYTE>(4096, 1)), "error: Failed to get data for 'V'"},
        {"was deleted", [](const std::string& at) { DeleteRaw(HKEY_CURRENT_USER, at, "V"); },
         "error: Failed to get data for 'V'"},
    };
    for (const bool legacy : {false, true}) {
        const std::string at = (legacy ? keys.legacy() : key()) + "\\Sub";
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (legacy ? " (legacy)" : ""));
            SetText(HKEY_CURRENT_USER, at, "V", "short");
            std::string result;
            {
                const ChangeAfterSizeQuery change([&] { c.change(at); });
                try {
                    result = store.ReadValue("Sub\\V", "default");
                } catch (const RegistryError& error) {
                    result = std::string("error: ") + error.what();
                }
                EXPECT_TRUE(change.done());
            }
            EXPECT_EQ(result, c.expected);
            EXPECT_EQ(store.BasePath, keys.base());
            EXPECT_EQ(store.KeyMode, kmRead);
        }
    }
}

// ---- defaults and the legacy root ----

TEST_F(RegWrapTest, MissingValueGivesTheDefault)
{
    EXPECT_EQ(store.ReadValue("Name", "fallback"), "fallback");
    EXPECT_EQ(store.ReadValue("Name"), "");
    EXPECT_EQ(store.BasePath, keys.base());
}

TEST_F(RegWrapTest, MissingValueIsLookedUpUnderTheLegacyRoot)
{
    SetText(HKEY_CURRENT_USER, keys.legacy(), "Only", "legacy");
    SetText(HKEY_CURRENT_USER, keys.legacy() + "\\Sub", "Deep", "legacy deep");
    SetText(HKEY_CURRENT_USER, keys.legacy(), "Both", "legacy");
    SetText(HKEY_CURRENT_USER, key(), "Both", "current");
    SetText(HKEY_CURRENT_USER, key(), "Empty", "");
    SetText(HKEY_CURRENT_USER, keys.legacy(), "Empty", "legacy for empty");
    SetText(HKEY_CURRENT_USER, key(), "EmptyBoth", "");

    struct Case { const char* name; const char* expected; };
    const Case cases[] = {
        {"Only", "legacy"}, {"Sub\\Deep", "legacy deep"}, {"Both", "current"},
        {"Empty", "legacy for empty"}, {"EmptyBoth", "default"}, {"Nowhere", "default"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(store.ReadValue(c.name, "default"), c.expected) << c.name;
        EXPECT_EQ(store.BasePath, keys.base()) << c.name;
    }

    TRegWrap other_letters(HKEY_CURRENT_USER, Lower(keys.base()));
    EXPECT_EQ(other_letters.ReadValue("Only"), "legacy");
    EXPECT_EQ(other_letters.BasePath, Lower(keys.base()));
}

TEST_F(RegWrapTest, StoreOutsideTheKestrelonRootHasNoLegacyFallback)
{
    // Same length and same tail as the real root: a fallback would land on the legacy test key.
    std::string look_alike = keys.base();
    look_alike.replace(0, 18, "Software\\Kestrel0n");
    SetText(HKEY_CURRENT_USER, keys.legacy(), "Only", "legacy");
    TRegWrap other(HKEY_CURRENT_USER, look_alike);
    EXPECT_EQ(other.ReadValue("Only", "default"), "default");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Kestrel0n"));
}

TEST_F(RegWrapTest, WritesNeverGoToTheLegacyRoot)
{
    SetText(HKEY_CURRENT_USER, keys.legacy(), "Name", "legacy");
    EXPECT_EQ(store.ReadValue("Name"), "legacy");
    store.WriteValue("Name", "written");
    EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, key(), "Name")->data, Text("written"));
    EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, keys.legacy(), "Name")->data, Text("legacy"));
    store.WriteValue("Name", "");
    EXPECT_FALSE(GetRaw(HKEY_CURRENT_USER, key(), "Name"));
    EXPECT_TRUE(GetRaw(HKEY_CURRENT_USER, keys.legacy(), "Name")) << "deleting must not reach the legacy value";
}

TEST_F(RegWrapTest, ReadBoolAcceptsNumbersAndWords)
{
    struct Case { const char* what; DWORD type; std::vector<BYTE> data; bool ifDefaultFalse, ifDefaultTrue; };
    const Case cases[] = {
        {"DWORD 1", REG_DWORD, Dword(1), true, true},
        {"DWORD all ones", REG_DWORD, Dword(0xFFFFFFFF), true, true},
        {"DWORD 0", REG_DWORD, Dword(0), false, false},
        {"DWORD 2", REG_DWORD, Dword(2), false, false},
        {"Yes", REG_SZ, Text("Yes"), true, true},
        {"on", REG_SZ, Text("on"), true, true},
        {"True", REG_SZ, Text("True"), true, true},
        {"-1", REG_SZ, Text("-1"), true, true},
        {"0", REG_SZ, Text("0"), false, false},
        {"No", REG_SZ, Text("No"), false, false},
        {"False", REG_SZ, Text("False"), false, false},
        {"empty text", REG_SZ, Text(""), false, true},
        {"binary 01", REG_BINARY, {0x01}, false, false},  // "01" is not a true word
        {"QWORD 1", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, false, true},
    };
    for (const Case& c : cases) {
        SetRaw(HKEY_CURRENT_USER, key(), "Flag", c.type, c.data);
        EXPECT_EQ(store.ReadBool("Flag", false), c.ifDefaultFalse) << c.what;
        EXPECT_EQ(store.ReadBool("Flag", true), c.ifDefaultTrue) << c.what;
    }
    EXPECT_FALSE(store.ReadBool("Missing", false));
    EXPECT_TRUE(store.ReadBool("Missing", true));
}

}  // namespace
}  // namespace mappa
