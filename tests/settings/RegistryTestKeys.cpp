#include "RegistryTestKeys.h"

#include <gtest/gtest.h>

#include <atomic>

#include "support/Support2Win.h"

namespace mappa::settingstest {

std::optional<RawValue> GetRaw(HKEY root, const std::string& key, const std::string& name)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, Utf8ToWide(key).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return std::nullopt;
    RawValue value;
    DWORD size = 0;
    LONG result = RegQueryValueExA(handle, name.c_str(), nullptr, &value.type, nullptr, &size);
    if (result == ERROR_SUCCESS) {
        value.data.resize(size);
        result = RegQueryValueExA(handle, name.c_str(), nullptr, &value.type, value.data.data(), &size);
        value.data.resize(size);
    }
    RegCloseKey(handle);
    if (result != ERROR_SUCCESS) return std::nullopt;
    return value;
}

void SetRaw(HKEY root, const std::string& key, const std::string& name, DWORD type, const std::vector<BYTE>& data)
{
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, Utf8ToWide(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle, nullptr),
              ERROR_SUCCESS)
        << key;
    // A byte other than NUL after the data: RegSetValueExA would otherwise take a
    // NUL there as the text's end and store it as well.
    std::vector<BYTE> buffer(data);
    buffer.push_back('#');
    const LONG result =
        RegSetValueExA(handle, name.c_str(), 0, type, buffer.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(handle);
    ASSERT_EQ(result, ERROR_SUCCESS) << key << " " << name;
}

void SetText(HKEY root, const std::string& key, const std::string& name, const std::string& text)
{
    SetRaw(root, key, name, REG_SZ, Text(text));
}

void SetDword(HKEY root, const std::string& key, const std::string& name, DWORD value)
{
    const auto* bytes = reinterpret_cast<const BYTE*>(&value);
    SetRaw(root, key, name, REG_DWORD, std::vector<BYTE>(bytes, bytes + sizeof value));
}

void DeleteRaw(HKEY root, const std::string& key, const std::string& name)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, Utf8ToWide(key).c_str(), 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS) return;
    RegDeleteValueA(handle, name.c_str());
    RegCloseKey(handle);
}

bool KeyExists(HKEY root, const std::string& key)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(root, Utf8ToWide(key).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
}

std::vector<BYTE> Bytes(const std::string& text) { return std::vector<BYTE>(text.begin(), text.end()); }

std::vector<BYTE> Text(const std::string& text, bool terminated)
{
    std::vector<BYTE> data = Bytes(text);
    if (terminated) data.push_back(0);
    return data;
}

std::vector<BYTE> Dword(DWORD value)
{
    return {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)};
}

TestKeys::TestKeys()
{
    static std::atomic<unsigned> counter{0};
    const std::string name = "MappaTest_" + std::to_string(GetCurrentProcessId()) + "_" +
                             std::to_string(GetTickCount()) + "_" + std::to_string(++counter);
    base_ = "Software\\Kestrelon\\Tools\\" + name;
    legacy_ = "Software\\Varnholt Group\\Tools\\" + name;
}

TestKeys::~TestKeys()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, base_.c_str());
    RegDeleteTreeA(HKEY_CURRENT_USER, legacy_.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, legacy_.c_str());
}

PreservedValue::PreservedValue(HKEY root, std::string key, std::string name)
    : root_(root), key_(std::move(key)), name_(std::move(name)), key_existed_(KeyExists(root_, key_)),
      saved_(GetRaw(root_, key_, name_))
{
}

PreservedValue::~PreservedValue()
{
    if (!key_existed_) {
        RegDeleteTreeA(root_, key_.c_str());
        RegDeleteKeyA(root_, key_.c_str());
    } else if (saved_) {
        SetRaw(root_, key_, name_, saved_->type, saved_->data);
    } else {
        DeleteRaw(root_, key_, name_);
    }
}

PreservedKey::PreservedKey(HKEY root, std::string key) : root_(root), key_(std::move(key)), existed_(KeyExists(root_, key_))
{
}

PreservedKey::~PreservedKey()
{
    if (existed_) return;
    RegDeleteTreeA(root_, key_.c_str());
    RegDeleteKeyA(root_, key_.c_str());
}

}  // namespace mappa::settingstest
