#include "ui/MapPicturePointer.h"

#include <vector>

#include "support/Support2Placement.h"
#include "support/Support2Win.h"
#include "support/UiText.h"
#include "ui/HoverNames.h"
#include "ui/OfficeTimes.h"
#include "ui/MapLayout.h"
#include "ui/MapLogic.h"

namespace mappa {

MapPicturePointer::MapPicturePointer(const MapControls& controls, MapPicture& picture, const MarkerLayout& layout)
    : controls_(controls), picture_(picture), layout_(layout), cursor_(controls)
{
}

void MapPicturePointer::create(HINSTANCE instance, HWND window)
{
    window_ = window;
    hover_tip_.create(instance, window_, controls_.handle(MapControl::Image1),
                      [this](MapPoint picture) { return hoverTextAt(picture); });
}

void MapPicturePointer::pictureRedrawn()
{
    hover_tip_.hide();
    guide_.lineShown = false;
}

void MapPicturePointer::rescale(int oldDpi, int newDpi)
{
    guide_.lineShown = false;
    guide_.curMouse = {MulDivRounded(guide_.curMouse.x, newDpi, oldDpi), MulDivRounded(guide_.curMouse.y, newDpi, oldDpi)};
}

void MapPicturePointer::track(int x, int y, POINT pointer)
{
    guide_.curMouse = {x, y};
    bool hand = false;
    const auto found = layout_.finder().pointedAt(guide_.curMouse);
    if (found && StrictlyInside(rectOnScreen(), pointer.x, pointer.y)) {
        const MapPoint office = found->at;
        if (IsNearMarker(guide_.curMouse, office, layout_.finder().reachOf(*found))) {
            hand = true;
            hover_tip_.point(found->key, guide_.curMouse, pointer);
        }

        const GuideLine shown{guide_.lastMouse, guide_.hoverLoc};
        picture_.drawGuideLine(guide_.lineShown ? &shown : nullptr, {guide_.curMouse, office});
        guide_.hoverLoc = office;
        guide_.lastMouse = guide_.curMouse;
        guide_.lineShown = true;
        InvalidateRect(controls_.handle(MapControl::Image1), nullptr, FALSE);
    }
    if (!hand) hover_tip_.hide();
    cursor_.show(hand, &pointer);
}

void MapPicturePointer::clearGuide()
{
    hover_tip_.hide();
    if (table_) picture_.copyFrom(table_->CleanMap);
    HWND image = controls_.handle(MapControl::Image1);
    InvalidateRect(image, nullptr, FALSE);
    UpdateWindow(image);
    guide_.lineShown = false;
}

ScreenRect MapPicturePointer::rectOnScreen() const
{
    RECT outer{}, client{}, panel{};
    GetWindowRect(window_, &outer);
    GetClientRect(window_, &client);
    GetWindowRect(controls_.handle(MapControl::Panel1), &panel);
    MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&panel), 2);
    return PictureScreenRect({outer.left, outer.top, outer.right, outer.bottom}, client.bottom - client.top,
                             {panel.left, panel.top}, picture_.width(), picture_.height());
}

RECT MapPicturePointer::onScreen() const
{
    const ScreenRect picture = rectOnScreen();
    return {picture.left, picture.top, picture.right, picture.bottom};
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

std::string MapPicturePointer::hoverTextAt(MapPoint picture) const
{
    std::vector<OfficeLabel> labels;
    for (const std::size_t i : layout_.finder().officesUnder(picture)) labels.push_back(LabelOf(*table_, i));
    return HoverText(labels, UiTextUtf8(IDS_TIP_MORE));
}

}  // namespace mappa
