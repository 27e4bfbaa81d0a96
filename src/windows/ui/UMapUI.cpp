#include "ui/UMapUI.h"

#include <oleacc.h>
#include <shellapi.h>

#include <algorithm>

#include "support/Clipboard.h"
#include "support/DisplayDpi.h"
#include "support/Support2.h"
#include "support/Support2Win.h"
#include "support/WinError.h"
#include "ui/CountryList.h"
#include "ui/FindOfficeDialog.h"
#include "ui/HoverNames.h"
#include "ui/MapAccessibility.h"
#include "ui/MapCommandIds.h"
#include "ui/MapLayout.h"
#include "ui/PictureGeometry.h"
#include "ui/ShellAddress.h"

namespace mappa {
namespace {

constexpr const char* kChildClassName = "MappaControl";
constexpr const char* kCaption = "Norvantic - Worldwide Locations";

// The key under which the country list sorts a text: the user's collation,
// letter case ignored. Keys compare as bytes exactly as their texts compare.
std::string SortKey(std::string_view text)
{
    constexpr DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const std::wstring wide = Utf8ToWide(text);
    const int length = static_cast<int>(wide.size());
    // A sort key is a string of bytes, counted in bytes, in a wide buffer's place.
    const int size = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, wide.data(), length, nullptr, 0, nullptr, nullptr, 0);
    if (size <= 0) return std::string(text);
    std::string key(static_cast<std::size_t>(size), '\0');
    LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, wide.data(), length, reinterpret_cast<LPWSTR>(key.data()), size,
                  nullptr, nullptr, 0);
    return key;
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
    static const bool child_class = (RegisterWindowClass(instance_, {kChildClassName, IDC_ARROW, COLOR_BTNFACE}, &ChildProc), true);
    (void)child_class;

    face_brush_ = GetSysColorBrush(COLOR_BTNFACE);
    accelerators_ = LoadAcceleratorsW(instance_, MAKEINTRESOURCEW(IDA_MAP_KEYS));
    arrow_cursor_ = LoadCursor(nullptr, IDC_ARROW);
    hand_cursor_ = LoadCursor(nullptr, IDC_HAND);
    image1_cursor_ = arrow_cursor_;

    RECT bounds{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&bounds, kStyle, FALSE, 0);
    createWindow(instance_, owner ? WS_EX_APPWINDOW : 0, kCaption, kStyle, kDesignLeft, kDesignTop,
                 bounds.right - bounds.left, bounds.bottom - bounds.top, owner);
    try {
        if (!window_) throw WindowsError(HRESULT_FROM_WIN32(GetLastError()), "Cannot create the map window");
        // Made at its design size, the window now takes the size it has at its monitor's density.
        scale_ = MapScale(WindowDpi(window_));
        const SIZE frame = frameSize(scale_);
        if (frame.cx != bounds.right - bounds.left || frame.cy != bounds.bottom - bounds.top)
            SetWindowPos(window_, nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        controls_.create(instance_, window_, kChildClassName, this, scale_);
        loadPicture(scale_);
        MakeMapControlsAccessible(controls_);
        hover_tip_.create(instance_, window_, control(MapControl::Image1),
                          [this](MapPoint picture) { return hoverTextAt(picture); });
        addSystemMenuItems();
    } catch (...) {
        releaseWindow();
        throw;
    }
}

TMapUI::~TMapUI() { releaseWindow(); }

void TMapUI::releaseWindow()
{
    if (MapUI == this) MapUI = nullptr;
    find_.reset();
    destroyWindow();
}

PlacementWindow TMapUI::placementWindow() const
{
    PlacementWindow placement;
    placement.handle = window_;
    placement.className = kClassName;
    placement.border = BorderStyle::Single;
    placement.perMonitorDensity = true;
    return placement;
}

void TMapUI::setPlacementHooks(PlacementHook restore, PlacementHook save)
{
    restore_placement_ = std::move(restore);
    save_placement_ = std::move(save);
}

std::string TMapUI::textOf(MapControl id) const { return WindowText(control(id)); }

std::size_t TMapUI::locationCount() const { return mapData_ ? mapData_->Locations.dataCount() : 0; }

// ---- show and close ----

void TMapUI::FormShow()
{
    if (restore_placement_) restore_placement_(*this);
    mapData_ = make_table_();
    computePositions();
    fillCountryList();
    drawMap();
    picture_.copyTo(mapData_->CleanMap);

    controls_.setText(control(MapControl::lsWebLink), "Norvantic Website");
    controls_.setHint(control(MapControl::lsWebLink), mapData_->WebLink);
    controls_.setText(control(MapControl::lsWebLink2), "Norvantic Support Website");
    controls_.setHint(control(MapControl::lsWebLink2), mapData_->WebLink2);
    for (const MapControl link : {MapControl::lsWebLink, MapControl::lsWebLink2}) controls_.fitToText(control(link));
    InvalidateRect(control(MapControl::Image1), nullptr, FALSE);
}

void TMapUI::computePositions()
{
    mapData_->computePositions(picture_.width(), picture_.height());
    positions_.clear();
    positions_.reserve(locationCount());
    for (std::size_t i = 0; i < locationCount(); ++i)
        positions_.push_back({mapData_->Locations[i].MapX, mapData_->Locations[i].MapY});
}

void TMapUI::fillCountryList()
{
    countries_ = CountryListEntries(mapData_->Locations, locationCount(), &SortKey);

    HWND combo = control(MapControl::ComboBox1);
    SendMessageW(combo, WM_SETREDRAW, FALSE, 0);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    SendMessageW(combo, CB_INITSTORAGE, countries_.size(), countries_.size() * 16);
    // The entries come in the list's order: inserting each at the end spares
    // the sorted list the search for its place. Equal entries stand together
    // and are converted once.
    bool filled = true;
    bool in_code_page = true;
    std::wstring entry;
    for (std::size_t i = 0; i < countries_.size() && filled; ++i) {
        if (i == 0 || countries_[i] != countries_[i - 1]) {
            entry = Utf8ToWide(countries_[i]);
            in_code_page = in_code_page && FitsAnsiCodePage(entry);
        }
        filled = SendMessageW(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(entry.c_str())) >= 0;
    }
    if (!filled) {
        // The list and its mirror stay alike: both empty.
        SendMessageW(combo, CB_RESETCONTENT, 0, 0);
        countries_.clear();
    }
    controls_.useFont(combo, in_code_page);
    SendMessageW(combo, WM_SETREDRAW, TRUE, 0);
    if (!filled) throw WindowsError(E_OUTOFMEMORY, "Cannot fill the country list");
    controls_.setHint(combo, hintOf(MapControl::ComboBox1));
}

void TMapUI::drawMap()
{
    const std::size_t count = locationCount();
    for (std::size_t i = 0; i < count; ++i) {
        const LocationView& location = mapData_->Locations[i];
        const MarkerStyle marker = scale_.markerFor(KindOfOffice(location.OfficeType));
        plotLocation(location, marker.colour, marker.size);
    }
}

void TMapUI::plotLocation(const LocationView& location, Rgb colour, int size)
{
    // Each marker style is drawn once with GDI and then copied.
    const int outline = scale_.lineWidth();
    auto stamp = std::find_if(stamps_.begin(), stamps_.end(), [&](const MarkerStamp& made) {
        return made.colour() == colour && made.size() == size && made.outline() == outline;
    });
    if (stamp == stamps_.end()) stamp = stamps_.insert(stamps_.end(), MarkerStamp(colour, size, outline));
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
        const std::size_t nearest = NearestLocation(mapData_->Locations, count, curMouse);
        const LocationView& location = mapData_->Locations[nearest];
        const MapPoint office{location.MapX, location.MapY};
        if (IsNearMarker(curMouse, office, scale_.handReach())) {
            cursor = hand_cursor_;
            hover_tip_.point(nearest, curMouse, pointer);
        }

        const GuideLine shown{lastMouse, hoverLoc};
        picture_.drawGuideLine(lineShown ? &shown : nullptr, {curMouse, office});
        hoverLoc = office;
        lastMouse = curMouse;
        lineShown = true;
        InvalidateRect(control(MapControl::Image1), nullptr, FALSE);
    }
    if (cursor != hand_cursor_) hover_tip_.hide();
    setImage1Cursor(cursor, &pointer);
}

ScreenRect TMapUI::pictureRect() const
{
    RECT outer{}, client{}, panel{};
    GetWindowRect(window_, &outer);
    GetClientRect(window_, &client);
    GetWindowRect(control(MapControl::Panel1), &panel);
    MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&panel), 2);
    return PictureScreenRect({outer.left, outer.top, outer.right, outer.bottom}, client.bottom - client.top,
                             {panel.left, panel.top}, picture_.width(), picture_.height());
}

RECT TMapUI::pictureOnScreen() const
{
    const ScreenRect picture = pictureRect();
    return {picture.left, picture.top, picture.right, picture.bottom};
}

bool TMapUI::pointerOverPicture(POINT pointer) const { return StrictlyInside(pictureRect(), pointer.x, pointer.y); }

void TMapUI::FormMouseMove()
{
    hover_tip_.hide();
    if (mapData_) picture_.copyFrom(mapData_->CleanMap);
    HWND image = control(MapControl::Image1);
    InvalidateRect(image, nullptr, FALSE);
    UpdateWindow(image);
    lineShown = false;
}

void TMapUI::Image1Click()
{
    setImage1Cursor(arrow_cursor_);
    if (locationCount() == 0) return;
    selectOffice(nearestLocation(curMouse));
}

void TMapUI::ComboBox1Click()
{
    if (!mapData_) return;
    const LRESULT selected = SendMessageW(control(MapControl::ComboBox1), CB_GETCURSEL, 0, 0);
    std::string country;
    if (selected >= 0 && static_cast<std::size_t>(selected) < countries_.size())
        country = countries_[static_cast<std::size_t>(selected)];
    TLocation location;
    const auto found = mapData_->findByCountry(country, location);
    showInfo(location);
    selected_.reset();
    if (found && *found < locationCount()) selected_ = *found;
}

void TMapUI::showInfo(const TLocation& location)
{
    const OfficeKind kind = KindOfOffice(location.OfficeType);
    overlayLocation(location, kRingColour, scale_.ringSizeFor(kind));
    ringed_ = location;

    controls_.setText(control(MapControl::ldName), location.Name);
    controls_.setText(control(MapControl::ldPhone), location.Phone);
    controls_.setText(control(MapControl::ldFax), location.Fax);
    controls_.setText(control(MapControl::ldToll), location.LocalToll);
    controls_.setText(control(MapControl::ldInterToll), location.InterToll);
    controls_.setText(control(MapControl::ldEmail), LowerCaseAscii(location.Email));
    for (const MapControl panel : {MapControl::ldName, MapControl::ldPhone, MapControl::ldFax, MapControl::ldToll,
                                   MapControl::ldEmail})
        ShowWindow(control(panel), SW_SHOWNA);

    if (const auto entry = LastEntryOf(countries_, location.Country))
        SendMessageW(control(MapControl::ComboBox1), CB_SETCURSEL, static_cast<WPARAM>(*entry), 0);

    // The map tells a screen reader the selected office's name as its value.
    HWND map = control(MapControl::Image1);
    SetWindowTextW(map, Utf8ToWide(location.Name).c_str());
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, map, OBJID_CLIENT, CHILDID_SELF);
}

void TMapUI::overlayLocation(const TLocation& location, Rgb colour, int size)
{
    HWND overlay = control(MapControl::Overlay);
    SetWindowPos(overlay, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(overlay, SW_HIDE);
    controls_.setShapeColour(overlay, colour);
    const int left = location.MapX - size / 2;
    const int top = location.MapY - size / 2;
    SetWindowPos(overlay, nullptr, left, top, size, size, SWP_NOZORDER | SWP_NOACTIVATE);
    RegionHandle ring(CreateEllipticRgn(0, 0, size + 1, size + 1));
    if (!ring) throw WindowsError(E_OUTOFMEMORY, "Cannot shape the selection ring");
    // Once set, the region belongs to the window.
    if (SetWindowRgn(overlay, ring.get(), FALSE)) ring.release();
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
    if (WindowFromPoint(*pointer) == control(MapControl::Image1)) SetCursor(cursor);
}

// ---- actions ----

void TMapUI::bCopyClick()
{
    PutTextOnClipboard(window_, ContactText({textOf(MapControl::ComboBox1), textOf(MapControl::ldName),
                                             textOf(MapControl::ldPhone), textOf(MapControl::ldFax),
                                             textOf(MapControl::ldToll), textOf(MapControl::ldEmail)}));
}

void TMapUI::openAddress(const std::optional<std::string>& uri, int showCommand, const char* failure)
{
    // Nothing that the address rules refused reaches the shell. The shell's own
    // result is not examined: an address without a handler passes silently.
    if (!uri) {
        ShowMessage(failure);
        return;
    }
    try {
        ShellExecuteW(window_, nullptr, Utf8ToWide(*uri).c_str(), nullptr, nullptr, showCommand);
    } catch (...) {
        ShowMessage(failure);
    }
}

constexpr const char* kMailFailure = "An exception occurred opening the mail client.";
constexpr const char* kWebFailure = "An Exception occurred opening the Web Browser";

void TMapUI::ldEmailClick() { openAddress(MailUriToOpen(textOf(MapControl::ldEmail)), SW_SHOWNORMAL, kMailFailure); }

void TMapUI::lsWebLinkClick() { openAddress(WebUriToOpen(mapData_ ? mapData_->WebLink : ""), SW_HIDE, kWebFailure); }

void TMapUI::lsWebLink2Click() { openAddress(WebUriToOpen(mapData_ ? mapData_->WebLink2 : ""), SW_HIDE, kWebFailure); }

void TMapUI::bExitClick() { PostMessageW(window_, WM_CLOSE, 0, 0); }

}  // namespace mappa
