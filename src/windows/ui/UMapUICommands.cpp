// Reaching an office without pointing at it: the find dialog, the arrow keys
// on the map, saving an office as a contact card, and the names on hover.
#include "ui/UMapUI.h"

#include <span>

#include "support/Application.h"
#include "ui/ContactCard.h"
#include "ui/ContactFile.h"
#include "ui/FindOfficeDialog.h"
#include "ui/HoverNames.h"
#include "ui/MapCommandIds.h"
#include "ui/MapKeyboard.h"

namespace mappa {
namespace {

constexpr const char* kNothingToSave = "Choose an office first: click it on the map, or find it with Ctrl+F.";

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

void TMapUI::addSystemMenuItems()
{
    HMENU menu = GetSystemMenu(window_, FALSE);
    if (!menu) return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, IDM_FIND_OFFICE, L"Find an office...");
    AppendMenuW(menu, MF_STRING, IDM_SAVE_CONTACT, L"Save as contact...");
}

void TMapUI::updateSystemMenu()
{
    // With no office selected there is nothing to save.
    EnableMenuItem(GetSystemMenu(window_, FALSE), IDM_SAVE_CONTACT, MF_BYCOMMAND | (selected_ ? MF_ENABLED : MF_GRAYED));
}

bool TMapUI::handleCommand(UINT command)
{
    switch (command) {
    case IDM_FIND_OFFICE:
    case IDK_FIND_OFFICE: findOffice(); return true;
    case IDM_SAVE_CONTACT:
    case IDK_SAVE_CONTACT: saveContact(); return true;
    default: return false;
    }
}

bool TMapUI::preTranslateMessage(MSG& message)
{
    // The shortcuts hold in the map window and its controls, not in the find dialog.
    if (message.message == WM_KEYDOWN && message.hwnd && (message.hwnd == window_ || IsChild(window_, message.hwnd)) &&
        TranslateAcceleratorW(window_, accelerators_, &message))
        return true;
    if (find_ && find_->isOpen() && IsDialogMessageW(find_->handle(), &message)) return true;
    return IsDialogMessageW(window_, &message) != FALSE;
}

void TMapUI::findOffice()
{
    if (!mapData_) return;
    if (!find_) {
        find_ = std::make_unique<FindOfficeDialog>(instance_, window_, mapData_->Locations, locationCount(),
                                                   [this](std::size_t office) {
                                                       selectOffice(office);
                                                       // The office chosen is the map's selection: the keys go on from it.
                                                       focus_on_return_ = control(MapControl::Image1);
                                                       if (GetActiveWindow() == window_) SetFocus(focus_on_return_);
                                                   });
    }
    find_->open();
}

void TMapUI::selectOffice(std::size_t index)
{
    if (index >= locationCount()) return;
    selected_ = index;
    showInfo(ToLocation(mapData_->Locations[index]));
}

void TMapUI::moveSelection(MapDirection direction)
{
    if (positions_.empty()) return;
    const MapPoint from = selected_ ? positions_[*selected_] : PictureCentre(picture_.width(), picture_.height());
    if (const auto next = OfficeInDirection(positions_, from, direction)) selectOffice(*next);
}

LRESULT TMapUI::handleMapKey(HWND picture, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETDLGCODE) {
        // The arrows move the selection, and Enter shows it, rather than moving between controls.
        const auto* queued = reinterpret_cast<const MSG*>(lParam);
        LRESULT code = DLGC_WANTARROWS;
        if (queued && queued->message == WM_KEYDOWN && queued->wParam == VK_RETURN) code |= DLGC_WANTMESSAGE;
        return code;
    }
    if (const auto direction = DirectionOf(wParam)) {
        moveSelection(*direction);
        return 0;
    }
    if (wParam == VK_RETURN) {
        if (selected_) selectOffice(*selected_);
        return 0;
    }
    return DefWindowProcW(picture, message, wParam, lParam);
}

void TMapUI::saveContact()
{
    if (!mapData_ || !selected_) {
        ShowMessage(kNothingToSave);
        return;
    }
    const LocationView& office = mapData_->Locations[*selected_];
    const std::string card = ContactCard(ContactCardFieldsOf(office, mapData_->WebLink));
    if (const auto path = AskContactPath(window_, ContactFileName(office.Name))) WriteWholeFile(*path, card);
}

std::string TMapUI::hoverTextAt(MapPoint picture) const
{
    // The offices that show the hand cursor.
    const std::vector<std::size_t> offices = OfficesUnderPointer(positions_, picture, scale_.handReach());
    std::vector<OfficeLabel> labels;
    labels.reserve(offices.size());
    for (const std::size_t i : offices) {
        if (i >= locationCount()) continue;
        const LocationView& office = mapData_->Locations[i];
        labels.push_back({office.Name, office.Extra2, office.Country});
    }
    return HoverText(labels);
}

}  // namespace mappa
