// The map picture and the pointer: the office nearest to it, the guide line,
// the hand cursor and the names on hover.
#include "ui/MapPictureView.h"

#include "ui/HoverNames.h"
#include "ui/MapLayout.h"
#include "ui/MapLogic.h"

namespace mappa {

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

}  // namespace mappa
