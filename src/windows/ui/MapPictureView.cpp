#include "ui/MapPictureView.h"

#include <oleacc.h>
#include <algorithm>
#include <cmath>
#include <cwchar>

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
// Group stamps kept at most: more sizes and counts than any view shows.
constexpr std::size_t kMaxGroupStamps = 4096;

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
    buildGroups();
    placeOffices();
}

void MapPictureView::buildGroups()
{
    // Markers overlap when their centres are closer than a group's marker is wide.
    std::vector<PlacedOffice> shown;
    shown.reserve(officeCount());
    constexpr int kFine = MapViewport::kMaxScale;
    for (std::size_t i = 0; i < officeCount(); ++i) {
        const LocationView& office = table_->Locations[i];
        if (!filter_.shows(KindOfOffice(office.OfficeType))) continue;
        const MapPoint fine = ZoomedPlace(office, picture_.width(), picture_.height(), kFine);
        shown.push_back({i, {fine.x / double(kFine), fine.y / double(kFine)}});
    }
    groups_.build(shown, groupSize(2));
}

int MapPictureView::level() const
{
    int level = 0;
    while ((1 << level) < viewport_.scale()) ++level;
    return level;
}

MapPoint MapPictureView::markerPlace(const OfficeMarker& marker) const
{
    if (!marker.isGroup()) return placeOf(table_->Locations[marker.office]);
    const double scale = viewport_.scale();
    return viewport_.toPicture({static_cast<std::int32_t>(std::floor(marker.place.x * scale)),
                                static_cast<std::int32_t>(std::floor(marker.place.y * scale))});
}

int MapPictureView::groupSize(std::uint32_t count) const
{
    return scale_(count < 10 ? 16 : count < 100 ? 20 : count < 1000 ? 24 : 28);
}

void MapPictureView::drawGroup(MapPoint at, std::uint32_t count)
{
    // A white disc with a black outline and the count in it, drawn once for
    // each size and count shown and then copied.
    const int size = groupSize(count);
    const std::uint32_t shown = count < 1000 ? count : count / 1000 * 1000;
    auto stamp = group_stamps_.find({size, shown});
    if (stamp == group_stamps_.end()) {
        if (group_stamps_.size() >= kMaxGroupStamps) group_stamps_.clear();
        if (!count_font_) {
            count_font_.reset(CreateFontW(scale_(-9), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                          OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH,
                                          Utf8ToWide(scale_.sansSerifFace()).c_str()));
        }
        const MarkerStamp disc(size, [&](HDC dc, int centre) {
            const int left = centre - size / 2;
            SelectObject(dc, GetStockObject(WHITE_BRUSH));
            const PenHandle pen(CreatePen(PS_SOLID, scale_.lineWidth(), RGB(0, 0, 0)));
            SelectObject(dc, pen.get());
            Ellipse(dc, left, left, left + size, left + size);
            wchar_t text[16];
            if (count < 1000) swprintf(text, 16, L"%u", count);
            else swprintf(text, 16, L"%uk", count / 1000);
            SelectObject(dc, count_font_.get());
            SetBkMode(dc, TRANSPARENT);
            SetTextColor(dc, RGB(0, 0, 0));
            RECT box{left, left, left + size, left + size};
            DrawTextW(dc, text, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
            SelectObject(dc, GetStockObject(BLACK_PEN));
        });
        stamp = group_stamps_.emplace(std::pair{size, shown}, disc).first;
    }
    picture_.stamp(stamp->second, at.x, at.y);
}

void MapPictureView::placeOffices()
{
    places_.clear();
    place_of_.clear();
    markers_.clear();
    places_ready_ = false;
    if (!table_) return;
    if (!viewport_.wholeWorld()) {
        // The markers on the picture, and a margin about it for those that reach into it.
        const double scale = viewport_.scale();
        const MapPoint origin = viewport_.origin();
        const double margin = kMarkerMargin;
        groups_.markersIn(level(),
                          {(origin.x - margin) / scale, (origin.y - margin) / scale,
                           (origin.x + picture_.width() + margin) / scale,
                           (origin.y + picture_.height() + margin) / scale},
                          markers_);
        return;
    }
    ensurePlaces();
}

void MapPictureView::ensurePlaces() const
{
    if (places_ready_ || !table_) return;
    places_ready_ = true;
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
    group_stamps_.clear();
    count_font_.reset();
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
    if (!table_) return;
    buildGroups();
    viewChanged();
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
    if (!viewport_.wholeWorld()) {
        // Groups over single offices, so that a count is never hidden.
        for (const bool groups : {false, true})
            for (const OfficeMarker& marker : markers_) {
                if (marker.isGroup() != groups) continue;
                if (groups) {
                    drawGroup(markerPlace(marker), marker.count);
                    continue;
                }
                LocationView location = table_->Locations[marker.office];
                const MapPoint at = markerPlace(marker);
                location.MapX = at.x;
                location.MapY = at.y;
                const MarkerStyle style = scale_.markerFor(KindOfOffice(location.OfficeType));
                plotLocation(location, style.colour, style.size);
            }
        GdiFlush();
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

void MapPictureView::showSelected(const TLocation& location, std::optional<std::size_t> office)
{
    ringed_office_ = office;
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
    MapPoint place = viewport_.toPicture(LocationTable::projectLocation(
        *ringed_, picture_.width() * viewport_.scale(), picture_.height() * viewport_.scale()));
    // The ring marks the group that holds the office, when one does.
    int ring_size = size;
    if (ringed_office_)
        if (const auto holder = groups_.holderOf(*ringed_office_, level()); holder && holder->isGroup()) {
            place = markerPlace(*holder);
            ring_size = groupSize(holder->count) + scale_(6);
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
    const MapPoint place =
        viewport_.wholeWorld()
            ? MapPoint{ringed_->MapX, ringed_->MapY}
            : viewport_.toPicture(LocationTable::projectLocation(*ringed_, picture_.width() * viewport_.scale(),
                                                                 picture_.height() * viewport_.scale()));
    if (place.x < 0 || place.y < 0 || place.x >= picture_.width() || place.y >= picture_.height()) return std::nullopt;
    return place;
}

}  // namespace mappa
