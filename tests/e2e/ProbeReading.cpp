#include "ProbeReading.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "ProbeInput.h"
#include "ProbeWindows.h"

namespace mappa::probe {
namespace {

// ---- MSAA ----

struct Accessible {
    std::wstring name, role, value;
};

std::wstring RoleName(long role)
{
    switch (role) {
    case ROLE_SYSTEM_LINK: return L"link";
    case ROLE_SYSTEM_GRAPHIC: return L"graphic";
    case ROLE_SYSTEM_TEXT: return L"text";
    case ROLE_SYSTEM_COMBOBOX: return L"combo box";
    case ROLE_SYSTEM_PUSHBUTTON: return L"push button";
    case ROLE_SYSTEM_STATICTEXT: return L"static text";
    case ROLE_SYSTEM_PANE: return L"pane";
    case ROLE_SYSTEM_LIST: return L"list";
    case ROLE_SYSTEM_CLIENT: return L"client";
    default: return L"role " + std::to_wstring(role);
    }
}

IAccessible* ObjectOf(HWND window)
{
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object))))
        return nullptr;
    return object;
}

Accessible Describe(IAccessible* object)
{
    Accessible out;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    if (SUCCEEDED(object->get_accName(self, &text)) && text) out.name = text;
    SysFreeString(text);
    text = nullptr;
    if (SUCCEEDED(object->get_accValue(self, &text)) && text) out.value = text;
    SysFreeString(text);
    VARIANT role{};
    if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) out.role = RoleName(role.lVal);
    VariantClear(&role);
    return out;
}

void PrintAccessible(const Accessible& a) { Print(a.name + L" | " + a.role + L" | " + a.value); }

std::vector<HWND> Controls(HWND window)
{
    std::vector<HWND> controls;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&controls));
    return controls;
}

// ---- another process's memory, for the list view's messages ----

class Remote {
public:
    explicit Remote(HWND window, size_t size)
    {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process);
        if (process_) memory_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~Remote()
    {
        if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    bool ok() const { return memory_ != nullptr; }
    char* at(size_t offset) const { return static_cast<char*>(memory_) + offset; }
    void write(size_t offset, const void* data, size_t size) const
    {
        WriteProcessMemory(process_, at(offset), data, size, nullptr);
    }
    void read(size_t offset, void* data, size_t size) const { ReadProcessMemory(process_, at(offset), data, size, nullptr); }

private:
    HANDLE process_ = nullptr;
    void* memory_ = nullptr;
};

HWND FindList()
{
    HWND dialog = Shown(kFindTitle);
    return dialog ? FindWindowExW(dialog, nullptr, WC_LISTVIEWW, nullptr) : nullptr;
}

std::wstring CellText(const Remote& remote, HWND list, int row, int column)
{
    constexpr size_t kChars = 256;
    LVITEMW item{};
    item.iSubItem = column;
    item.cchTextMax = int(kChars);
    item.pszText = reinterpret_cast<wchar_t*>(remote.at(sizeof item));
    remote.write(0, &item, sizeof item);
    const auto length = SendMessageW(list, LVM_GETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(remote.at(0)));
    std::wstring text(kChars, L'\0');
    remote.read(sizeof item, text.data(), kChars * sizeof(wchar_t));
    text.resize(size_t(std::max<LRESULT>(0, std::min<LRESULT>(length, LRESULT(kChars - 1)))));
    return text;
}

}  // namespace

int ListCommand()
{
    HWND list = FindList();
    if (!list) return std::printf("no find dialog\n"), 1;
    Remote remote(list, 4096);
    if (!remote.ok()) return std::printf("cannot reach the program's memory\n"), 1;
    const auto rows = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    const auto selected = SendMessageW(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED);
    std::printf("rows %lld selected %lld\n", static_cast<long long>(rows), static_cast<long long>(selected));
    for (int row = 0; row < rows && row < 20; ++row) {
        std::wstring line;
        for (int column = 0; column < 5; ++column) line += (column ? L" | " : L"") + CellText(remote, list, row, column);
        Print(line);
    }
    return 0;
}

int DoubleClickRow(int row)
{
    HWND list = FindList();
    if (!list) return 1;
    Remote remote(list, sizeof(RECT));
    RECT bounds{LVIR_LABEL, 0, 0, 0};
    remote.write(0, &bounds, sizeof bounds);
    if (!SendMessageW(list, LVM_GETITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(remote.at(0)))) return 1;
    remote.read(0, &bounds, sizeof bounds);
    POINT at{bounds.left + 10, (bounds.top + bounds.bottom) / 2};
    ClientToScreen(list, &at);
    ClickAt(at, 2);
    return 0;
}

int FocusCommand()
{
    HWND map = Shown(kMapTitle);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!map || !GetGUIThreadInfo(GetWindowThreadProcessId(map, nullptr), &info) || !info.hwndFocus)
        return std::printf("no focus\n"), 1;
    IAccessible* object = ObjectOf(info.hwndFocus);
    if (!object) return std::printf("no accessible object\n"), 1;
    PrintAccessible(Describe(object));
    object->Release();
    return 0;
}

int MsaaCommand()
{
    HWND map = Shown(kMapTitle);
    if (!map) return 1;
    int status = 0;
    for (HWND control : Controls(map)) {
        IAccessible* object = ObjectOf(control);
        if (!object) {
            std::printf("no accessible object\n");
            status = 1;
            continue;
        }
        PrintAccessible(Describe(object));
        object->Release();
    }
    return status;
}

int DoCommand(const std::wstring& name)
{
    HWND map = Shown(kMapTitle);
    if (!map) return 1;
    for (HWND control : Controls(map)) {
        IAccessible* object = ObjectOf(control);
        if (!object) continue;
        const bool match = Describe(object).name == name;
        HRESULT result = E_FAIL;
        if (match) {
            VARIANT self{};
            self.vt = VT_I4;
            self.lVal = CHILDID_SELF;
            result = object->accDoDefaultAction(self);
        }
        object->Release();
        if (match) return SUCCEEDED(result) ? 0 : 1;
    }
    return 1;
}

int TooltipCommand()
{
    HWND map = Shown(kMapTitle);
    if (!map) return 1;
    for (HWND tip = nullptr; (tip = FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) != nullptr;) {
        if (!IsWindowVisible(tip) || GetWindow(tip, GW_OWNER) != map) continue;
        wchar_t text[1024] = {};
        SendMessageW(tip, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
        Print(text);
        return 0;
    }
    return std::printf("no tooltip shown\n"), 1;
}

}  // namespace mappa::probe
