#include "ui/UMapUI.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string_view>
#include <unordered_map>

#include "support/Application.h"
#include "support/Support2PlacementWin.h"
#include "support/Support2Win.h"
#include "support/WinError.h"
#include "ui/MapLayout.h"

namespace mappa {

struct TMapUI::Control {
    const ControlLayout* layout;
    HWND handle;
    std::string hint;
    Rgb shapeColour;  // outline and fill of a shape
};

namespace {

constexpr const char* kChildClassName = "MappaControl";
constexpr const char* kCaption = "Norvantic - Worldwide Locations";
constexpr Rgb kLinkColour{0, 0, 255};

void RegisterClasses(HINSTANCE instance, WNDPROC windowProc, WNDPROC childProc)
{
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = windowProc;
    window_class.hInstance = instance;
    window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    window_class.lpszClassName = TMapUI::kClassName;
    WNDCLASSEXA existing{};
    if (!GetClassInfoExA(instance, TMapUI::kClassName, &existing)) RegisterClassExA(&window_class);

    window_class.lpfnWndProc = childProc;
    window_class.hIcon = nullptr;
    window_class.lpszClassName = kChildClassName;
    if (!GetClassInfoExA(instance, kChildClassName, &existing)) RegisterClassExA(&window_class);
}

HFONT MakeFont(int height, const char* face, bool bold, bool underline)
{
    return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

// Runs a handler; a failure that escapes it is shown and the program goes on.
template <typename Function>
void Guarded(Function&& function)
{
    try {
        function();
    } catch (const std::exception& error) {
        ShowErrorMessage(error.what());
    } catch (...) {
        ShowErrorMessage("Unknown error");
    }
}

// The key under which the country list sorts a text: the user's collation,
// letter case ignored. Keys compare as bytes exactly as their texts compare.
std::string SortKey(std::string_view text)
{
    constexpr DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const int length = static_cast<int>(text.size());
    const int size = LCMapStringA(LOCALE_USER_DEFAULT, flags, text.data(), length, nullptr, 0);
    if (size <= 0) return std::string(text);
    std::string key(static_cast<std::size_t>(size), '\0');
    LCMapStringA(LOCALE_USER_DEFAULT, flags, text.data(), length, key.data(), size);
    return key;
}

std::string WindowText(HWND window)
{
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

TMapUI* MapUI = nullptr;

TMapUI::TMapUI(HINSTANCE instance, TableFactory makeTable, HWND owner)
    : instance_(instance), make_table_(std::move(makeTable))
{
    if (!MapUI) MapUI = this;
    if (!make_table_) make_table_ = [] { return std::make_unique<TMapFunc>(); };
    restore_placement_ = [](TMapUI& map) { RestorePlacement(map.placementWindow(), true); };
    save_placement_ = [](TMapUI& map) { SavePlacement(map.placementWindow()); };
    RegisterClasses(instance_, &WindowProc, &ChildProc);

    fonts_ = {MakeFont(-11, "MS Sans Serif", false, false), MakeFont(-15, "Arial", true, true),
              MakeFont(-12, "MS Sans Serif", false, true)};
    face_brush_ = GetSysColorBrush(COLOR_BTNFACE);
    arrow_cursor_ = LoadCursor(nullptr, IDC_ARROW);
    hand_cursor_ = LoadCursor(nullptr, IDC_HAND);
    image1_cursor_ = arrow_cursor_;
    guide_pen_ = CreatePen(PS_DOT, 1, ToColorRef(kGuideLineColour));

    constexpr DWORD style = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT bounds{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&bounds, style, FALSE, 0);
    window_ = CreateWindowExA(owner ? WS_EX_APPWINDOW : 0, kClassName, kCaption, style, kDesignLeft, kDesignTop,
                              bounds.right - bounds.left, bounds.bottom - bounds.top, owner, nullptr, instance_, this);
    try {
        if (!window_) throw WindowsError(HRESULT_FROM_WIN32(GetLastError()), "Cannot create the map window");
        createControls();
        picture_.loadResource(instance_, kWorldMapResource);
    } catch (...) {
        releaseWindow();
        throw;
    }
}

TMapUI::~TMapUI() { releaseWindow(); }

void TMapUI::releaseWindow()
{
    if (MapUI == this) MapUI = nullptr;
    if (window_) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
        window_ = nullptr;
    }
    for (HFONT font : fonts_) DeleteObject(font);
    fonts_.clear();
    if (guide_pen_) DeleteObject(guide_pen_);
    guide_pen_ = nullptr;
}

PlacementWindow TMapUI::placementWindow() const
{
    PlacementWindow placement;
    placement.handle = window_;
    placement.className = kClassName;
    placement.border = BorderStyle::Single;
    return placement;
}

void TMapUI::setPlacementHooks(PlacementHook restore, PlacementHook save)
{
    restore_placement_ = std::move(restore);
    save_placement_ = std::move(save);
}

void TMapUI::createControls()
{
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance_,
                               nullptr);
    controls_.reserve(std::size(kMapControls));
    for (const ControlLayout& layout : kMapControls) {
        HWND parent = layout.parent ? control(layout.parent) : window_;
        const char* window_class = kChildClassName;
        DWORD style = WS_CHILD | WS_VISIBLE;
        switch (layout.kind) {
        case ControlKind::Label: window_class = WC_STATICA; style |= SS_LEFT | SS_NOPREFIX; break;
        case ControlKind::Link: window_class = WC_STATICA; style |= SS_LEFT | SS_NOPREFIX | SS_NOTIFY; break;
        case ControlKind::TextPanel:
            window_class = WC_STATICA;
            style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY | SS_SUNKEN;
            break;
        case ControlKind::ComboBox:
            window_class = WC_COMBOBOXA;
            style |= CBS_DROPDOWNLIST | CBS_SORT | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP;
            break;
        case ControlKind::Button: window_class = WC_BUTTONA; style |= BS_PUSHBUTTON | WS_TABSTOP; break;
        case ControlKind::Panel: style |= WS_CLIPCHILDREN; break;
        case ControlKind::Picture: style |= WS_CLIPSIBLINGS; break;
        case ControlKind::Shape: style |= WS_CLIPSIBLINGS; break;
        }
        if (std::strcmp(layout.name, "Overlay") == 0) style &= ~WS_VISIBLE;

        // The drop-down list of the combo box needs room below its edit part.
        const int height = layout.kind == ControlKind::ComboBox ? 300 : layout.height;
        HWND handle = CreateWindowExA(0, window_class, layout.text, style, layout.left, layout.top, layout.width, height,
                                      parent, nullptr, instance_, nullptr);
        if (!handle) throw WindowsError(HRESULT_FROM_WIN32(GetLastError()), "Cannot create the map window");
        SetWindowLongPtrA(handle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SendMessageA(handle, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_[static_cast<std::size_t>(layout.font)]), FALSE);
        controls_.push_back({&layout, handle, layout.hint ? layout.hint : "", {}});
        if (layout.width == 0) {
            // Labels take the size of their text.
            HDC dc = GetDC(handle);
            const ScopedSelect select(dc, fonts_[static_cast<std::size_t>(layout.font)]);
            SIZE size{};
            GetTextExtentPoint32A(dc, layout.text, static_cast<int>(std::strlen(layout.text)), &size);
            ReleaseDC(handle, dc);
            SetWindowPos(handle, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        // The country list gets its tooltip once it is filled: the tooltip
        // watches every message the list receives.
        if (layout.hint && layout.kind != ControlKind::ComboBox) setHint(handle, layout.hint);
    }
    for (Control& item : controls_)
        if (std::strcmp(item.layout->name, "shKeySupport") == 0) item.shapeColour = kSupportColour;

    // Keyboard order follows window order: put the controls in it.
    HWND previous = HWND_TOP;
    for (const char* name : kTabOrder) {
        HWND handle = control(name);
        SetWindowPos(handle, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = handle;
    }
}

HWND TMapUI::control(const char* name) const
{
    for (const Control& item : controls_)
        if (std::strcmp(item.layout->name, name) == 0) return item.handle;
    return nullptr;
}

std::string TMapUI::hintOf(const char* name) const
{
    for (const Control& item : controls_)
        if (std::strcmp(item.layout->name, name) == 0) return item.hint;
    return {};
}

std::string TMapUI::textOf(const char* name) const { return WindowText(control(name)); }

void TMapUI::setHint(HWND handle, const std::string& hint)
{
    for (Control& item : controls_)
        if (item.handle == handle) item.hint = hint;
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(handle);
    tool.lpszText = const_cast<char*>(hint.c_str());
    if (!SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool)) || hint.empty())
        SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

std::size_t TMapUI::locationCount() const { return mapData_ ? mapData_->Locations.dataCount() : 0; }

// ---- show and close ----

void TMapUI::FormShow()
{
    if (restore_placement_) restore_placement_(*this);
    mapData_ = make_table_();
    mapData_->computePositions(picture_.width(), picture_.height());
    fillCountryList();
    drawMap();
    picture_.copyTo(mapData_->CleanMap);

    SetWindowTextA(control("lsWebLink"), "Norvantic Website");
    setHint(control("lsWebLink"), Utf8ToAnsi(mapData_->WebLink));
    SetWindowTextA(control("lsWebLink2"), "Norvantic Support Website");
    setHint(control("lsWebLink2"), Utf8ToAnsi(mapData_->WebLink2));
    for (const char* name : {"lsWebLink", "lsWebLink2"}) {
        HWND link = control(name);
        HDC dc = GetDC(link);
        const ScopedSelect select(dc, fonts_[static_cast<std::size_t>(ControlFont::Link)]);
        const std::string text = WindowText(link);
        SIZE size{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        ReleaseDC(link, dc);
        SetWindowPos(link, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(control("Image1"), nullptr, FALSE);
}

void TMapUI::fillCountryList()
{
    // The list is sorted here and filled in order. Each distinct country is
    // ranked once by its sort key; the offices then go into their rank's place
    // in table order, so that countries that compare equal keep that order.
    const std::size_t count = locationCount();
    std::unordered_map<std::string_view, std::size_t> ids;
    std::vector<std::string_view> distinct;
    std::vector<std::size_t> idOf;
    idOf.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view country = mapData_->Locations[i].Country;
        if (country.empty()) continue;
        const auto [at, added] = ids.try_emplace(country, distinct.size());
        if (added) distinct.push_back(country);
        idOf.push_back(at->second);
    }

    std::vector<std::string> keys(distinct.size());
    for (std::size_t id = 0; id < distinct.size(); ++id) keys[id] = SortKey(Utf8ToAnsi(distinct[id]));
    std::vector<std::size_t> byKey(distinct.size());
    for (std::size_t id = 0; id < byKey.size(); ++id) byKey[id] = id;
    std::sort(byKey.begin(), byKey.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    std::vector<std::size_t> rank(distinct.size());
    std::size_t ranks = 0;
    for (std::size_t i = 0; i < byKey.size(); ++i) {
        if (i > 0 && keys[byKey[i]] != keys[byKey[i - 1]]) ++ranks;
        rank[byKey[i]] = ranks;
    }

    std::vector<std::size_t> next(distinct.size() + 1, 0);  // where each rank's offices go
    for (std::size_t id : idOf) ++next[rank[id] + 1];
    for (std::size_t r = 1; r < next.size(); ++r) next[r] += next[r - 1];
    countries_.assign(idOf.size(), {});
    for (std::size_t id : idOf) countries_[next[rank[id]]++] = distinct[id];

    HWND combo = control("ComboBox1");
    SendMessageA(combo, WM_SETREDRAW, FALSE, 0);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    SendMessageA(combo, CB_INITSTORAGE, countries_.size(), countries_.size() * 16);
    // Inserting at the end keeps a sorted list from searching for the place.
    bool filled = true;
    for (std::size_t i = 0; i < countries_.size() && filled; ++i)
        filled = SendMessageA(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(Utf8ToAnsi(countries_[i]).c_str())) >= 0;
    if (!filled) {
        // The list and its mirror stay alike: both empty.
        SendMessageA(combo, CB_RESETCONTENT, 0, 0);
        countries_.clear();
    }
    SendMessageA(combo, WM_SETREDRAW, TRUE, 0);
    if (!filled) throw WindowsError(E_OUTOFMEMORY, "Cannot fill the country list");
    setHint(combo, hintOf("ComboBox1"));
}

void TMapUI::drawMap()
{
    const std::size_t count = locationCount();
    for (std::size_t i = 0; i < count; ++i) {
        const LocationView& location = mapData_->Locations[i];
        const MarkerStyle marker = MarkerFor(KindOfOffice(location.OfficeType));
        plotLocation(location, marker.colour, marker.size);
    }
}

void TMapUI::plotLocation(const LocationView& location, Rgb colour, int size)
{
    // Each marker style is drawn once with GDI and then copied.
    auto stamp = std::find_if(stamps_.begin(), stamps_.end(),
                              [&](const MarkerStamp& made) { return made.colour() == colour && made.size() == size; });
    if (stamp == stamps_.end()) stamp = stamps_.insert(stamps_.end(), MarkerStamp(colour, size));
    picture_.stamp(*stamp, location.MapX, location.MapY);
}

void TMapUI::FormClose()
{
    mapClient.Reset();
    // The table stays until the window is destroyed, so that the window keeps
    // working when the application refuses to end.
    if (save_placement_) save_placement_(*this);
}

// ---- hover and selection ----

std::size_t TMapUI::nearestLocation(MapPoint point)
{
    setImage1Cursor(arrow_cursor_);
    if (!mapData_) return 0;
    return NearestLocation(mapData_->Locations, locationCount(), point);
}

void TMapUI::Image1MouseMove(int x, int y)
{
    POINT pointer{};
    GetCursorPos(&pointer);
    Image1MouseMove(x, y, pointer);
}

void TMapUI::Image1MouseMove(int x, int y, POINT pointer)
{
    curMouse = {x, y};
    HCURSOR cursor = arrow_cursor_;
    const std::size_t count = locationCount();
    if (count != 0 && pointerOverPicture(pointer)) {
        const LocationView& location = mapData_->Locations[NearestLocation(mapData_->Locations, count, curMouse)];
        if (std::abs(x - location.MapX) < 5 && std::abs(y - location.MapY) < 5) cursor = hand_cursor_;

        HDC dc = picture_.dc();
        const ScopedSelect select(dc, guide_pen_);
        SetROP2(dc, R2_XORPEN);
        SetBkMode(dc, TRANSPARENT);
        if (lineShown) {
            MoveToEx(dc, lastMouse.x, lastMouse.y, nullptr);
            LineTo(dc, hoverLoc.x, hoverLoc.y);
            lineShown = false;
        }
        MoveToEx(dc, curMouse.x, curMouse.y, nullptr);
        LineTo(dc, location.MapX, location.MapY);
        SetROP2(dc, R2_COPYPEN);
        hoverLoc = {location.MapX, location.MapY};
        lastMouse = curMouse;
        lineShown = true;
        InvalidateRect(control("Image1"), nullptr, FALSE);
    }
    setImage1Cursor(cursor, &pointer);
}

RECT TMapUI::pictureOnScreen() const
{
    RECT outer{}, client{}, panel{};
    GetWindowRect(window_, &outer);
    GetClientRect(window_, &client);
    const long frame_height = (outer.bottom - outer.top) - (client.bottom - client.top);
    GetWindowRect(control("Panel1"), &panel);
    MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&panel), 2);
    RECT picture{};
    picture.left = outer.left + panel.left;
    picture.top = outer.top + panel.top + frame_height;
    picture.right = picture.left + picture_.width();
    picture.bottom = picture.top + picture_.height();
    return picture;
}

bool TMapUI::pointerOverPicture(POINT pointer) const
{
    const RECT picture = pictureOnScreen();
    return picture.left < pointer.x && pointer.x < picture.right && picture.top < pointer.y && pointer.y < picture.bottom;
}

void TMapUI::FormMouseMove()
{
    if (mapData_) picture_.copyFrom(mapData_->CleanMap);
    HWND image = control("Image1");
    InvalidateRect(image, nullptr, FALSE);
    UpdateWindow(image);
    lineShown = false;
}

void TMapUI::Image1Click()
{
    setImage1Cursor(arrow_cursor_);
    if (locationCount() == 0) return;
    showInfo(ToLocation(mapData_->Locations[nearestLocation(curMouse)]));
}

void TMapUI::ComboBox1Click()
{
    if (!mapData_) return;
    const LRESULT selected = SendMessageA(control("ComboBox1"), CB_GETCURSEL, 0, 0);
    std::string country;
    if (selected >= 0 && static_cast<std::size_t>(selected) < countries_.size())
        country = countries_[static_cast<std::size_t>(selected)];
    TLocation location;
    mapData_->findByCountry(country, location);
    showInfo(location);
}

void TMapUI::showInfo(const TLocation& location)
{
    const OfficeKind kind = KindOfOffice(location.OfficeType);
    overlayLocation(location, kRingColour, RingSizeFor(kind));

    SetWindowTextA(control("ldName"), Utf8ToAnsi(location.Name).c_str());
    SetWindowTextA(control("ldPhone"), Utf8ToAnsi(location.Phone).c_str());
    SetWindowTextA(control("ldFax"), Utf8ToAnsi(location.Fax).c_str());
    SetWindowTextA(control("ldToll"), Utf8ToAnsi(location.LocalToll).c_str());
    SetWindowTextA(control("ldInterToll"), Utf8ToAnsi(location.InterToll).c_str());
    SetWindowTextA(control("ldEmail"), Utf8ToAnsi(LowerCaseAscii(location.Email)).c_str());
    for (const char* name : {"ldName", "ldPhone", "ldFax", "ldToll", "ldEmail"}) ShowWindow(control(name), SW_SHOWNA);

    // The last entry equal to the country, letter case included, is selected.
    const auto found = std::find(countries_.rbegin(), countries_.rend(), location.Country);
    if (found != countries_.rend())
        SendMessageA(control("ComboBox1"), CB_SETCURSEL, static_cast<WPARAM>(countries_.rend() - found - 1), 0);
}

void TMapUI::overlayLocation(const TLocation& location, Rgb colour, int size)
{
    HWND overlay = control("Overlay");
    SetWindowPos(overlay, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(overlay, SW_HIDE);
    for (Control& item : controls_)
        if (item.handle == overlay) item.shapeColour = colour;
    const int left = location.MapX - size / 2;
    const int top = location.MapY - size / 2;
    SetWindowPos(overlay, nullptr, left, top, size, size, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowRgn(overlay, CreateEllipticRgn(0, 0, size + 1, size + 1), FALSE);
    ShowWindow(overlay, SW_SHOWNA);
    InvalidateRect(overlay, nullptr, TRUE);
}

void TMapUI::setImage1Cursor(HCURSOR cursor, const POINT* pointer)
{
    if (cursor == image1_cursor_) return;
    image1_cursor_ = cursor;
    POINT now{};
    if (!pointer) {
        GetCursorPos(&now);
        pointer = &now;
    }
    if (WindowFromPoint(*pointer) == control("Image1")) SetCursor(cursor);
}

// ---- actions ----

void TMapUI::bCopyClick()
{
    const std::string text = ContactText({textOf("ComboBox1"), textOf("ldName"), textOf("ldPhone"), textOf("ldFax"),
                                          textOf("ldToll"), textOf("ldEmail")});
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!memory) throw WindowsError(E_OUTOFMEMORY, "Out of memory");
    std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    if (!OpenClipboard(window_)) {
        GlobalFree(memory);
        throw WindowsError(HRESULT_FROM_WIN32(GetLastError()), "Cannot open clipboard");
    }
    EmptyClipboard();
    const bool stored = SetClipboardData(CF_TEXT, memory) != nullptr;
    CloseClipboard();
    if (!stored) {
        GlobalFree(memory);
        throw WindowsError(E_FAIL, "Cannot set clipboard data");
    }
}

void TMapUI::openAddress(const std::string& address, int showCommand)
{
    // The shell's own result is not examined: an address without a handler passes silently.
    ShellExecuteA(window_, nullptr, address.c_str(), nullptr, nullptr, showCommand);
}

void TMapUI::ldEmailClick()
{
    const std::string email = textOf("ldEmail");
    if (!IsOpenableMailAddress(email)) {
        ShowMessage("An exception occurred opening the mail client.");
        return;
    }
    try {
        openAddress("mailto:" + email, SW_SHOWNORMAL);
    } catch (...) {
        ShowMessage("An exception occurred opening the mail client.");
    }
}

void TMapUI::openWebLink(const std::string& address)
{
    if (!IsOpenableWebAddress(address)) {
        ShowMessage("An Exception occurred opening the Web Browser");
        return;
    }
    try {
        openAddress(address, SW_HIDE);
    } catch (...) {
        ShowMessage("An Exception occurred opening the Web Browser");
    }
}

void TMapUI::lsWebLinkClick() { openWebLink(mapData_ ? Utf8ToAnsi(mapData_->WebLink) : std::string()); }

void TMapUI::lsWebLink2Click() { openWebLink(mapData_ ? Utf8ToAnsi(mapData_->WebLink2) : std::string()); }

void TMapUI::bExitClick() { PostMessageA(window_, WM_CLOSE, 0, 0); }

// ---- window procedures ----

LRESULT CALLBACK TMapUI::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TMapUI*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TMapUI*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = 0;
    bool handled = false;
    Guarded([&] {
        result = self->handleMessage(message, wParam, lParam);
        handled = true;
    });
    return handled ? result : 0;
}

LRESULT TMapUI::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SHOWWINDOW:
        if (wParam && !shown_) {
            shown_ = true;
            FormShow();
        }
        break;
    case WM_CLOSE:
        FormClose();
        RequestTerminate();
        return 0;
    case WM_MOUSEMOVE: FormMouseMove(); return 0;
    case WM_MOVE:
        if (onMove) onMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        break;
    case WM_COMMAND: {
        HWND source = reinterpret_cast<HWND>(lParam);
        const UINT code = HIWORD(wParam);
        if (source == control("ComboBox1") && code == CBN_SELCHANGE) ComboBox1Click();
        else if (source == control("bCopy") && code == BN_CLICKED) bCopyClick();
        else if (source == control("bExit") && code == BN_CLICKED) bExitClick();
        else if (source == control("ldEmail") && code == STN_CLICKED) ldEmailClick();
        else if (source == control("lsWebLink") && code == STN_CLICKED) lsWebLinkClick();
        else if (source == control("lsWebLink2") && code == STN_CLICKED) lsWebLink2Click();
        return 0;
    }
    case WM_CTLCOLORSTATIC: {
        HWND source = reinterpret_cast<HWND>(lParam);
        HDC dc = reinterpret_cast<HDC>(wParam);
        const bool blue = source == control("lsWebLink") || source == control("lsWebLink2") || source == control("ldEmail");
        SetTextColor(dc, blue ? ToColorRef(kLinkColour) : GetSysColor(COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(face_brush_);
    }
    case WM_SETCURSOR: {
        HWND under = reinterpret_cast<HWND>(wParam);
        for (const char* name : kHandCursorControls) {
            if (under == control(name) && LOWORD(lParam) == HTCLIENT) {
                SetCursor(LoadCursor(nullptr, IDC_HAND));
                return TRUE;
            }
        }
        break;
    }
    default: break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT CALLBACK TMapUI::ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<TMapUI*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self) return DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = 0;
    bool handled = false;
    Guarded([&] {
        result = self->handleChild(window, message, wParam, lParam);
        handled = true;
    });
    return handled ? result : 0;
}

LRESULT TMapUI::handleChild(HWND child, UINT message, WPARAM wParam, LPARAM lParam)
{
    const Control* item = nullptr;
    for (const Control& candidate : controls_)
        if (candidate.handle == child) item = &candidate;
    if (!item) return DefWindowProcA(child, message, wParam, lParam);

    switch (item->layout->kind) {
    case ControlKind::Picture:
        switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint{};
            HDC dc = BeginPaint(child, &paint);
            BitBlt(dc, 0, 0, picture_.width(), picture_.height(), picture_.dc(), 0, 0, SRCCOPY);
            EndPaint(child, &paint);
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        case WM_MOUSEMOVE: {
            // Where the pointer was when it moved; asking the system again
            // costs a round trip to the display under Wine.
            const DWORD at = GetMessagePos();
            Image1MouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), {GET_X_LPARAM(at), GET_Y_LPARAM(at)});
            return 0;
        }
        case WM_LBUTTONDOWN:
            image1_pressed_ = true;
            SetCapture(child);
            return 0;
        case WM_LBUTTONUP: {
            const bool pressed = image1_pressed_;
            image1_pressed_ = false;
            ReleaseCapture();
            RECT bounds{};
            GetClientRect(child, &bounds);
            const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            if (pressed && PtInRect(&bounds, at)) Image1Click();
            return 0;
        }
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                SetCursor(image1_cursor_);
                return TRUE;
            }
            break;
        default: break;
        }
        break;
    case ControlKind::Panel:
        if (message == WM_MOUSEMOVE) {
            FormMouseMove();
            return 0;
        }
        if (message == WM_ERASEBKGND) {
            RECT bounds{};
            GetClientRect(child, &bounds);
            FillRect(reinterpret_cast<HDC>(wParam), &bounds, face_brush_);
            return 1;
        }
        break;
    case ControlKind::Shape:
        if (message == WM_NCHITTEST) return HTTRANSPARENT;
        if (message == WM_ERASEBKGND) return 1;
        if (message == WM_PAINT) {
            PAINTSTRUCT paint{};
            HDC dc = BeginPaint(child, &paint);
            RECT bounds{};
            GetClientRect(child, &bounds);
            FillRect(dc, &bounds, face_brush_);
            const int diameter = std::min(bounds.right, bounds.bottom);
            const int left = (bounds.right - diameter) / 2;
            const int top = (bounds.bottom - diameter) / 2;
            HPEN pen = CreatePen(PS_SOLID, 1, ToColorRef(item->shapeColour));
            HBRUSH brush = CreateSolidBrush(ToColorRef(item->shapeColour));
            {
                const ScopedSelect select_pen(dc, pen);
                const ScopedSelect select_brush(dc, brush);
                Ellipse(dc, left, top, left + diameter, top + diameter);
            }
            DeleteObject(pen);
            DeleteObject(brush);
            EndPaint(child, &paint);
            return 0;
        }
        break;
    default: break;
    }
    return DefWindowProcA(child, message, wParam, lParam);
}

}  // namespace mappa
