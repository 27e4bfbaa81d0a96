#include "WinTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <utility>

#include "support/PolicyRules.h"
#include "support/Support2Win.h"
#include "support/WinHandles.h"

namespace mappa::test {
namespace {

// Wine 8's COM reads classes only from HKEY_CLASSES_ROOT (the machine's
// Software\Classes); a registration under HKEY_CURRENT_USER is not seen.
constexpr const char* kClassKey = "CLSID\\{4E43904C-DAC3-4B1E-B4D9-A085F827C856}";
constexpr const char* kProgIdKey = "ObelComDlg.FindFile";
constexpr const char* kClassId = "{4E43904C-DAC3-4B1E-B4D9-A085F827C856}";

constexpr const char* kFinderVariables[] = {"MAPPA_FINDER_MODE", "MAPPA_FINDER_RESULT", "MAPPA_FINDER_SEEN_PATH",
                                            "MAPPA_FINDER_SEEN_OPTION", "MAPPA_FINDER_CALLS", "MAPPA_FINDER_CREATED"};

void SetRegistryText(const std::string& key, const char* name, const std::string& value)
{
    const LSTATUS status = RegSetKeyValueA(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(),
                                           static_cast<DWORD>(value.size() + 1));
    ASSERT_EQ(status, ERROR_SUCCESS) << "cannot write HKEY_CLASSES_ROOT\\" << key;
}

}  // namespace

ScratchDirectory::ScratchDirectory()
{
    static int made = 0;
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    path_ = WideToUtf8(temp) + "mappa-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++made) +
            "-" + std::to_string(GetTickCount());
    std::filesystem::create_directories(std::filesystem::path(Utf8ToWide(path_)));
}

ScratchDirectory::~ScratchDirectory()
{
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(Utf8ToWide(path_)), ignored);
}

std::string ScratchDirectory::write(std::string_view relative, std::string_view content) const
{
    // Paths are UTF-8, as the program has them, and reach the system through the wide calls.
    const std::string full = pathOf(relative);
    for (auto at = full.find('\\', path_.size() + 1); at != std::string::npos; at = full.find('\\', at + 1))
        CreateDirectoryW(Utf8ToWide(full.substr(0, at)).c_str(), nullptr);
    const HANDLE file = CreateFileW(Utf8ToWide(full).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << "cannot create " << full;
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(file);
    return full;
}

std::string DataFileText(std::string_view office, std::string_view latitude)
{
    std::string text = "Mappa office list\r\n*\r\nhttp://www.example.com/\r\n*\r\nhttp://support.example.com/\r\n";
    text += "NAME: " + std::string(office) + "\r\nADDR: 1 Main Street\r\nCOUNTRY: Norway\r\nCITY: Oslo\r\n";
    text += "ZIP: 0150\r\nFAX: +47 1\r\nEMAIL: oslo@example.com\r\nLAT: " + std::string(latitude) + "\r\n";
    text += "LON: 20 E\r\nTYPE: Sales\r\n\r\n";
    return text;
}

FinderRegistration::FinderRegistration()
{
    const std::string classKey = kClassKey;
    SetRegistryText(classKey, nullptr, "Obel file finder (test)");
    SetRegistryText(classKey + "\\InprocServer32", nullptr, BesideExecutable(TEST_FILE_FINDER_DLL));
    SetRegistryText(classKey + "\\InprocServer32", "ThreadingModel", "Apartment");
    SetRegistryText(classKey + "\\ProgID", nullptr, "ObelComDlg.FindFile");
    SetRegistryText(kProgIdKey, nullptr, "Obel file finder (test)");
    SetRegistryText(std::string(kProgIdKey) + "\\CLSID", nullptr, kClassId);
}

void FinderRegistration::remove()
{
    RegDeleteTreeA(HKEY_CLASSES_ROOT, kClassKey);
    RegDeleteTreeA(HKEY_CLASSES_ROOT, kProgIdKey);
}

void FinderEnvironment::answer(std::string_view mode, std::string_view result)
{
    SetEnvironmentVariableW(L"MAPPA_FINDER_MODE", Utf8ToWide(mode).c_str());
    SetEnvironmentVariableW(L"MAPPA_FINDER_RESULT", Utf8ToWide(result).c_str());
}

std::string FinderEnvironment::value(const char* name)
{
    wchar_t buffer[4096] = {};
    const DWORD length = GetEnvironmentVariableW(Utf8ToWide(name).c_str(), buffer, std::size(buffer));
    return length < std::size(buffer) ? WideToUtf8(std::wstring_view(buffer, length)) : std::string();
}

bool FinderEnvironment::isSet(const char* name)
{
    return GetEnvironmentVariableA(name, nullptr, 0) != 0;
}

void FinderEnvironment::clear()
{
    for (const char* name : kFinderVariables) SetEnvironmentVariableA(name, nullptr);
}

std::string BesideExecutable(std::string_view name)
{
    const std::string exe = ModuleFileName();
    return exe.substr(0, exe.find_last_of('\\') + 1) + std::string(name);
}

DialogWatcher::DialogWatcher() : watched_thread_(GetCurrentThreadId()), helper_([this] { watch(); }) {}

void DialogWatcher::stop()
{
    stopping_ = true;
    if (helper_.joinable()) helper_.join();
}

std::vector<SeenDialog> DialogWatcher::seen()
{
    const std::lock_guard lock(mutex_);
    return seen_;
}

void DialogWatcher::watch()
{
    const auto visit = [](HWND window, LPARAM self) -> BOOL {
        auto& watcher = *reinterpret_cast<DialogWatcher*>(self);
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::string_view(name) != "#32770" || !IsWindowVisible(window)) return TRUE;
        if (std::find(watcher.closed_.begin(), watcher.closed_.end(), window) != watcher.closed_.end()) return TRUE;

        SeenDialog dialog;
        char text[1024] = {};
        GetWindowTextA(window, text, sizeof text);
        dialog.title = text;
        // Message boxes give their text the static control identifier 0xFFFF.
        text[0] = '\0';
        GetDlgItemTextA(window, 0xFFFF, text, sizeof text);
        dialog.text = text;
        const auto shown = [window](int id) {
            const HWND item = GetDlgItem(window, id);
            return item && IsWindowVisible(item);
        };
        dialog.okButton = shown(IDOK);
        dialog.cancelButton = shown(IDCANCEL);
        const HWND icon = GetDlgItem(window, 0x0440);  // the icon's identifier in message boxes
        DWORD_PTR shown_icon = 0;
        if (icon && IsWindowVisible(icon))
            SendMessageTimeoutA(icon, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 1000, &shown_icon);
        dialog.icon = shown_icon != 0;
        dialog.owner = GetWindow(window, GW_OWNER);

        watcher.closed_.push_back(window);
        {
            const std::lock_guard lock(watcher.mutex_);
            watcher.seen_.push_back(dialog);
        }
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        return TRUE;
    };
    while (!stopping_) {
        EnumThreadWindows(watched_thread_, visit, reinterpret_cast<LPARAM>(this));
        Sleep(10);
    }
}

namespace {

constexpr const wchar_t* kPolicyParent = L"Software\\Policies\\Kestrelon";

bool PolicyParentExists(HKEY root)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, kPolicyParent, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

}  // namespace

PolicyValues::PolicyValues()
    : machine_key_existed_(PolicyParentExists(HKEY_LOCAL_MACHINE)), user_key_existed_(PolicyParentExists(HKEY_CURRENT_USER))
{
}

PolicyValues::~PolicyValues()
{
    for (auto saved = saved_.rbegin(); saved != saved_.rend(); ++saved) {
        const std::wstring key = Utf8ToWide(kPolicyKey), name = Utf8ToWide(saved->name);
        if (saved->existed)
            RegSetKeyValueW(saved->root, key.c_str(), name.c_str(), saved->type, saved->data.data(),
                            static_cast<DWORD>(saved->data.size()));
        else
            RegDeleteKeyValueW(saved->root, key.c_str(), name.c_str());
    }
    for (const auto& [root, existed] : {std::pair{HKEY_LOCAL_MACHINE, machine_key_existed_},
                                        std::pair{HKEY_CURRENT_USER, user_key_existed_}}) {
        if (existed) continue;
        RegDeleteTreeW(root, kPolicyParent);
        RegDeleteKeyW(root, kPolicyParent);
    }
}

void PolicyValues::remember(HKEY root, const std::string& name)
{
    for (const Saved& saved : saved_)
        if (saved.root == root && saved.name == name) return;
    Saved saved{root, name, false, REG_NONE, {}};
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, Utf8ToWide(kPolicyKey).c_str(), 0, KEY_QUERY_VALUE, &opened) == ERROR_SUCCESS) {
        const KeyHandle key(opened);
        DWORD size = 0;
        const std::wstring wide = Utf8ToWide(name);
        if (RegQueryValueExW(key.get(), wide.c_str(), nullptr, &saved.type, nullptr, &size) == ERROR_SUCCESS) {
            saved.data.resize(size);
            saved.existed = RegQueryValueExW(key.get(), wide.c_str(), nullptr, &saved.type, saved.data.data(), &size) ==
                            ERROR_SUCCESS;
        }
    }
    saved_.push_back(std::move(saved));
}

void PolicyValues::setRaw(HKEY root, const std::string& name, DWORD type, const std::vector<BYTE>& data)
{
    remember(root, name);
    const LSTATUS status = RegSetKeyValueW(root, Utf8ToWide(kPolicyKey).c_str(), Utf8ToWide(name).c_str(), type,
                                           data.data(), static_cast<DWORD>(data.size()));
    ASSERT_EQ(status, ERROR_SUCCESS) << "cannot write the policy " << name;
}

void PolicyValues::setText(HKEY root, const std::string& name, const std::string& text, DWORD type)
{
    const std::wstring wide = Utf8ToWide(text);
    const auto* bytes = reinterpret_cast<const BYTE*>(wide.c_str());
    setRaw(root, name, type, std::vector<BYTE>(bytes, bytes + (wide.size() + 1) * sizeof(wchar_t)));
}

void PolicyValues::remove(HKEY root, const std::string& name)
{
    remember(root, name);
    RegDeleteKeyValueW(root, Utf8ToWide(kPolicyKey).c_str(), Utf8ToWide(name).c_str());
}

}  // namespace mappa::test
