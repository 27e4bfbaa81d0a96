// The map picture and the pointer: the office nearest to it, the guide line,
// the hand cursor and the names on hover.
#include "ui/MapPictureView.h"

#include <algorithm>
#include <limits>

#include "support/Support2Win.h"

#include "ui/HoverNames.h"
#include "ui/OfficeTimes.h"
#include "ui/MapLayout.h"
#include "ui/MapLogic.h"

namespace mappa {

std::optional<std::size_t> MapPictureView::nearestShown(MapPoint point) const
{
    if (!table_) return std::nullopt;
    if (!viewport_.wholeWorld()) {
        const auto pointed = pointedAt(point);
        if (!pointed) return std::nullopt;
        return pointed->marker->isGroup() ? groups_.officesOf(pointed->marker->group).front() : pointed->marker->office;
    }
    if (places_.empty()) return std::nullopt;
    if (filter_.showsAll()) return NearestLocation(table_->Locations, officeCount(), point);
    return place_of_[*NearestPlace(places_, point)];
}

std::optional<MapPictureView::Pointed> MapPictureView::pointedAt(MapPoint point) const
{
    if (!table_) return std::nullopt;
    if (viewport_.wholeWorld()) {
        const auto office = nearestShown(point);
        if (!office) return std::nullopt;
        return Pointed{placeOf(table_->Locations[*office]), *office, std::nullopt};
    }
    // The nearest marker anywhere in the world: the guide line may run off the picture.
    const double scale = viewport_.scale();
    const MapPoint world = viewport_.toWorld(point);
    const auto marker = groups_.nearestTo(level(), {(world.x + 0.5) / scale, (world.y + 0.5) / scale},
                                          std::numeric_limits<double>::infinity());
    if (!marker) return std::nullopt;
    const std::size_t key = marker->isGroup() ? officeCount() + marker->group.value : marker->office;
    return Pointed{markerPlace(*marker), key, marker};
}

int MapPictureView::reachOf(const Pointed& pointed) const
{
    if (!pointed.marker || !pointed.marker->isGroup()) return scale_.handReach();
    return std::max(scale_.handReach(), groupSize(pointed.marker->count) / 2);
}

std::size_t MapPictureView::nearestLocation(MapPoint point)
{
    setCursor(arrow_cursor_);
    return nearestShown(point).value_or(0);
}

std::optional<std::size_t> MapPictureView::clickedOffice()
{
    setCursor(arrow_cursor_);
    const auto pointed = pointedAt(guide_.curMouse);
    if (!pointed) return std::nullopt;
    if (!pointed->marker || !pointed->marker->isGroup()) return nearestShown(guide_.curMouse);
    // A group zooms in about itself until it parts; one that never parts offers its offices by name.
    const GroupId group = pointed->marker->group;
    if (const auto parts = groups_.expansionLevel(group)) {
        zoom(*parts - level(), pointed->at);
        return std::nullopt;
    }
    return chooseFromGroup(group);
}

std::optional<std::size_t> MapPictureView::chooseFromGroup(GroupId group)
{
    const std::span<const std::size_t> offices = groups_.officesOf(group);
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
    POINT screen{guide_.curMouse.x, guide_.curMouse.y};
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
    ensurePlaces();
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
    const std::optional<Pointed> found = pointedAt(guide_.curMouse);
    if (found && StrictlyInside(rectOnScreen(), pointer.x, pointer.y)) {
        const MapPoint office = found->at;
        if (IsNearMarker(guide_.curMouse, office, reachOf(*found))) {
            cursor = hand_cursor_;
            hover_tip_.point(found->key, guide_.curMouse, pointer);
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

namespace {

// An office as the tooltip names it, with its local time now.
OfficeLabel LabelOf(const TMapFunc& table, std::size_t index)
{
    const LocationView& office = table.Locations[index];
    OfficeLabel label{office.Name, office.Extra2, office.Country, {}};
    try {
        const OfficeTimeLines* lines = index < table.TimeLines.size() ? &table.TimeLines[index] : nullptr;
        label.localTime = LocalTimeTipText(OfficeTimes::Bundled().read(office, lines, OfficeTimes::Now()));
    } catch (const std::exception&) {
        // Without the zone data the tooltip names the office alone.
    }
    return label;
}

}  // namespace

std::string MapPictureView::hoverTextAt(MapPoint picture) const
{
    std::vector<OfficeLabel> labels;
    if (!viewport_.wholeWorld()) {
        // The offices of the marker under the hand.
        const auto pointed = pointedAt(picture);
        if (!pointed || !IsNearMarker(picture, pointed->at, reachOf(*pointed))) return {};
        if (!pointed->marker->isGroup()) {
            labels.push_back(LabelOf(*table_, pointed->marker->office));
            return HoverText(labels);
        }
        const std::span<const std::size_t> offices = groups_.officesOf(pointed->marker->group);
        labels.reserve(offices.size());
        for (const std::size_t i : offices) labels.push_back(LabelOf(*table_, i));
        return HoverText(labels);
    }
    // The offices that show the hand cursor.
    const std::vector<std::size_t> offices = OfficesUnderPointer(places_, picture, scale_.handReach());
    labels.reserve(offices.size());
    for (const std::size_t k : offices) {
        const std::size_t i = place_of_[k];
        if (i >= officeCount()) continue;
        labels.push_back(LabelOf(*table_, i));
    }
    return HoverText(labels);
}

}  // namespace mappa
