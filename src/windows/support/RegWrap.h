// A text-valued view of one registry key tree: values are read as text with a
// default, looked up once more under the legacy root when missing, and written
// as REG_SZ. One key stays open between accesses.
#pragma once

#include <windows.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "support/WinHandles.h"

namespace mappa {

class RegistryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

enum TKeyMode : std::uint8_t { kmClosed = 0, kmRead = 1, kmWrite = 2 };

class TRegWrap {
public:
    TRegWrap(HKEY rootKey, const std::string& basePath);
    virtual ~TRegWrap();
    TRegWrap(const TRegWrap&) = delete;
    TRegWrap& operator=(const TRegWrap&) = delete;

    void SetLocation(HKEY rootKey, const std::string& basePath);
    void PrepareKey(const std::string& keyPart, TKeyMode mode);
    std::string ReadValue(const std::string& name, const std::string& defaultValue = {});
    bool ReadBool(const std::string& name, bool defaultValue);
    // Writes REG_SZ; an empty value deletes the value instead.
    void WriteValue(const std::string& name, const std::string& value);
    void Close();

    std::string BasePath;
    TKeyMode KeyMode = kmClosed;

    // For the tests: what the store holds open.
    HKEY rootKey() const { return root_; }
    HKEY currentKey() const { return current_key_.get(); }
    const std::string& currentKeyPath() const { return current_path_; }
    REGSAM accessMask() const { return access_; }

private:
    std::string keyPath(const std::string& keyPart) const;
    std::string ValueAsText(const std::string& valueName);
    void closeCurrentKey();

    HKEY root_;
    KeyHandle current_key_;
    std::string current_path_;
    REGSAM access_ = KEY_ALL_ACCESS;
};

// The legacy root that reads fall back to.
inline constexpr const char* kStoreRoot = "Software\\Kestrelon";
inline constexpr const char* kLegacyStoreRoot = "Software\\Varnholt Group";

}  // namespace mappa
