#include "ui/MapPictureView.h"

#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

#include "support/Support2Win.h"
#include "support/WinError.h"
#include "ui/HoverNames.h"
#include "ui/MapLayout.h"
#include "ui/MapLogic.h"
#include "ui/PictureGeometry.h"
#include "ui/VectorMapDrawing.h"

namespace mappa {
namespace {

std::optional<MapDirection> DirectionOf(WPARAM key)
{
    switch (key) {
    case VK_LEFT: return MapDirection::Left;
    case VK_RIGHT: return MapDirection::Right;
    case VK_UP: return MapDirection::Up;
    case VK_DOWN: return MapDirection::Down;
    default: return std::nullopt;
    }
}

// Offices this far off the picture cannot reach it with their markers.
constexpr int kMarkerMargin = 64;

// The context menu's commands.
enum MenuCommand : UINT { kZoomIn = 1, kZoomOut, kWholeWorld, kShowSales, kShowSupport, kShowOther };

bool CtrlDown() { return (GetKeyState(VK_CONTROL) & 0x8000) != 0; }
bool ShiftDown() { return (GetKeyState(VK_SHIFT) & 0x8000) != 0; }

}  // namespace

MapPictureView::MapPictureView(HINSTANCE instance, MapControls& controls, const MapScale& scale)
    : instance_(instance), controls_(controls), scale_(scale)
{
    arrow_cursor_ = LoadCursor(nullptr, IDC_ARROW);
    hand_cursor_ = LoadCursor(nullptr, IDC_HAND);
    cursor_ = arrow_cursor_;
}

void MapPictureView::create(HWND window, Events events)
{
    window_ = window;
    events_ = std::move(events);
    hover_tip_.create(instance_, window_, controls_.handle(MapControl::Image1),
                      [this](MapPoint picture) { return hoverTextAt(picture); });
}

void MapPictureView::loadPicture()
{
    picture_.loadWorldMap(instance_, scale_(kPictureWidth), scale_(kPictureHeight), scale_.lineWidth());
    bare_world_.reset();
    picture_.copyTo(bare_world_);
    if (viewport_.width() == 0) viewport_ = MapViewport(picture_.width(), picture_.height());
    else viewport_.resize(picture_.width(), picture_.height());
}

// ---- the markers and the ring ----

void MapPictureView::show(TMapFunc& table)
{
    table_ = &table;
    computePositions();
    if (!viewport_.wholeWorld()) drawView();
    else drawMap();
    picture_.copyTo(table_->CleanMap);
}

void MapPictureView::computePositions()
{
    table_->computePositions(picture_.width(), picture_.height());
    placeOffices();
}

void MapPictureView::placeOffices()
{
    places_.clear();
    place_of_.clear();
    if (!table_) return;
    places_.reserve(officeCount());
    place_of_.reserve(officeCount());
    for (std::size_t i = 0; i < officeCount(); ++i) {
        const LocationView& office = table_->Locations[i];
        if (!filter_.shows(KindOfOffice(office.OfficeType))) continue;
        places_.push_back(placeOf(office));
        place_of_.push_back(i);
    }
}

MapPoint MapPictureView::placeOf(const LocationView& office) const
{
    if (viewport_.wholeWorld()) return {office.MapX, office.MapY};
    return viewport_.toPicture(ZoomedPlace(office, picture_.width(), picture_.height(), viewport_.scale()));
}

void MapPictureView::rescale(int oldDpi)
{
    stamps_.clear();
    guide_.lineShown = false;
    guide_.curMouse = {MulDivRounded(guide_.curMouse.x, scale_.dpi(), oldDpi),
                       MulDivRounded(guide_.curMouse.y, scale_.dpi(), oldDpi)};
    if (table_) {
        computePositions();
        if (!viewport_.wholeWorld()) drawView();
        else drawMap();
        table_->CleanMap.reset();
        picture_.copyTo(table_->CleanMap);
    }
    if (ringed_) {
        const MapPoint at = TMapFunc::projectLocation(*ringed_, picture_.width(), picture_.height());
        ringed_->MapX = at.x;
        ringed_->MapY = at.y;
        placeRing();
    }
}

void MapPictureView::drawView()
{
    if (viewport_.wholeWorld()) {
        picture_.copyFrom(bare_world_);
    } else {
        if (!vectors_) vectors_ = WorldVectors::Parse(WorldVectorBytes(instance_));
        DrawVectorView(*vectors_, viewport_, picture_.pixels());
    }
    drawMap();
}

void MapPictureView::viewChanged()
{
    placeOffices();
    hover_tip_.hide();
    if (table_) {
        drawView();
        picture_.copyTo(table_->CleanMap);
    }
    guide_.lineShown = false;
    placeRing();
    InvalidateRect(controls_.handle(MapControl::Image1), nullptr, FALSE);
    if (events_.viewChanged) events_.viewChanged();
}

bool MapPictureView::zoom(int steps, MapPoint about)
{
    if (!viewport_.zoom(steps, about)) return false;
    viewChanged();
    return true;
}

bool MapPictureView::pan(std::int32_t dx, std::int32_t dy)
{
    if (!viewport_.pan(dx, dy)) return false;
    viewChanged();
    return true;
}

void MapPictureView::resetView()
{
    if (viewport_.wholeWorld()) return;
    viewport_.reset();
    viewChanged();
}

void MapPictureView::setFilter(const OfficeFilter& filter)
{
    if (filter == filter_) return;
    filter_ = filter;
    if (table_) viewChanged();
}

void MapPictureView::drawMap()
{
    if (viewport_.wholeWorld() && filter_.showsAll()) {
        const std::size_t count = officeCount();
        for (std::size_t i = 0; i < count; ++i) {
            const LocationView& location = table_->Locations[i];
            const MarkerStyle marker = scale_.markerFor(KindOfOffice(location.OfficeType));
            plotLocation(location, marker.colour, marker.size);
        }
        return;
    }
    // The shown offices at their places in the view.
    for (std::size_t k = 0; k < places_.size(); ++k) {
        const MapPoint at = places_[k];
        if (at.x < -kMarkerMargin || at.y < -kMarkerMargin || at.x >= picture_.width() + kMarkerMargin ||
            at.y >= picture_.height() + kMarkerMargin)
            continue;
        LocationView location = table_->Locations[place_of_[k]];
        location.MapX = at.x;
        location.MapY = at.y;
        const MarkerStyle marker = scale_.markerFor(KindOfOffice(location.OfficeType));
        plotLocation(location, marker.colour, marker.size);
    }
}

void MapPictureView::plotLocation(const LocationView& location, Rgb colour, int size)
{
    // Each marker style is drawn once with GDI and then copied.
    const int outline = scale_.lineWidth();
    auto stamp = std::find_if(stamps_.begin(), stamps_.end(), [&](const MarkerStamp& made) {
        return made.colour() == colour && made.size() == size && made.outline() == outline;
    });
    if (stamp == stamps_.end()) stamp = stamps_.insert(stamps_.end(), MarkerStamp(colour, size, outline));
    picture_.stamp(*stamp, location.MapX, location.MapY);
}

void MapPictureView::overlayLocation(const TLocation& location, Rgb colour, int size)
{
    HWND overlay = controls_.handle(MapControl::Overlay);
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

void MapPictureView::showSelected(const TLocation& location)
{
    // A zoomed view follows the selection: the office comes into view.
    if (!viewport_.wholeWorld()) {
        const MapPoint place = LocationTable::projectLocation(location, picture_.width() * viewport_.scale(),
                                                              picture_.height() * viewport_.scale());
        if (viewport_.bringIntoView(place, scale_.ringSizeFor(KindOfOffice(location.OfficeType)))) viewChanged();
    }
    ringed_ = location;
    placeRing();
    // The map tells a screen reader the selected office's name as its value.
    HWND map = controls_.handle(MapControl::Image1);
    SetWindowTextW(map, Utf8ToWide(location.Name).c_str());
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, map, OBJID_CLIENT, CHILDID_SELF);
}

void MapPictureView::placeRing()
{
    if (!ringed_) return;
    const int size = scale_.ringSizeFor(KindOfOffice(ringed_->OfficeType));
    if (viewport_.wholeWorld()) {
        overlayLocation(*ringed_, kRingColour, size);
        return;
    }
    const MapPoint place = viewport_.toPicture(LocationTable::projectLocation(
        *ringed_, picture_.width() * viewport_.scale(), picture_.height() * viewport_.scale()));
    if (place.x < 0 || place.y < 0 || place.x >= picture_.width() || place.y >= picture_.height()) {
        ShowWindow(controls_.handle(MapControl::Overlay), SW_HIDE);
        return;
    }
    TLocation at = *ringed_;
    at.MapX = place.x;
    at.MapY = place.y;
    overlayLocation(at, kRingColour, size);
}

std::optional<MapPoint> MapPictureView::ringPlace() const
{
    if (!ringed_) return std::nullopt;
    const MapPoint place =
        viewport_.wholeWorld()
            ? MapPoint{ringed_->MapX, ringed_->MapY}
            : viewport_.toPicture(LocationTable::projectLocation(*ringed_, picture_.width() * viewport_.scale(),
                                                                 picture_.height() * viewport_.scale()));
    if (place.x < 0 || place.y < 0 || place.x >= picture_.width() || place.y >= picture_.height()) return std::nullopt;
    return place;
}

// ---- the pointer ----

std::optional<std::size_t> MapPictureView::nearestShown(MapPoint point) const
{
    if (!table_ || places_.empty()) return std::nullopt;
    if (viewport_.wholeWorld() && filter_.showsAll()) return NearestLocation(table_->Locations, officeCount(), point);
    return place_of_[*NearestPlace(places_, point)];
}

std::size_t MapPictureView::nearestLocation(MapPoint point)
{
    setCursor(arrow_cursor_);
    return nearestShown(point).value_or(0);
}

std::optional<std::size_t> MapPictureView::clickedOffice()
{
    setCursor(arrow_cursor_);
    return nearestShown(guide_.curMouse);
}

std::optional<std::size_t> MapPictureView::officeInDirection(std::optional<std::size_t> from,
                                                             MapDirection direction) const
{
    if (places_.empty()) return std::nullopt;
    MapPoint start = PictureCentre(picture_.width(), picture_.height());
    if (from) {
        // The places are in table order: the office's own, if it is shown.
        const auto found = std::lower_bound(place_of_.begin(), place_of_.end(), *from);
        if (found != place_of_.end() && *found == *from) start = places_[static_cast<std::size_t>(found - place_of_.begin())];
    }
    const auto next = OfficeInDirection(places_, start, direction);
    if (!next) return std::nullopt;
    return place_of_[*next];
}

void MapPictureView::track(int x, int y, POINT pointer)
{
    guide_.curMouse = {x, y};
    HCURSOR cursor = arrow_cursor_;
    const std::optional<std::size_t> found = nearestShown(guide_.curMouse);
    if (found && StrictlyInside(rectOnScreen(), pointer.x, pointer.y)) {
        const std::size_t nearest = *found;
        const MapPoint office = placeOf(table_->Locations[nearest]);
        if (IsNearMarker(guide_.curMouse, office, scale_.handReach())) {
            cursor = hand_cursor_;
            hover_tip_.point(nearest, guide_.curMouse, pointer);
        }

        const GuideLine shown{guide_.lastMouse, guide_.hoverLoc};
        picture_.drawGuideLine(guide_.lineShown ? &shown : nullptr, {guide_.curMouse, office});
        guide_.hoverLoc = office;
        guide_.lastMouse = guide_.curMouse;
        guide_.lineShown = true;
        InvalidateRect(controls_.handle(MapControl::Image1), nullptr, FALSE);
    }
    if (cursor != hand_cursor_) hover_tip_.hide();
    setCursor(cursor, &pointer);
}

void MapPictureView::clearGuide()
{
    hover_tip_.hide();
    if (table_) picture_.copyFrom(table_->CleanMap);
    HWND image = controls_.handle(MapControl::Image1);
    InvalidateRect(image, nullptr, FALSE);
    UpdateWindow(image);
    guide_.lineShown = false;
}

ScreenRect MapPictureView::rectOnScreen() const
{
    RECT outer{}, client{}, panel{};
    GetWindowRect(window_, &outer);
    GetClientRect(window_, &client);
    GetWindowRect(controls_.handle(MapControl::Panel1), &panel);
    MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&panel), 2);
    return PictureScreenRect({outer.left, outer.top, outer.right, outer.bottom}, client.bottom - client.top,
                             {panel.left, panel.top}, picture_.width(), picture_.height());
}

RECT MapPictureView::onScreen() const
{
    const ScreenRect picture = rectOnScreen();
    return {picture.left, picture.top, picture.right, picture.bottom};
}

void MapPictureView::setCursor(HCURSOR cursor, const POINT* pointer)
{
    if (cursor == cursor_) return;
    cursor_ = cursor;
    POINT now{};
    if (!pointer) {
        GetCursorPos(&now);
        pointer = &now;
    }
    if (WindowFromPoint(*pointer) == controls_.handle(MapControl::Image1)) SetCursor(cursor);
}

std::string MapPictureView::hoverTextAt(MapPoint picture) const
{
    // The offices that show the hand cursor.
    const std::vector<std::size_t> offices = OfficesUnderPointer(places_, picture, scale_.handReach());
    std::vector<OfficeLabel> labels;
    labels.reserve(offices.size());
    for (const std::size_t k : offices) {
        const std::size_t i = place_of_[k];
        if (i >= officeCount()) continue;
        const LocationView& office = table_->Locations[i];
        labels.push_back({office.Name, office.Extra2, office.Country});
    }
    return HoverText(labels);
}

// ---- the picture control's messages ----

bool MapPictureView::zoomKey(WPARAM key)
{
    // About the ringed office when it is in view, else about the picture's centre.
    const MapPoint about = ringPlace().value_or(PictureCentre(picture_.width(), picture_.height()));
    switch (key) {
    case VK_ADD:
    case VK_OEM_PLUS: zoom(1, about); return true;
    case VK_SUBTRACT:
    case VK_OEM_MINUS: zoom(-1, about); return true;
    case VK_HOME: resetView(); return true;
    default: return false;
    }
}

void MapPictureView::openMenu(POINT screen)
{
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    const auto checked = [&](OfficeKind kind) { return filter_.shows(kind) ? MF_CHECKED : MF_UNCHECKED; };
    AppendMenuW(menu, MF_STRING | (viewport_.scale() < MapViewport::kMaxScale ? 0 : MF_GRAYED), kZoomIn, L"Zoom in");
    AppendMenuW(menu, MF_STRING | (viewport_.wholeWorld() ? MF_GRAYED : 0), kZoomOut, L"Zoom out");
    AppendMenuW(menu, MF_STRING | (viewport_.wholeWorld() ? MF_GRAYED : 0), kWholeWorld, L"Whole world");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | checked(OfficeKind::Sales), kShowSales, L"Sales offices");
    AppendMenuW(menu, MF_STRING | checked(OfficeKind::Support), kShowSupport, L"Support offices");
    AppendMenuW(menu, MF_STRING | checked(OfficeKind::Other), kShowOther, L"Other offices");
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y, 0, window_, nullptr));
    DestroyMenu(menu);

    // Zooming from the menu goes about where it was opened.
    POINT at = screen;
    ScreenToClient(controls_.handle(MapControl::Image1), &at);
    const MapPoint about{std::clamp<std::int32_t>(at.x, 0, picture_.width() - 1),
                         std::clamp<std::int32_t>(at.y, 0, picture_.height() - 1)};
    OfficeFilter filter = filter_;
    switch (command) {
    case kZoomIn: zoom(1, about); return;
    case kZoomOut: zoom(-1, about); return;
    case kWholeWorld: resetView(); return;
    case kShowSales: filter.show(OfficeKind::Sales, !filter.shows(OfficeKind::Sales)); break;
    case kShowSupport: filter.show(OfficeKind::Support, !filter.shows(OfficeKind::Support)); break;
    case kShowOther: filter.show(OfficeKind::Other, !filter.shows(OfficeKind::Other)); break;
    default: return;
    }
    setFilter(filter);
    if (events_.filterChanged) events_.filterChanged(filter_);
}

LRESULT MapPictureView::handleKey(HWND picture, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETDLGCODE) {
        // The arrows move the selection, and Enter shows it, rather than moving between controls.
        const auto* queued = reinterpret_cast<const MSG*>(lParam);
        LRESULT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
        if (queued && queued->message == WM_KEYDOWN && queued->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
        return code;
    }
    if (const auto direction = DirectionOf(wParam)) {
        if (CtrlDown()) {
            // A quarter of the picture that way.
            const std::int32_t dx = picture_.width() / 4, dy = picture_.height() / 4;
            switch (*direction) {
            case MapDirection::Left: pan(-dx, 0); break;
            case MapDirection::Right: pan(dx, 0); break;
            case MapDirection::Up: pan(0, -dy); break;
            case MapDirection::Down: pan(0, dy); break;
            }
        } else {
            events_.arrow(*direction);
        }
        return 0;
    }
    if (zoomKey(wParam)) return 0;
    if (wParam == VK_RETURN) {
        events_.enter();
        return 0;
    }
    return DefWindowProcW(picture, message, wParam, lParam);
}

LRESULT MapPictureView::handleMessage(HWND picture, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        const PaintDc paint(picture);
        picture_.paint(paint.get());
        if (GetFocus() == picture) {
            RECT bounds{};
            GetClientRect(picture, &bounds);
            DrawFocusRect(paint.get(), &bounds);
        }
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(picture, nullptr, FALSE); return 0;
    case WM_GETDLGCODE:
    case WM_KEYDOWN: return handleKey(picture, message, wParam, lParam);
    case WM_CHAR:
        // The keys' characters: + and - are handled as keys.
        return 0;
    case WM_SYSKEYDOWN:
        if (wParam == VK_F10 && ShiftDown()) return 0;
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        // The context menu from the keyboard opens at the ring, or at the picture's centre.
        if (wParam == VK_APPS || (wParam == VK_F10 && ShiftDown())) {
            const MapPoint at = ringPlace().value_or(PictureCentre(picture_.width(), picture_.height()));
            POINT screen{at.x, at.y};
            ClientToScreen(picture, &screen);
            openMenu(screen);
            return 0;
        }
        break;
    case WM_CONTEXTMENU: {
        POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (screen.x == -1 && screen.y == -1) {
            const MapPoint at = ringPlace().value_or(PictureCentre(picture_.width(), picture_.height()));
            screen = {at.x, at.y};
            ClientToScreen(picture, &screen);
        }
        openMenu(screen);
        return 0;
    }
    case WM_MOUSEWHEEL: {
        // Each notch doubles or halves the scale about the pointer; smaller turns add up.
        wheel_ += GET_WHEEL_DELTA_WPARAM(wParam);
        const int steps = wheel_ / WHEEL_DELTA;
        wheel_ -= steps * WHEEL_DELTA;
        if (steps != 0) {
            POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ScreenToClient(picture, &at);
            zoom(steps, {std::clamp<std::int32_t>(at.x, 0, picture_.width() - 1),
                         std::clamp<std::int32_t>(at.y, 0, picture_.height() - 1)});
        }
        return 0;
    }
    case WM_MOUSELEAVE: hover_tip_.pointerLeft(); return 0;
    case WM_MOUSEMOVE: {
        const POINT now{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (pressed_ && !dragging_) {
            // A drag once the pointer leaves the system's drag rectangle about the press.
            const int cx = GetSystemMetrics(SM_CXDRAG), cy = GetSystemMetrics(SM_CYDRAG);
            dragging_ = std::abs(now.x - press_.x) > cx / 2 || std::abs(now.y - press_.y) > cy / 2;
            if (dragging_) hover_tip_.hide();
        }
        if (dragging_) {
            pan(press_.x - now.x, press_.y - now.y);
            press_ = now;
            return 0;
        }
        // Where the pointer was when it moved; asking the system again
        // costs a round trip to the display under Wine.
        const DWORD at = GetMessagePos();
        events_.moved(now.x, now.y, {GET_X_LPARAM(at), GET_Y_LPARAM(at)});
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetFocus(picture);
        pressed_ = true;
        dragging_ = false;
        press_ = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        SetCapture(picture);
        return 0;
    case WM_LBUTTONUP: {
        const bool pressed = pressed_;
        const bool dragged = dragging_;
        pressed_ = false;
        dragging_ = false;
        ReleaseCapture();
        RECT bounds{};
        GetClientRect(picture, &bounds);
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        // A drag is never a click.
        if (pressed && !dragged && PtInRect(&bounds, at)) events_.clicked();
        return 0;
    }
    case WM_CAPTURECHANGED:
        pressed_ = false;
        dragging_ = false;
        return 0;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(cursor_);
            return TRUE;
        }
        break;
    default: break;
    }
    return DefWindowProcW(picture, message, wParam, lParam);
}

}  // namespace mappa
