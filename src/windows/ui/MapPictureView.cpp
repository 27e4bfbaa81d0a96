#include "ui/MapPictureView.h"

#include <oleacc.h>
#include <algorithm>

#include "support/Support2Win.h"
#include "support/WinError.h"
#include "ui/MapLayout.h"
#include "ui/MapLogic.h"
#include "ui/PictureGeometry.h"
#include "ui/VectorMapDrawing.h"

namespace mappa {
namespace {

// Offices this far off the picture cannot reach it with their markers.
constexpr int kMarkerMargin = 64;

}  // namespace

MapPictureView::MapPictureView(HINSTANCE instance, MapControls& controls, const MapScale& scale)
    : instance_(instance), controls_(controls), scale_(scale), stamps_(scale), layout_(scale)
{
}

void MapPictureView::create(HWND window, MapPictureInput::Events events, std::function<void()> viewChanged)
{
    window_ = window;
    view_changed_ = std::move(viewChanged);
    input_.setEvents(std::move(events));
    pointer_.create(instance_, window_);
}

void MapPictureView::loadPicture()
{
    picture_.loadWorldMap(instance_, scale_(kPictureWidth), scale_(kPictureHeight), scale_.lineWidth());
    bare_world_.reset();
    picture_.copyTo(bare_world_);
    MapViewport& viewport = layout_.viewport();
    if (viewport.width() == 0) viewport = MapViewport(picture_.width(), picture_.height());
    else viewport.resize(picture_.width(), picture_.height());
}

// ---- the markers and the ring ----

void MapPictureView::show(TMapFunc& table)
{
    table_ = &table;
    pointer_.setTable(&table);
    table_->computePositions(picture_.width(), picture_.height());
    layout_.setOffices(&table.Locations);
    if (!layout_.viewport().wholeWorld()) drawView();
    else drawMap();
    picture_.copyTo(table_->CleanMap);
}

void MapPictureView::computePositions()
{
    table_->computePositions(picture_.width(), picture_.height());
    layout_.buildGroups();
}

void MapPictureView::rescale(int oldDpi)
{
    stamps_.clear();
    pointer_.rescale(oldDpi, scale_.dpi());
    if (table_) {
        computePositions();
        if (!layout_.viewport().wholeWorld()) drawView();
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
    const MapViewport& view = layout_.viewport();
    if (view.wholeWorld()) {
        picture_.copyFrom(bare_world_);
    } else {
        if (!vectors_) vectors_ = WorldVectors::Parse(WorldVectorBytes(instance_));
        DrawVectorView(*vectors_, view, picture_.pixels());
    }
    drawMap();
}

void MapPictureView::viewChanged()
{
    layout_.place();
    pointer_.pictureRedrawn();
    if (table_) {
        drawView();
        picture_.copyTo(table_->CleanMap);
    }
    placeRing();
    InvalidateRect(controls_.handle(MapControl::Image1), nullptr, FALSE);
    if (view_changed_) view_changed_();
}

bool MapPictureView::zoom(int steps, MapPoint about)
{
    if (!layout_.viewport().zoom(steps, about)) return false;
    viewChanged();
    return true;
}

bool MapPictureView::pan(std::int32_t dx, std::int32_t dy)
{
    if (!layout_.viewport().pan(dx, dy)) return false;
    viewChanged();
    return true;
}

void MapPictureView::resetView()
{
    if (layout_.viewport().wholeWorld()) return;
    layout_.viewport().reset();
    viewChanged();
}

void MapPictureView::setFilter(const OfficeFilter& filter)
{
    if (!layout_.setFilter(filter) || !table_) return;
    viewChanged();
}

void MapPictureView::drawMap()
{
    const MapViewport& view = layout_.viewport();
    if (view.wholeWorld() && layout_.filter().showsAll()) {
        const std::size_t count = officeCount();
        for (std::size_t i = 0; i < count; ++i) {
            const LocationView& location = table_->Locations[i];
            const MarkerStyle marker = scale_.markerFor(KindOfOffice(location.OfficeType));
            plotLocation(location, marker.colour, marker.size);
        }
        return;
    }
    if (!view.wholeWorld()) {
        // Groups over single offices, so that a count is never hidden.
        for (const bool groups : {false, true})
            for (const OfficeMarker& marker : layout_.markers()) {
                if (marker.isGroup() != groups) continue;
                const MapPoint at = layout_.markerPlace(marker);
                if (groups) {
                    picture_.stamp(stamps_.group(marker.count), at.x, at.y);
                    continue;
                }
                LocationView location = table_->Locations[marker.office];
                location.MapX = at.x;
                location.MapY = at.y;
                const MarkerStyle style = scale_.markerFor(KindOfOffice(location.OfficeType));
                plotLocation(location, style.colour, style.size);
            }
        GdiFlush();
        return;
    }
    // The shown offices at their places in the view.
    const std::span<const MapPoint> places = layout_.places();
    const std::span<const std::size_t> offices = layout_.placedOffices();
    for (std::size_t k = 0; k < places.size(); ++k) {
        const MapPoint at = places[k];
        if (at.x < -kMarkerMargin || at.y < -kMarkerMargin || at.x >= picture_.width() + kMarkerMargin ||
            at.y >= picture_.height() + kMarkerMargin)
            continue;
        LocationView location = table_->Locations[offices[k]];
        location.MapX = at.x;
        location.MapY = at.y;
        const MarkerStyle marker = scale_.markerFor(KindOfOffice(location.OfficeType));
        plotLocation(location, marker.colour, marker.size);
    }
}

void MapPictureView::plotLocation(const LocationView& location, Rgb colour, int size)
{
    picture_.stamp(stamps_.office(colour, size), location.MapX, location.MapY);
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

void MapPictureView::showSelected(const TLocation& location, std::optional<std::size_t> office)
{
    ringed_office_ = office;
    MapViewport& view = layout_.viewport();
    // A zoomed view follows the selection: the office comes into view.
    if (!view.wholeWorld()) {
        const MapPoint place = LocationTable::projectLocation(location, picture_.width() * view.scale(),
                                                              picture_.height() * view.scale());
        if (view.bringIntoView(place, scale_.ringSizeFor(KindOfOffice(location.OfficeType)))) viewChanged();
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
    const MapViewport& view = layout_.viewport();
    if (view.wholeWorld()) {
        overlayLocation(*ringed_, kRingColour, size);
        return;
    }
    MapPoint place = view.toPicture(LocationTable::projectLocation(
        *ringed_, picture_.width() * view.scale(), picture_.height() * view.scale()));
    // The ring marks the group that holds the office, when one does.
    int ring_size = size;
    if (ringed_office_)
        if (const auto holder = layout_.groups().holderOf(*ringed_office_, layout_.level());
            holder && holder->isGroup()) {
            place = layout_.markerPlace(*holder);
            ring_size = GroupDiscSize(scale_, holder->count) + scale_(6);
        }
    if (place.x < 0 || place.y < 0 || place.x >= picture_.width() || place.y >= picture_.height()) {
        ShowWindow(controls_.handle(MapControl::Overlay), SW_HIDE);
        return;
    }
    TLocation at = *ringed_;
    at.MapX = place.x;
    at.MapY = place.y;
    overlayLocation(at, kRingColour, ring_size);
}

std::optional<MapPoint> MapPictureView::ringPlace() const
{
    if (!ringed_) return std::nullopt;
    const MapViewport& view = layout_.viewport();
    const MapPoint place =
        view.wholeWorld()
            ? MapPoint{ringed_->MapX, ringed_->MapY}
            : view.toPicture(LocationTable::projectLocation(*ringed_, picture_.width() * view.scale(),
                                                                 picture_.height() * view.scale()));
    if (place.x < 0 || place.y < 0 || place.x >= picture_.width() || place.y >= picture_.height()) return std::nullopt;
    return place;
}

// ---- what the pointer and the keys select ----

std::size_t MapPictureView::nearestLocation(MapPoint point)
{
    pointer_.resetCursor();
    return layout_.nearestShown(point).value_or(0);
}

std::optional<std::size_t> MapPictureView::clickedOffice()
{
    pointer_.resetCursor();
    const auto pointed = layout_.pointedAt(pointer_.guide().curMouse);
    if (!pointed) return std::nullopt;
    if (!pointed->marker || !pointed->marker->isGroup()) return layout_.nearestShown(pointer_.guide().curMouse);
    // A group zooms in about itself until it parts; one that never parts offers its offices by name.
    const GroupId group = pointed->marker->group;
    if (const auto parts = layout_.groups().expansionLevel(group)) {
        zoom(*parts - layout_.level(), pointed->at);
        return std::nullopt;
    }
    return chooseFromGroup(group);
}

std::optional<std::size_t> MapPictureView::chooseFromGroup(GroupId group)
{
    const std::span<const std::size_t> offices = layout_.groups().officesOf(group);
    HMENU menu = CreatePopupMenu();
    if (!menu) return std::nullopt;
    // A long list breaks into columns.
    constexpr std::size_t kPerColumn = 25, kMost = 200;
    const std::size_t listed = std::min(offices.size(), kMost);
    for (std::size_t i = 0; i < listed; ++i) {
        const LocationView& office = table_->Locations[offices[i]];
        const UINT flags = MF_STRING | (i > 0 && i % kPerColumn == 0 ? MF_MENUBARBREAK : 0);
        AppendMenuW(menu, flags, i + 1, Utf8ToWide(office.Name).c_str());
    }
    POINT screen{pointer_.guide().curMouse.x, pointer_.guide().curMouse.y};
    ClientToScreen(controls_.handle(MapControl::Image1), &screen);
    const UINT chosen = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, screen.x, screen.y, 0, window_, nullptr));
    DestroyMenu(menu);
    if (chosen == 0 || chosen > listed) return std::nullopt;
    return offices[chosen - 1];
}

std::optional<std::size_t> MapPictureView::officeInDirection(std::optional<std::size_t> from,
                                                             MapDirection direction) const
{
    return layout_.officeInDirection(from, direction);
}

}  // namespace mappa
