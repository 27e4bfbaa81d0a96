#include "ui/OfficePicker.h"

#include <algorithm>

#include "support/Support2Win.h"

namespace mappa {

OfficePicker::OfficePicker(const MapControls& controls, const MarkerLayout& layout, MapPicturePointer& pointer,
                           MapNavigation& navigation)
    : controls_(controls), layout_(layout), pointer_(pointer), navigation_(navigation)
{
}

std::size_t OfficePicker::nearestLocation(MapPoint point)
{
    pointer_.resetCursor();
    return layout_.finder().nearestShown(point).value_or(0);
}

std::optional<std::size_t> OfficePicker::clickedOffice()
{
    pointer_.resetCursor();
    const auto pointed = layout_.finder().pointedAt(pointer_.guide().curMouse);
    if (!pointed) return std::nullopt;
    if (!pointed->marker || !pointed->marker->isGroup()) return layout_.finder().nearestShown(pointer_.guide().curMouse);
    // A group zooms in about itself until it parts; one that never parts offers its offices by name.
    const GroupId group = pointed->marker->group;
    if (const auto parts = layout_.groups().expansionLevel(group)) {
        navigation_.zoom(*parts - layout_.level(), pointed->at);
        return std::nullopt;
    }
    return chooseFromGroup(group);
}

std::optional<std::size_t> OfficePicker::chooseFromGroup(GroupId group)
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

std::optional<std::size_t> OfficePicker::officeInDirection(std::optional<std::size_t> from,
                                                             MapDirection direction) const
{
    return layout_.finder().officeInDirection(from, direction);
}

}  // namespace mappa
