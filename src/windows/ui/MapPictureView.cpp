#include "ui/MapPictureView.h"

#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>

#include "support/Support2Win.h"
#include "support/WinError.h"
#include "ui/HoverNames.h"
#include "ui/MapLayout.h"
#include "ui/MapLogic.h"
#include "ui/PictureGeometry.h"

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
}

// ---- the markers and the ring ----

void MapPictureView::show(TMapFunc& table)
{
    table_ = &table;
    computePositions();
    drawMap();
    picture_.copyTo(table_->CleanMap);
}

void MapPictureView::computePositions()
{
    table_->computePositions(picture_.width(), picture_.height());
    positions_.clear();
    positions_.reserve(officeCount());
    for (std::size_t i = 0; i < officeCount(); ++i)
        positions_.push_back({table_->Locations[i].MapX, table_->Locations[i].MapY});
}

void MapPictureView::rescale(int oldDpi)
{
    stamps_.clear();
    guide_.lineShown = false;
    guide_.curMouse = {MulDivRounded(guide_.curMouse.x, scale_.dpi(), oldDpi),
                       MulDivRounded(guide_.curMouse.y, scale_.dpi(), oldDpi)};
    if (table_) {
        computePositions();
        drawMap();
        table_->CleanMap.reset();
        picture_.copyTo(table_->CleanMap);
    }
    if (ringed_) {
        const MapPoint at = TMapFunc::projectLocation(*ringed_, picture_.width(), picture_.height());
        ringed_->MapX = at.x;
        ringed_->MapY = at.y;
        overlayLocation(*ringed_, kRingColour, scale_.ringSizeFor(KindOfOffice(ringed_->OfficeType)));
    }
}

void MapPictureView::drawMap()
{
    const std::size_t count = officeCount();
    for (std::size_t i = 0; i < count; ++i) {
        const LocationView& location = table_->Locations[i];
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
    overlayLocation(location, kRingColour, scale_.ringSizeFor(KindOfOffice(location.OfficeType)));
    ringed_ = location;
    // The map tells a screen reader the selected office's name as its value.
    HWND map = controls_.handle(MapControl::Image1);
    SetWindowTextW(map, Utf8ToWide(location.Name).c_str());
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, map, OBJID_CLIENT, CHILDID_SELF);
}

// ---- the pointer ----

std::size_t MapPictureView::nearestLocation(MapPoint point)
{
    setCursor(arrow_cursor_);
    if (!table_) return 0;
    return NearestLocation(table_->Locations, officeCount(), point);
}

std::optional<std::size_t> MapPictureView::officeInDirection(std::optional<std::size_t> from,
                                                             MapDirection direction) const
{
    if (positions_.empty()) return std::nullopt;
    const MapPoint start =
        from && *from < positions_.size() ? positions_[*from] : PictureCentre(picture_.width(), picture_.height());
    return OfficeInDirection(positions_, start, direction);
}

void MapPictureView::track(int x, int y, POINT pointer)
{
    guide_.curMouse = {x, y};
    HCURSOR cursor = arrow_cursor_;
    const std::size_t count = officeCount();
    if (count != 0 && StrictlyInside(rectOnScreen(), pointer.x, pointer.y)) {
        const std::size_t nearest = NearestLocation(table_->Locations, count, guide_.curMouse);
        const LocationView& location = table_->Locations[nearest];
        const MapPoint office{location.MapX, location.MapY};
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
    const std::vector<std::size_t> offices = OfficesUnderPointer(positions_, picture, scale_.handReach());
    std::vector<OfficeLabel> labels;
    labels.reserve(offices.size());
    for (const std::size_t i : offices) {
        if (i >= officeCount()) continue;
        const LocationView& office = table_->Locations[i];
        labels.push_back({office.Name, office.Extra2, office.Country});
    }
    return HoverText(labels);
}

// ---- the picture control's messages ----

LRESULT MapPictureView::handleKey(HWND picture, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETDLGCODE) {
        // The arrows move the selection, and Enter shows it, rather than moving between controls.
        const auto* queued = reinterpret_cast<const MSG*>(lParam);
        LRESULT code = DLGC_WANTARROWS;
        if (queued && queued->message == WM_KEYDOWN && queued->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
        return code;
    }
    if (const auto direction = DirectionOf(wParam)) {
        events_.arrow(*direction);
        return 0;
    }
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
    case WM_MOUSELEAVE: hover_tip_.pointerLeft(); return 0;
    case WM_MOUSEMOVE: {
        // Where the pointer was when it moved; asking the system again
        // costs a round trip to the display under Wine.
        const DWORD at = GetMessagePos();
        events_.moved(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), {GET_X_LPARAM(at), GET_Y_LPARAM(at)});
        return 0;
    }
    case WM_LBUTTONDOWN:
        SetFocus(picture);
        pressed_ = true;
        SetCapture(picture);
        return 0;
    case WM_LBUTTONUP: {
        const bool pressed = pressed_;
        pressed_ = false;
        ReleaseCapture();
        RECT bounds{};
        GetClientRect(picture, &bounds);
        const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        if (pressed && PtInRect(&bounds, at)) events_.clicked();
        return 0;
    }
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
