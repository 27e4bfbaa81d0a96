// A probe that drives and reads a running Mappa.exe from another process under
// Wine, as a user and a screen reader would: keys and clicks through
// SendInput, controls read through MSAA (AccessibleObjectFromWindow), the find
// dialog's list read back. One command per run:
//
//   wait TITLE          waits up to 20 s for a shown window with that title
//   gone TITLE          waits up to 10 s until no window with that title shows
//   keys KEY...         presses each key or chord: ctrl+f, tab, shift+tab, down, return, escape, space, ...
//   type TEXT           types the text (UTF-8) as Unicode characters
//   click X Y           clicks at client point X, Y of the map window
//   point X Y           moves the pointer to client point X, Y of the map window
//   focus               the focused control: name | role | value
//   msaa                every control of the map window: name | role | value
//   do NAME             the default action of the map window's control with that accessible name
//   list                the find dialog: "rows N selected I", then the first rows, cells joined by " | "
//   dblclick ROW        double-clicks a row of the find dialog's list
//   tooltip             the text of the shown tooltip of the map window
//
// Exit code 0 when the command did what it says, 1 otherwise.
#include <windows.h>
#include <shellapi.h>
#include <commctrl.h>
#include <ole2.h>
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr const wchar_t* kMapTitle = L"Norvantic - Worldwide Locations";
constexpr const wchar_t* kFindTitle = L"Find an office";

std::string Utf8(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring Wide(const char* text)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring out(size_t(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), size);
    out.resize(out.size() - 1);
    return out;
}

void Print(const std::wstring& text) { std::printf("%s\n", Utf8(text).c_str()); }

HWND Shown(const wchar_t* title)
{
    HWND window = FindWindowW(nullptr, title);
    return window && IsWindowVisible(window) ? window : nullptr;
}

HWND WaitShown(const wchar_t* title, int seconds)
{
    for (int i = 0; i < seconds * 10; ++i) {
        if (HWND window = Shown(title)) return window;
        Sleep(100);
    }
    return nullptr;
}

// ---- input ----

void Send(std::vector<INPUT> inputs)
{
    SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT));
    Sleep(150);
}

INPUT Key(WORD key, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

bool PressChord(const std::string& chord)
{
    static const std::map<std::string, WORD> kKeys = {
        {"ctrl", VK_CONTROL}, {"shift", VK_SHIFT}, {"alt", VK_MENU},    {"tab", VK_TAB},     {"return", VK_RETURN},
        {"escape", VK_ESCAPE}, {"space", VK_SPACE}, {"up", VK_UP},      {"down", VK_DOWN},   {"left", VK_LEFT},
        {"right", VK_RIGHT},  {"home", VK_HOME},   {"end", VK_END},     {"back", VK_BACK},   {"f4", VK_F4}};
    std::vector<WORD> keys;
    size_t start = 0;
    while (start <= chord.size()) {
        const size_t plus = chord.find('+', start);
        const std::string name = chord.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        if (const auto found = kKeys.find(name); found != kKeys.end()) keys.push_back(found->second);
        else if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
            keys.push_back(WORD(std::toupper(static_cast<unsigned char>(name[0]))));
        else return false;
        if (plus == std::string::npos) break;
        start = plus + 1;
    }
    std::vector<INPUT> inputs;
    for (WORD key : keys) inputs.push_back(Key(key, false));
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) inputs.push_back(Key(*key, true));
    Send(inputs);
    return true;
}

void TypeText(const std::wstring& text)
{
    for (wchar_t c : text) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wScan = c;
        down.ki.dwFlags = KEYEVENTF_UNICODE;
        INPUT up = down;
        up.ki.dwFlags |= KEYEVENTF_KEYUP;
        Send({down, up});
    }
}

// Every event carries the place, so that none lands where the pointer was before.
INPUT MouseAt(POINT screen, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = LONG((screen.x * 65536 + 65535) / GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = LONG((screen.y * 65536 + 65535) / GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
}

void MoveTo(POINT screen)
{
    for (int i = 0; i < 20; ++i) {
        INPUT move = MouseAt(screen, 0);
        SendInput(1, &move, sizeof move);
        Sleep(100);
        POINT now{};
        if (GetCursorPos(&now) && now.x == screen.x && now.y == screen.y) break;
    }
}

void ClickAt(POINT screen, int clicks)
{
    MoveTo(screen);
    Sleep(200);
    for (int i = 0; i < clicks; ++i) {
        INPUT click[2] = {MouseAt(screen, MOUSEEVENTF_LEFTDOWN), MouseAt(screen, MOUSEEVENTF_LEFTUP)};
        SendInput(2, click, sizeof(INPUT));
        Sleep(30);
    }
    Sleep(300);
}

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

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    const std::string command = argv[1];
    // Texts as given, whatever the code page: the narrow arguments hold only
    // what the code page can.
    int wide_count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &wide_count);
    std::vector<std::wstring> wide_args(wide, wide ? wide + wide_count : wide);
    LocalFree(wide);
    const auto arg = [&](int i) { return i < static_cast<int>(wide_args.size()) ? wide_args[i] : Wide(argv[i]); };
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int status = 2;
    if (command == "wait" && argc == 3) status = WaitShown(arg(2).c_str(), 20) ? 0 : 1;
    else if (command == "gone" && argc == 3) {
        status = 1;
        for (int i = 0; i < 100 && status; ++i) {
            if (!Shown(arg(2).c_str())) status = 0;
            else Sleep(100);
        }
    } else if (command == "keys") {
        status = 0;
        for (int i = 2; i < argc; ++i)
            if (!PressChord(argv[i])) status = 2;
    } else if (command == "type" && argc == 3) {
        TypeText(arg(2));
        status = 0;
    } else if (command == "click" && argc == 4) {
        HWND map = Shown(kMapTitle);
        POINT at{std::atoi(argv[2]), std::atoi(argv[3])};
        status = 1;
        if (map && ClientToScreen(map, &at)) {
            ClickAt(at, 1);
            status = 0;
        }
    } else if (command == "point" && argc == 4) {
        HWND map = Shown(kMapTitle);
        POINT at{std::atoi(argv[2]), std::atoi(argv[3])};
        status = 1;
        if (map && ClientToScreen(map, &at)) {
            MoveTo({at.x - 3, at.y - 3});
            MoveTo(at);
            status = 0;
        }
    } else if (command == "focus") status = FocusCommand();
    else if (command == "msaa") status = MsaaCommand();
    else if (command == "do" && argc == 3) status = DoCommand(arg(2));
    else if (command == "list") status = ListCommand();
    else if (command == "dblclick" && argc == 3) status = DoubleClickRow(std::atoi(argv[2]));
    else if (command == "tooltip") status = TooltipCommand();
    std::fflush(stdout);
    CoUninitialize();
    return status;
}
