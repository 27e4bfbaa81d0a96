// The settings store against the real registry: value names, the one key it
// keeps open, writing, and where it points.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RegistryCalls.h"
#include "support/Support2Win.h"
#include "StoreTest.h"

namespace mappa {
namespace {

using namespace settingstest;

// ---- value names ----

TEST_F(RegWrapTest, ReadsTheValueNamedAfterTheLastSeparatorInTheDirectoryKey)
{
    struct Case { const char* name; const char* key; const char* value; };
    const Case cases[] = {
        {"Name", "", "Name"},
        {"Sub\\Name", "Sub", "Name"},
        {"Sub\\Key\\Name", "Sub\\Key", "Name"},
        {"Drive:Name", "", "Name"},       // no backslash: the base key itself
        {"Sub\\Key:Name", "Sub", "Name"},  // the key part still ends at the last backslash
        {"Sub\\", "Sub", ""},              // the key's default value
    };
    for (const Case& c : cases) {
        SetText(HKEY_CURRENT_USER, key(c.key), c.value, std::string("text of ") + c.name);
        EXPECT_EQ(store.ReadValue(c.name, "default"), std::string("text of ") + c.name) << c.name;
        EXPECT_TRUE(IsOpenKey(store.currentKey())) << c.name;
        EXPECT_EQ(store.currentKeyPath(), key(c.key)) << c.name;
        DeleteRaw(HKEY_CURRENT_USER, key(c.key), c.value);
    }
}

TEST_F(RegWrapTest, WritesTheValueNamedAfterTheLastSeparatorBelowEverythingBeforeIt)
{
    struct Case { const char* name; const char* key; const char* value; };
    const Case cases[] = {
        {"Name", "", "Name"},         {"Sub\\Value", "Sub", "Value"}, {"Sub\\Key\\Name", "Sub\\Key", "Name"},
        {"Drive:Name", "Drive:", "Name"}, {"Sub\\Key:Name", "Sub\\Key:", "Name"}, {"Sub\\", "Sub", ""},
    };
    for (const Case& c : cases) {
        store.WriteValue(c.name, std::string("text of ") + c.name);
        EXPECT_EQ(store.currentKeyPath(), key(c.key)) << c.name;
        const auto stored = GetRaw(HKEY_CURRENT_USER, key(c.key), c.value);
        ASSERT_TRUE(stored) << c.name;
        EXPECT_EQ(stored->data, Bytes(std::string("text of ") + c.name + '\0')) << c.name;
    }
}

// ---- the one open key ----

TEST_F(RegWrapTest, StartsClosedWithFullAccess)
{
    EXPECT_EQ(store.KeyMode, kmClosed);
    EXPECT_EQ(store.currentKey(), nullptr);
    EXPECT_EQ(store.accessMask(), kAllAccess);
    EXPECT_EQ(store.rootKey(), HKEY_CURRENT_USER);
    EXPECT_EQ(store.BasePath, keys.base());
}

TEST_F(RegWrapTest, ReadingKeepsOneKeyOpenForItsPath)
{
    SetText(HKEY_CURRENT_USER, key("Sub"), "A", "a");
    SetText(HKEY_CURRENT_USER, key("Other"), "B", "b");
    const KeyHandleCount handles;
    EXPECT_EQ(store.ReadValue("Sub\\A"), "a");
    EXPECT_EQ(store.KeyMode, kmRead);
    EXPECT_EQ(store.accessMask(), kReadAccess);
    EXPECT_EQ(store.currentKeyPath(), key("Sub"));
    EXPECT_TRUE(IsOpenKey(store.currentKey()));
    EXPECT_EQ(handles.opened(), 1);

    EXPECT_EQ(store.ReadValue("Sub\\A"), "a");
    EXPECT_EQ(store.ReadValue("SUB\\a"), "a");  // the same key in other letters
    EXPECT_EQ(handles.opened(), 1) << "reopened the key it held";
    EXPECT_EQ(store.currentKeyPath(), key("Sub"));

    EXPECT_EQ(store.ReadValue("Other\\B"), "b");
    EXPECT_EQ(store.currentKeyPath(), key("Other"));
    EXPECT_EQ(store.ReadValue("Sub\\A"), "a");
    EXPECT_EQ(handles.opened(), 3);
    EXPECT_EQ(handles.held(), 1);

    store.SetLocation(HKEY_CURRENT_USER, Lower(keys.base()));
    EXPECT_EQ(store.ReadValue("Sub\\A"), "a");
    EXPECT_EQ(handles.opened(), 3) << "a base path in other letters is the same key";

    store.Close();
    EXPECT_EQ(handles.held(), 0);
}

TEST_F(RegWrapTest, ReadOfAMissingKeyOpensNothing)
{
    const KeyHandleCount handles;
    EXPECT_EQ(store.ReadValue("Nowhere\\Name", "default"), "default");
    EXPECT_EQ(store.KeyMode, kmRead);
    EXPECT_EQ(store.currentKey(), nullptr);
    EXPECT_EQ(handles.held(), 0);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, key("Nowhere")));
}

TEST_F(RegWrapTest, WriteAfterReadReopensTheKeyForWriting)
{
    SetText(HKEY_CURRENT_USER, key(), "Name", "old");
    const KeyHandleCount handles;
    EXPECT_EQ(store.ReadValue("Name"), "old");
    ASSERT_EQ(store.KeyMode, kmRead);

    store.WriteValue("Name", "new");
    EXPECT_EQ(store.KeyMode, kmWrite);
    EXPECT_EQ(store.accessMask(), kWriteAccess);
    EXPECT_EQ(store.currentKeyPath(), key());
    EXPECT_TRUE(IsOpenKey(store.currentKey()));
    EXPECT_EQ(handles.created(), 1);
    EXPECT_EQ(handles.held(), 1) << "the read key was left open";
    EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, key(), "Name")->data, Bytes(std::string("new") + '\0'));
}

TEST_F(RegWrapTest, WritingTwiceOpensOnceAndCreatesAMissingKey)
{
    const KeyHandleCount handles;
    store.WriteValue("New\\A", "1");
    EXPECT_EQ(store.KeyMode, kmWrite);
    EXPECT_EQ(store.accessMask(), kCreateAccess);
    const HKEY first = store.currentKey();
    EXPECT_TRUE(IsOpenKey(first));
    store.WriteValue("new\\B", "2");
    EXPECT_EQ(store.currentKey(), first);
    EXPECT_EQ(handles.created(), 1);
    EXPECT_EQ(handles.held(), 1);
    EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, key("New"), "A")->data, Bytes(std::string("1") + '\0'));
    EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, key("New"), "B")->data, Bytes(std::string("2") + '\0'));

    TRegWrap other(HKEY_CURRENT_USER, keys.base());
    other.WriteValue("New\\C", "3");
    EXPECT_EQ(other.accessMask(), kWriteAccess) << "the key existed before";
}

TEST_F(RegWrapTest, CloseAndTheEndReleaseTheKey)
{
    SetText(HKEY_CURRENT_USER, key(), "Name", "x");
    const KeyHandleCount handles;
    for (const bool write : {false, true}) {
        if (write) {
            store.WriteValue("Name", "y");
        } else {
            store.ReadValue("Name");
        }
        ASSERT_EQ(handles.held(), 1);
        store.Close();
        EXPECT_EQ(store.KeyMode, kmClosed);
        EXPECT_EQ(store.currentKey(), nullptr);
        EXPECT_EQ(handles.held(), 0);
    }
    {
        TRegWrap reader(HKEY_CURRENT_USER, keys.base());
        reader.ReadValue("Name");
        TRegWrap writer(HKEY_CURRENT_USER, keys.base());
        writer.WriteValue("Name", "z");
        EXPECT_EQ(handles.held(), 2);
    }
    EXPECT_EQ(handles.held(), 0);
}

TEST_F(RegWrapTest, PrepareKeyMovesBetweenTheModes)
{
    SetText(HKEY_CURRENT_USER, key("Sub"), "A", "a");
    const KeyHandleCount handles;
    store.PrepareKey("Sub", kmRead);
    EXPECT_EQ(store.KeyMode, kmRead);
    EXPECT_EQ(store.currentKeyPath(), key("Sub"));
    EXPECT_EQ(store.accessMask(), kReadAccess);
    store.PrepareKey("Sub\\", kmWrite);
    EXPECT_EQ(store.KeyMode, kmWrite);
    EXPECT_EQ(store.currentKeyPath(), key("Sub"));
    EXPECT_EQ(store.accessMask(), kWriteAccess);
    store.PrepareKey("Sub", kmClosed);
    EXPECT_EQ(store.KeyMode, kmClosed);
    EXPECT_EQ(store.currentKey(), nullptr);
    EXPECT_EQ(handles.held(), 0);
    store.PrepareKey("", kmWrite);
    EXPECT_EQ(store.currentKeyPath(), keys.base());
    EXPECT_EQ(store.accessMask(), kWriteAccess);
    EXPECT_EQ(handles.held(), 1);
}

// ---- writing ----

TEST_F(RegWrapTest, WriteStoresTextWithItsTerminatingNul)
{
    // The program's UTF-8 text is stored as the system's UTF-16, whatever the code page holds.
    for (const std::string text : {"x", "100,60,500,400,96,Normal", "with spaces and \u00FCmlauts",
                                   "C:\\\u041A\u0430\u0440\u0442\u044B\\\u5730\u56F3"}) {
        store.WriteValue("Name", text);
        const std::wstring wide = Utf8ToWide(text);
        std::wstring stored(wide.size() + 8, L'#');
        DWORD type = 0, size = DWORD(stored.size() * sizeof(wchar_t));
        ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, Utf8ToWide(key()).c_str(), L"Name", RRF_RT_ANY, &type, stored.data(),
                               &size),
                  ERROR_SUCCESS);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(size, (wide.size() + 1) * sizeof(wchar_t));
        EXPECT_EQ(stored.substr(0, wide.size() + 1), wide + L'\0');
        EXPECT_EQ(store.ReadValue("Name"), text);
    }
    SetDword(HKEY_CURRENT_USER, key(), "Number", 5);
    store.WriteValue("Number", "6");
    EXPECT_EQ(GetRaw(HKEY_CURRENT_USER, key(), "Number")->type, static_cast<DWORD>(REG_SZ));
}

TEST_F(RegWrapTest, WritingEmptyTextDeletesTheValue)
{
    SetText(HKEY_CURRENT_USER, key("Sub"), "Gone", "x");
    SetText(HKEY_CURRENT_USER, key("Sub"), "Kept", "y");
    store.WriteValue("Sub\\Gone", "");
    EXPECT_FALSE(GetRaw(HKEY_CURRENT_USER, key("Sub"), "Gone"));
    EXPECT_TRUE(GetRaw(HKEY_CURRENT_USER, key("Sub"), "Kept"));

    EXPECT_NO_THROW(store.WriteValue("Fresh\\Never", ""));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, key("Fresh"))) << "the key path is created";
    EXPECT_FALSE(GetRaw(HKEY_CURRENT_USER, key("Fresh"), "Never"));
    EXPECT_EQ(store.KeyMode, kmWrite);
}

TEST_F(RegWrapTest, WriteToAKeyThatCannotBeOpenedRaisesAnError)
{
    HKEY closed_root = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, Utf8ToWide(keys.base()).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &closed_root, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(closed_root);

    for (const HKEY root : {reinterpret_cast<HKEY>(0x12345), closed_root}) {
        TRegWrap broken(root, "Software\\Kestrelon\\Tools\\Nowhere");
        try {
            broken.WriteValue("Sub\\Name", "text");
            ADD_FAILURE() << "no error for root " << root;
        } catch (const RegistryError& error) {
            EXPECT_STREQ(error.what(), "Failed to set data for 'Name'");
        }
        EXPECT_EQ(broken.KeyMode, kmWrite);
        EXPECT_EQ(broken.currentKey(), nullptr);
        broken.Close();
        EXPECT_EQ(broken.KeyMode, kmClosed);
    }
}

// ---- location ----

TEST_F(RegWrapTest, BasePathLosesOneTrailingBackslash)
{
    struct Case { const char* given; const char* expected; };
    const Case cases[] = {{"A\\B", "A\\B"}, {"A\\B\\", "A\\B"}, {"A\\B\\\\", "A\\B\\"}, {"\\", ""}, {"", ""}};
    for (const Case& c : cases) {
        store.SetLocation(HKEY_CURRENT_USER, c.given);
        EXPECT_EQ(store.BasePath, c.expected) << c.given;
        EXPECT_EQ(TRegWrap(HKEY_CURRENT_USER, c.given).BasePath, c.expected) << c.given;
    }
}

TEST_F(RegWrapTest, NewRootKeyClosesTheOpenKeyButKeepsTheMode)
{
    SetText(HKEY_CURRENT_USER, key(), "Name", "user");
    const KeyHandleCount handles;
    EXPECT_EQ(store.ReadValue("Name"), "user");
    ASSERT_EQ(handles.held(), 1);

    store.SetLocation(HKEY_LOCAL_MACHINE, keys.base() + "\\");
    EXPECT_EQ(store.currentKey(), nullptr);
    EXPECT_EQ(store.KeyMode, kmRead);
    EXPECT_EQ(store.rootKey(), HKEY_LOCAL_MACHINE);
    EXPECT_EQ(store.BasePath, keys.base());
    EXPECT_EQ(handles.held(), 0);
    EXPECT_EQ(store.ReadValue("Name", "none"), "none") << "read from the machine's key";

    store.SetLocation(HKEY_CURRENT_USER, keys.base());
    EXPECT_EQ(store.ReadValue("Name", "none"), "user");
}

}  // namespace
}  // namespace mappa
