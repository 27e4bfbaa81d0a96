#include "ui/UMapUI.h"

#include <commctrl.h>
#include <shellapi.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "support/Application.h"
#include "support/Support2PlacementWin.h"
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
    image1_cursor_ = LoadCursor(nullptr, IDC_ARROW);

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
        if (layout.hint) setHint(handle, layout.hint);
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
    setHint(control("lsWebLink"), mapData_->WebLink);
    SetWindowTextA(control("lsWebLink2"), "Norvantic Support Website");
    setHint(control("lsWebLink2"), mapData_->WebLink2);
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
    // Adding the entries already in order makes each sorted insert land at the
    // end of the list, so filling costs n log n rather than n squared.
    std::vector<const std::string*> countries;
    const std::size_t count = locationCount();
    countries.reserve(count);
    for (std::size_t i = 0; i < count; ++i)
        if (!mapData_->Locations[i].Country.empty()) countries.push_back(&mapData_->Locations[i].Country);
    std::stable_sort(countries.begin(), countries.end(), [](const std::string* a, const std::string* b) {
        return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a->c_str(), -1, b->c_str(), -1) == CSTR_LESS_THAN;
    });

    HWND combo = control("ComboBox1");
    SendMessageA(combo, WM_SETREDRAW, FALSE, 0);
    SendMessageA(combo, CB_INITSTORAGE, countries.size(), countries.size() * 16);
    for (const std::string* country : countries)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(country->c_str()));
    SendMessageA(combo, WM_SETREDRAW, TRUE, 0);
}

void TMapUI::drawMap()
{
    const std::size_t count = locationCount();
    for (std::size_t i = 0; i < count; ++i) {
        const TLocation& location = mapData_->Locations[i];
        const MarkerStyle marker = MarkerFor(KindOfOffice(location.OfficeType));
        plotLocation(location, marker.colour, marker.size);
    }
}

void TMapUI::plotLocation(const TLocation& location, Rgb colour, int size)
{
    const int half = size / 2;
    HBRUSH brush = CreateSolidBrush(ToColorRef(colour));
    {
        const ScopedSelect select_brush(picture_.dc(), brush);
        const ScopedSelect select_pen(picture_.dc(), GetStockObject(BLACK_PEN));
        SetROP2(picture_.dc(), R2_COPYPEN);
        Ellipse(picture_.dc(), location.MapX - half, location.MapY - half, location.MapX + half, location.MapY + half);
    }
    DeleteObject(brush);
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
    setImage1Cursor(LoadCursor(nullptr, IDC_ARROW));
    if (!mapData_) return 0;
    return NearestLocation(mapData_->Locations, locationCount(), point);
}

void TMapUI::Image1MouseMove(int x, int y)
{
    RECT outer{}, client{};
    GetWindowRect(window_, &outer);
    GetClientRect(window_, &client);
    const int frame_height = (outer.bottom - outer.top) - (client.bottom - client.top);
    curMouse = {x, y};
    setImage1Cursor(LoadCursor(nullptr, IDC_ARROW));
    if (locationCount() == 0) return;
    const std::size_t index = nearestLocation(curMouse);
    const TLocation& location = mapData_->Locations[index];

    RECT panel{};
    GetWindowRect(control("Panel1"), &panel);
    MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&panel), 2);
    const long left = outer.left + panel.left;
    const long top = outer.top + panel.top + frame_height;
    const long right = left + picture_.width();
    const long bottom = top + picture_.height();
    POINT pointer{};
    GetCursorPos(&pointer);
    if (!(left < pointer.x && pointer.x < right && top < pointer.y && pointer.y < bottom)) return;

    if (std::abs(x - location.MapX) < 5 && std::abs(y - location.MapY) < 5)
        setImage1Cursor(LoadCursor(nullptr, IDC_HAND));

    HDC dc = picture_.dc();
    HPEN pen = CreatePen(PS_DOT, 1, ToColorRef(kGuideLineColour));
    {
        const ScopedSelect select(dc, pen);
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
    }
    DeleteObject(pen);
    hoverLoc = {location.MapX, location.MapY};
    lastMouse = curMouse;
    lineShown = true;
    InvalidateRect(control("Image1"), nullptr, FALSE);
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
    setImage1Cursor(LoadCursor(nullptr, IDC_ARROW));
    if (locationCount() == 0) return;
    showInfo(mapData_->Locations[nearestLocation(curMouse)]);
}

void TMapUI::ComboBox1Click()
{
    if (!mapData_) return;
    HWND combo = control("ComboBox1");
    const LRESULT selected = SendMessageA(combo, CB_GETCURSEL, 0, 0);
    std::string country;
    if (selected != CB_ERR) {
        country.resize(static_cast<std::size_t>(SendMessageA(combo, CB_GETLBTEXTLEN, selected, 0)) + 1);
        country.resize(static_cast<std::size_t>(
            SendMessageA(combo, CB_GETLBTEXT, selected, reinterpret_cast<LPARAM>(country.data()))));
    }
    TLocation location;
    mapData_->findByCountry(country, location);
    showInfo(location);
}

void TMapUI::showInfo(const TLocation& location)
{
    const OfficeKind kind = KindOfOffice(location.OfficeType);
    overlayLocation(location, kRingColour, RingSizeFor(kind));

    SetWindowTextA(control("ldName"), location.Name.c_str());
    SetWindowTextA(control("ldPhone"), location.Phone.c_str());
    SetWindowTextA(control("ldFax"), location.Fax.c_str());
    SetWindowTextA(control("ldToll"), location.LocalToll.c_str());
    SetWindowTextA(control("ldInterToll"), location.InterToll.c_str());
    SetWindowTextA(control("ldEmail"), LowerCaseAscii(location.Email).c_str());
    for (const char* name : {"ldName", "ldPhone", "ldFax", "ldToll", "ldEmail"}) ShowWindow(control(name), SW_SHOWNA);

    // The last entry equal to the country, letter case included, is selected.
    HWND combo = control("ComboBox1");
    const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    LRESULT found = CB_ERR;
    std::string entry;
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, i, 0);
        if (length != static_cast<LRESULT>(location.Country.size())) continue;
        entry.assign(static_cast<std::size_t>(length) + 1, '\0');
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry.data()));
        entry.resize(static_cast<std::size_t>(length));
        if (entry == location.Country) found = i;
    }
    if (found != CB_ERR) SendMessageA(combo, CB_SETCURSEL, found, 0);
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

void TMapUI::setImage1Cursor(HCURSOR cursor)
{
    if (cursor == image1_cursor_) return;
    image1_cursor_ = cursor;
    POINT pointer{};
    GetCursorPos(&pointer);
    if (WindowFromPoint(pointer) == control("Image1")) SetCursor(cursor);
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

void TMapUI::lsWebLinkClick() { openWebLink(mapData_ ? mapData_->WebLink : std::string()); }

void TMapUI::lsWebLink2Click() { openWebLink(mapData_ ? mapData_->WebLink2 : std::string()); }

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
        case WM_MOUSEMOVE: Image1MouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
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
