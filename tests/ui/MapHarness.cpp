#include "MapHarness.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "support/Application.h"
#include "support/Support2Win.h"

namespace mappa::uitest {
namespace {

// A coordinate whose projection lands on `offset` pixels from the centre.
std::string Degrees(int offset, char positive, char negative)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.4f %c", (std::abs(offset) + 0.5) * 0.5625, offset >= 0 ? positive : negative);
    return text;
}

Pixels CaptureDc(HDC source, int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP target = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, target);
    BitBlt(dc, 0, 0, width, height, source, 0, 0, SRCCOPY);
    GdiFlush();
    Pixels pixels;
    for (int i = 0; i < width * height; ++i) {
        const auto value = static_cast<const std::uint32_t*>(bits)[i];
        pixels.push_back({std::uint8_t(value >> 16), std::uint8_t(value >> 8), std::uint8_t(value)});
    }
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(target);
    return pixels;
}

}  // namespace

std::string DataFileText(const std::vector<Office>& offices, const std::string& webLink, const std::string& webLink2)
{
    std::ostringstream out;
    out << "Test offices\r\n*\r\n" << webLink << "\r\nSupport web site:\r\n*\r\n" << webLink2 << "\r\n";
    for (const Office& office : offices) {
        out << "*-----\r\nNAME: " << office.name << "\r\nADDRESS: 1 Main Street\r\nCOUNTRY: " << office.country
            << "\r\nCITY: Town\r\nPOSTCODE: 1000\r\n";
        if (!office.phone.empty()) out << "PHONE: " << office.phone << "\r\n";
        if (!office.toll.empty()) out << "LOCAL TOLL FREE: " << office.toll << "\r\n";
        if (!office.interToll.empty()) out << "INTERNATIONAL TOLL FREE: " << office.interToll << "\r\n";
        out << "FAX: " << office.fax << "\r\nEMAIL: " << office.email << "\r\nLATITUDE: "
            << (office.latitude.empty() ? Degrees(160 - office.y, 'N', 'S') : office.latitude) << "\r\nLONGITUDE: "
            << (office.longitude.empty() ? Degrees(office.x - 320, 'E', 'W') : office.longitude) << "\r\nTYPE: " << office.type << "\r\n";
    }
    out << "\r\n";
    return out.str();
}

TempFolder::TempFolder()
{
    // Wine numbers the processes of each prefix from the same start, so the
    // process id alone would let two runs in different prefixes share a folder.
    // Creating the folder is what claims the name.
    static std::random_device random;
    do {
        char name[32];
        std::snprintf(name, sizeof name, "mappa-ui-%08x%08x", random(), random());
        path_ = std::string("Z:\\tmp\\") + name;
    } while (!std::filesystem::create_directory(path_));
}

TempFolder::~TempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::unixPath() const
{
    std::string unix = path_.substr(2);  // Wine's drive Z: is the Unix root
    for (char& c : unix)
        if (c == '\\') c = '/';
    return unix;
}

void TempFolder::write(const std::string& name, const std::string& text) const
{
    std::ofstream(path_ + "\\" + name, std::ios::binary) << text;
}

std::string TempFolder::read(const std::string& name) const
{
    std::ifstream in(path_ + "\\" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

DataFile BundledData()
{
    std::ifstream in(std::string("Z:") + MAPPA_BUNDLED_DATA, std::ios::binary);
    return {{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}};
}

MapWindow::MapWindow(const std::vector<Office>& offices, const std::string& webLink, bool withFile, bool utf8)
    : MapWindow(withFile ? DataFile{(utf8 ? "\xEF\xBB\xBF" : "") + DataFileText(offices, webLink)} : DataFile{}) {}

MapWindow::MapWindow(const DataFile& file) : source(folder_.path())
{
    ParkPointer();
    if (!file.text.empty()) folder_.write("Mappa2.dat", file.text);
    ui_ = std::make_unique<TMapUI>(GetModuleHandleW(nullptr), [this] { return std::make_unique<TMapFunc>(source); });
    ui_->parts().placement.setHooks({}, {});
    ShowWindow(ui_->handle(), SW_SHOWNORMAL);
    Pump();
}

MapWindow::~MapWindow()
{
    ui_.reset();
    Pump();
}

std::string MapWindow::text(MapControl control) const
{
    wchar_t text[512] = {};
    SendMessageW(ui_->control(control), WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
    return WideToUtf8(text);
}

std::vector<std::string> ComboEntries(HWND combo)
{
    std::vector<std::string> entries;
    for (LRESULT i = 0; i < SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
        wchar_t text[128] = {};
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.push_back(WideToUtf8(text));
    }
    return entries;
}

std::string ClipboardText()
{
    std::string text = "<clipboard unavailable>";
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(GlobalLock(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

std::string UnicodeClipboardText()
{
    std::string text = "<clipboard unavailable>";
    if (!OpenClipboard(nullptr)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        text = WideToUtf8(static_cast<const wchar_t*>(GlobalLock(data)));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

bool Pump()
{
    bool quit = false;
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return quit;
}

Pixels Capture(const MapPicture& picture) { return CaptureDc(picture.dc(), picture.width(), picture.height()); }

Pixels CaptureBitmap(HBITMAP bitmap, int width, int height)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    Pixels pixels = CaptureDc(dc, width, height);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return pixels;
}

Pixels BareMap()
{
    HBITMAP map = static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(100), IMAGE_BITMAP, 0, 0,
                                                  LR_CREATEDIBSECTION));
    Pixels pixels = CaptureBitmap(map, 640, 320);
    DeleteObject(map);
    return pixels;
}

RECT PlaceInParent(HWND control)
{
    RECT place{};
    GetWindowRect(control, &place);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&place), 2);
    return place;
}

POINT PictureOnScreen(TMapUI& map, int x, int y)
{
    RECT outer{}, client{};
    GetWindowRect(map.handle(), &outer);
    GetClientRect(map.handle(), &client);
    const long frame = (outer.bottom - outer.top) - client.bottom;
    return {outer.left + map.parts().scale(4) + x, outer.top + map.parts().scale(5) + frame + y};
}

bool MovePointer(POINT to)
{
    SetCursorPos(to.x, to.y);
    for (int i = 0; i < 50; ++i) {
        POINT now{};
        GetCursorPos(&now);
        if (now.x == to.x && now.y == to.y) return true;
        Sleep(20);
    }
    return false;
}

void ParkPointer()
{
    MovePointer({GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2});
    Pump();
}

MessageBoxWatcher::MessageBoxWatcher() : thread_(GetCurrentThreadId())
{
    helper_ = std::thread([this] {
        while (!stop_) {
            // FindWindow reads titles without sending messages: the watched thread may be busy.
            HWND box = FindWindowA("#32770", kApplicationTitle);
            if (box && IsWindowVisible(box) && GetWindowThreadProcessId(box, nullptr) == thread_) record(box);
            Sleep(20);
        }
    });
}

void MessageBoxWatcher::record(HWND box)
{
    Box seen;
    char text[512] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    seen.text = text;
    wchar_t wide[512] = {};
    GetDlgItemTextW(box, 0xFFFF, wide, 512);
    seen.unicodeText = WideToUtf8(wide);
    for (HWND child = nullptr; (child = FindWindowExA(box, child, "Static", nullptr)) != nullptr;)
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child) &&
            SendMessageA(child, STM_GETICON, 0, 0))
            seen.icon = true;
    {
        const std::lock_guard lock(mutex_);
        boxes_.push_back(seen);
    }
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    for (int i = 0; i < 200 && IsWindow(box); ++i) Sleep(10);
}

MessageBoxWatcher::~MessageBoxWatcher()
{
    stop_ = true;
    helper_.join();
}

std::vector<MessageBoxWatcher::Box> MessageBoxWatcher::boxes()
{
    const std::lock_guard lock(mutex_);
    return boxes_;
}

}  // namespace mappa::uitest
