// What the settings tests share: a fresh pair of test keys (the store's own
// and its legacy twin), raw registry access that bypasses the store, and
// guards that put back the values the tests touch in the user's real keys.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mappa::settingstest {

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool operator==(const RawValue&) const = default;
};

std::optional<RawValue> GetRaw(HKEY root, const std::string& key, const std::string& name);
void SetRaw(HKEY root, const std::string& key, const std::string& name, DWORD type, const std::vector<BYTE>& data);
void SetText(HKEY root, const std::string& key, const std::string& name, const std::string& text);
void SetDword(HKEY root, const std::string& key, const std::string& name, DWORD value);
void DeleteRaw(HKEY root, const std::string& key, const std::string& name);
bool KeyExists(HKEY root, const std::string& key);
std::vector<BYTE> Bytes(const std::string& text);  // without a terminating NUL
std::vector<BYTE> Text(const std::string& text, bool terminated = true);
std::vector<BYTE> Dword(DWORD value);

// HKCU\Software\Kestrelon\Tools\MappaTest_<unique> and its twin under
// Software\Varnholt Group; both trees are removed at the end.
class TestKeys {
public:
    TestKeys();
    ~TestKeys();
    TestKeys(const TestKeys&) = delete;
    TestKeys& operator=(const TestKeys&) = delete;

    const std::string& base() const { return base_; }
    const std::string& legacy() const { return legacy_; }

private:
    std::string base_;
    std::string legacy_;
};

// Remembers one value of the user's real settings (or its absence) and puts
// it back at the end; a key that did not exist before is removed again.
class PreservedValue {
public:
    PreservedValue(HKEY root, std::string key, std::string name);
    ~PreservedValue();
    PreservedValue(const PreservedValue&) = delete;
    PreservedValue& operator=(const PreservedValue&) = delete;

private:
    HKEY root_;
    std::string key_, name_;
    bool key_existed_;
    std::optional<RawValue> saved_;
};

// Removes a key tree at the end when it did not exist at the start.
class PreservedKey {
public:
    PreservedKey(HKEY root, std::string key);
    ~PreservedKey();
    PreservedKey(const PreservedKey&) = delete;
    PreservedKey& operator=(const PreservedKey&) = delete;

private:
    HKEY root_;
    std::string key_;
    bool existed_;
};

}  // namespace mappa::settingstest
