#include "support/RegWrap.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <vector>

#include "support/Support2.h"
#include "support/Support2Win.h"

namespace mappa {
namespace {

constexpr REGSAM kReadAccess = 0x20019;     // KEY_READ
constexpr REGSAM kWriteAccess = 0x2001B;    // KEY_READ | KEY_SET_VALUE
constexpr REGSAM kCreateAccess = 0x2001F;   // KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY

bool SamePath(const std::string& a, const std::string& b)
{
    const std::wstring left = Utf8ToWide(a), right = Utf8ToWide(b);
    return CompareStringEx(LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE, left.c_str(), static_cast<int>(left.size()),
                           right.c_str(), static_cast<int>(right.size()), nullptr, nullptr, 0) == CSTR_EQUAL;
}

// The value name is what follows the last "\" or ":".
std::string::size_type NameStart(const std::string& name)
{
    const auto at = name.find_last_of("\\:");
    return at == std::string::npos ? 0 : at + 1;
}

std::string Quoted(const char* format, const std::string& name)
{
    std::string text(format);
    text.replace(text.find("%s"), 2, name);
    return text;
}

}  // namespace

TRegWrap::TRegWrap(HKEY rootKey, const std::string& basePath) : BasePath(StripBackslash(basePath)), root_(rootKey) {}

TRegWrap::~TRegWrap()
{
    try {
        Close();
    } catch (...) {
    }
    closeCurrentKey();
}

void TRegWrap::SetLocation(HKEY rootKey, const std::string& basePath)
{
    BasePath = StripBackslash(basePath);
    if (rootKey != root_) closeCurrentKey();
    root_ = rootKey;
}

void TRegWrap::closeCurrentKey()
{
    current_key_.reset();
    current_path_.clear();
}

std::string TRegWrap::keyPath(const std::string& keyPart) const
{
    return keyPart.empty() ? BasePath : StripBackslash(BasePath + "\\" + keyPart);
}

void TRegWrap::PrepareKey(const std::string& keyPart, TKeyMode mode)
{
    const std::string path = keyPath(keyPart);
    if (KeyMode != kmClosed && !SamePath(path, current_path_)) {
        closeCurrentKey();
        KeyMode = kmClosed;
    }
    switch (mode) {
    case kmClosed:
        if (KeyMode != kmClosed) closeCurrentKey();
        break;
    case kmRead:
        if (KeyMode == kmClosed) {
            HKEY key = nullptr;
            if (RegOpenKeyExW(root_, Utf8ToWide(path).c_str(), 0, kReadAccess, &key) == ERROR_SUCCESS) {
                current_key_.reset(key);
                current_path_ = path;
                access_ = kReadAccess;
            }
        }
        break;
    case kmWrite: {
        if (KeyMode == kmRead) closeCurrentKey();
        HKEY probe = nullptr;
        const std::wstring wide_path = Utf8ToWide(path);
        const bool exists = RegOpenKeyExW(root_, wide_path.c_str(), 0, access_, &probe) == ERROR_SUCCESS;
        const KeyHandle probed(exists ? probe : nullptr);
        access_ = exists ? kWriteAccess : kCreateAccess;
        if (KeyMode != kmWrite) {
            HKEY key = nullptr;
            if (RegCreateKeyExW(root_, wide_path.c_str(), 0, nullptr, 0, access_, nullptr, &key, nullptr) == ERROR_SUCCESS) {
                current_key_.reset(key);
                current_path_ = path;
            }
        }
        break;
    }
    }
    KeyMode = mode;
}

void TRegWrap::Close() { PrepareKey("", kmClosed); }

std::string TRegWrap::ValueAsText(const std::string& valueName)
{
    if (!current_key_) return {};
    const std::wstring name = Utf8ToWide(valueName);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(current_key_.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_DWORD && type != REG_BINARY) return {};

    // Spare bytes keep a text without its terminating NUL inside the buffer.
    std::vector<BYTE> data(static_cast<std::size_t>(size) + sizeof(wchar_t), 0);
    DWORD read_type = 0;
    DWORD read_size = size;
    if (RegQueryValueExW(current_key_.get(), name.c_str(), nullptr, &read_type, data.data(), &read_size) != ERROR_SUCCESS)
        throw RegistryError(Quoted("Failed to get data for '%s'", valueName));
    if (read_type != type) throw RegistryError(Quoted("Invalid data type for '%s'", valueName));
    read_size = std::min(read_size, size);

    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        std::wstring text(read_size / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
        text.resize(std::wcslen(text.c_str()));
        return WideToUtf8(text);
    }
    case REG_DWORD: {
        if (read_size != sizeof(DWORD)) return {};
        std::int32_t value = 0;
        std::memcpy(&value, data.data(), sizeof value);
        return std::to_string(value);
    }
    default: {
        static constexpr char digits[] = "0123456789ABCDEF";
        std::string text;
        text.reserve(static_cast<std::size_t>(read_size) * 2);
        for (DWORD i = 0; i < read_size; ++i) {
            text += digits[data[i] >> 4];
            text += digits[data[i] & 0x0F];
        }
        return text;
    }
    }
}

std::string TRegWrap::ReadValue(const std::string& name, const std::string& defaultValue)
{
    const std::string key_part = ExtractDirectory(name);
    const std::string value_name = name.substr(NameStart(name));
    PrepareKey(key_part, kmRead);
    std::string result = ValueAsText(value_name);

    if (result.empty() && StartsWithText(BasePath, kStoreRoot)) {
        const std::string remembered = BasePath;
        BasePath = kLegacyStoreRoot + remembered.substr(std::string_view(kStoreRoot).size());
        try {
            PrepareKey(key_part, kmRead);
            result = ValueAsText(value_name);
        } catch (...) {
            BasePath = remembered;
            throw;
        }
        BasePath = remembered;
    }
    return result.empty() ? defaultValue : result;
}

bool TRegWrap::ReadBool(const std::string& name, bool defaultValue)
{
    const std::string text = ReadValue(name);
    return text.empty() ? defaultValue : TextToBool(text);
}

void TRegWrap::WriteValue(const std::string& name, const std::string& value)
{
    const auto start = NameStart(name);
    const std::string value_name = name.substr(start);
    PrepareKey(name.substr(0, start), kmWrite);
    const std::wstring wide_name = Utf8ToWide(value_name);
    if (!value.empty()) {
        const std::wstring text = Utf8ToWide(value);
        const LONG result = current_key_ ? RegSetValueExW(current_key_.get(), wide_name.c_str(), 0, REG_SZ,
                                                          reinterpret_cast<const BYTE*>(text.c_str()),
                                                          static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)))
                                         : ERROR_INVALID_HANDLE;
        if (result != ERROR_SUCCESS) throw RegistryError(Quoted("Failed to set data for '%s'", value_name));
    } else if (current_key_) {
        RegDeleteValueW(current_key_.get(), wide_name.c_str());
    }
}

}  // namespace mappa
