#include "support/PolicyStore.h"

#include <cstring>
#include <vector>

#include "support/Support2Win.h"
#include "support/WinHandles.h"

namespace mappa {
namespace {

// The order of precedence: the first of these that holds a valid value wins.
const HKEY kPolicyRoots[] = {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};

template <typename Rule>
auto PrevailingPolicy(const std::string& name, Rule rule) -> decltype(rule(PolicyValue{}))
{
    for (HKEY root : kPolicyRoots)
        if (auto value = rule(ReadPolicyValue(root, name))) return value;
    return std::nullopt;
}

std::optional<std::wstring> Expanded(const std::wstring& text)
{
    std::wstring result(text.size() + 64, L'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD needed = ExpandEnvironmentStringsW(text.c_str(), result.data(), static_cast<DWORD>(result.size()));
        if (needed == 0) return std::nullopt;
        if (needed <= result.size()) {
            result.resize(needed - 1);
            return result;
        }
        result.assign(needed, L'\0');
    }
    return std::nullopt;
}

// The value's type and bytes; the loop covers a value that grows between the
// size query and the read.
std::optional<std::pair<DWORD, std::vector<BYTE>>> QueryValue(HKEY key, const std::wstring& name)
{
    DWORD size = 0;
    DWORD type = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::vector<BYTE> data(size);
        DWORD read = size;
        const LONG result = RegQueryValueExW(key, name.c_str(), nullptr, &type, data.data(), &read);
        if (result == ERROR_SUCCESS) {
            data.resize(read);
            return std::make_pair(type, std::move(data));
        }
        if (result != ERROR_MORE_DATA) return std::nullopt;
        size = read;
    }
    return std::nullopt;
}

}  // namespace

PolicyValue ReadPolicyValue(HKEY root, const std::string& name)
{
    PolicyValue value;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, Utf8ToWide(kPolicyKey).c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return value;
    const KeyHandle key(opened);

    const auto stored = QueryValue(key.get(), Utf8ToWide(name));
    if (!stored) return value;
    const auto& [type, data] = *stored;
    switch (type) {
    case REG_DWORD:
        if (data.size() != sizeof(DWORD)) break;
        std::memcpy(&value.number, data.data(), sizeof(DWORD));
        value.kind = PolicyValue::Kind::Number;
        return value;
    case REG_SZ:
    case REG_EXPAND_SZ: {
        // The text need not end in a NUL, and ends at the first one.
        std::wstring text(data.size() / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
        text.resize(text.find(L'\0') == std::wstring::npos ? text.size() : text.find(L'\0'));
        if (type == REG_EXPAND_SZ) {
            const auto expanded = Expanded(text);
            if (!expanded) return value;
            text = *expanded;
        }
        value.text = WideToUtf8(text);
        value.kind = PolicyValue::Kind::Text;
        return value;
    }
    default:
        break;
    }
    value.kind = PolicyValue::Kind::Other;
    return value;
}

std::optional<bool> PolicySwitch(const std::string& name) { return PrevailingPolicy(name, SwitchPolicy); }

std::optional<std::string> PolicyPath(const std::string& name) { return PrevailingPolicy(name, PathPolicy); }

}  // namespace mappa
