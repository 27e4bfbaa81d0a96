#include "RegistryCalls.h"

#include <windows.h>

#include <utility>

using OpenKey = LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, REGSAM, PHKEY);
using CreateKey = LONG(WINAPI*)(HKEY, LPCWSTR, DWORD, LPWSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY, LPDWORD);
using CloseKey = LONG(WINAPI*)(HKEY);
using QueryValue = LONG(WINAPI*)(HKEY, LPCWSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD);

// The import table's entries that every call in this executable goes through.
extern "C" OpenKey __imp_RegOpenKeyExW;
extern "C" CreateKey __imp_RegCreateKeyExW;
extern "C" CloseKey __imp_RegCloseKey;
extern "C" QueryValue __imp_RegQueryValueExW;

namespace mappa::settingstest {
namespace {

template <typename Function>
void SetEntry(Function& entry, Function value)
{
    DWORD protection = 0;
    VirtualProtect(&entry, sizeof entry, PAGE_READWRITE, &protection);
    entry = value;
    VirtualProtect(&entry, sizeof entry, protection, &protection);
}

OpenKey real_open = nullptr;
CreateKey real_create = nullptr;
CloseKey real_close = nullptr;
int opened_count = 0, created_count = 0, closed_count = 0;

LONG WINAPI CountedOpen(HKEY root, LPCWSTR path, DWORD options, REGSAM access, PHKEY key)
{
    const LONG result = real_open(root, path, options, access, key);
    if (result == ERROR_SUCCESS) ++opened_count;
    return result;
}

LONG WINAPI CountedCreate(HKEY root, LPCWSTR path, DWORD reserved, LPWSTR key_class, DWORD options, REGSAM access,
                          LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition)
{
    const LONG result = real_create(root, path, reserved, key_class, options, access, security, key, disposition);
    if (result == ERROR_SUCCESS) {
        ++opened_count;
        ++created_count;
    }
    return result;
}

LONG WINAPI CountedClose(HKEY key)
{
    const LONG result = real_close(key);
    if (result == ERROR_SUCCESS) ++closed_count;
    return result;
}

QueryValue real_query = nullptr;
std::function<void()> pending_change;

LONG WINAPI QueryThenChange(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    const LONG result = real_query(key, name, reserved, type, data, size);
    if (!data && result == ERROR_SUCCESS && pending_change) std::exchange(pending_change, nullptr)();
    return result;
}

}  // namespace

KeyHandleCount::KeyHandleCount()
{
    opened_count = created_count = closed_count = 0;
    real_open = __imp_RegOpenKeyExW;
    real_create = __imp_RegCreateKeyExW;
    real_close = __imp_RegCloseKey;
    SetEntry(__imp_RegOpenKeyExW, OpenKey{&CountedOpen});
    SetEntry(__imp_RegCreateKeyExW, CreateKey{&CountedCreate});
    SetEntry(__imp_RegCloseKey, CloseKey{&CountedClose});
}

KeyHandleCount::~KeyHandleCount()
{
    SetEntry(__imp_RegOpenKeyExW, real_open);
    SetEntry(__imp_RegCreateKeyExW, real_create);
    SetEntry(__imp_RegCloseKey, real_close);
}

int KeyHandleCount::opened() const { return opened_count; }
int KeyHandleCount::created() const { return created_count; }
int KeyHandleCount::closed() const { return closed_count; }

ChangeAfterSizeQuery::ChangeAfterSizeQuery(std::function<void()> change)
{
    pending_change = std::move(change);
    real_query = __imp_RegQueryValueExW;
    SetEntry(__imp_RegQueryValueExW, QueryValue{&QueryThenChange});
}

ChangeAfterSizeQuery::~ChangeAfterSizeQuery()
{
    SetEntry(__imp_RegQueryValueExW, real_query);
    pending_change = nullptr;
}

bool ChangeAfterSizeQuery::done() const { return !pending_change; }

}  // namespace mappa::settingstest
