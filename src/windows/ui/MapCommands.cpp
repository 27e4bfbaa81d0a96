#include "ui/MapCommands.h"

#include <shellapi.h>

#include "support/Application.h"
#include "support/Clipboard.h"
#include "support/Support2Win.h"
#include "ui/ContactCard.h"
#include "ui/ContactFile.h"
#include "ui/FindOfficeDialog.h"
#include "ui/MapCommandIds.h"
#include "ui/ShellAddress.h"
#include "automation/MappaLink.h"
#include "automation/OfficeMapTexts.h"

namespace mappa {
namespace {

constexpr const char* kMailFailure = "An exception occurred opening the mail client.";
constexpr const char* kWebFailure = "An Exception occurred opening the Web Browser";
constexpr const char* kNothingToSave = "Choose an office first: click it on the map, or find it with Ctrl+F.";

}  // namespace

MapCommands::MapCommands(HINSTANCE instance)
    : instance_(instance), accelerators_(LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_MAP_KEYS)))
{
}

MapCommands::~MapCommands() = default;

void MapCommands::closeDialogs() { find_.reset(); }

void MapCommands::attach(HWND window)
{
    window_ = window;
    HMENU menu = GetSystemMenu(window_, FALSE);
    if (!menu) return;
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    // Above the designed items, which stay the menu's last two.
    AppendMenuW(menu, MF_STRING, IDM_COPY_LINK, Utf8ToWide(texts::kCopyLinkItem).c_str());
    AppendMenuW(menu, MF_STRING, IDM_FIND_OFFICE, L"Find an office...");
    AppendMenuW(menu, MF_STRING, IDM_SAVE_CONTACT, L"Save as contact...");
}

void MapCommands::updateMenu(bool officeSelected)
{
    EnableMenuItem(GetSystemMenu(window_, FALSE), IDM_SAVE_CONTACT,
                   MF_BYCOMMAND | (officeSelected ? MF_ENABLED : MF_GRAYED));
    EnableMenuItem(GetSystemMenu(window_, FALSE), IDM_COPY_LINK, MF_BYCOMMAND | (officeSelected ? MF_ENABLED : MF_GRAYED));
}

bool MapCommands::translate(MSG& message)
{
    // The shortcuts hold in the map window and its controls, not in the find dialog.
    if (message.message == WM_KEYDOWN && message.hwnd && (message.hwnd == window_ || IsChild(window_, message.hwnd)) &&
        TranslateAcceleratorW(window_, accelerators_, &message))
        return true;
    if (find_ && find_->isOpen() && IsDialogMessageW(find_->handle(), &message)) return true;
    return IsDialogMessageW(window_, &message) != FALSE;
}

void MapCommands::copy(const ContactFields& shown) { PutTextOnClipboard(window_, ContactText(shown)); }

void MapCommands::openAddress(const std::optional<std::string>& uri, int showCommand, const char* failure)
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

void MapCommands::mail(const std::string& address) { openAddress(MailUriToOpen(address), SW_SHOWNORMAL, kMailFailure); }

void MapCommands::openWeb(const std::string& address) { openAddress(WebUriToOpen(address), SW_HIDE, kWebFailure); }

void MapCommands::findOffice(const TMapFunc& table, OfficeChosen chosen)
{
    if (!find_)
        find_ = std::make_unique<FindOfficeDialog>(instance_, window_, table.Locations, table.Locations.dataCount(),
                                                   std::move(chosen));
    find_->open();
}

void MapCommands::copyLink(const TMapFunc* table, std::optional<std::size_t> office)
{
    if (!table || !office || *office >= table->Locations.dataCount()) return;
    const LocationView& chosen = table->Locations[*office];
    PutTextOnClipboard(window_, OfficeLinkText(chosen.Name, chosen.Country));
}

void MapCommands::saveContact(const TMapFunc* table, std::optional<std::size_t> office)
{
    if (!table || !office || *office >= table->Locations.dataCount()) {
        ShowMessage(kNothingToSave);
        return;
    }
    const LocationView& chosen = table->Locations[*office];
    const std::string card = ContactCard(ContactCardFieldsOf(chosen, table->WebLink));
    if (const auto path = AskContactPath(window_, ContactFileName(chosen.Name))) WriteWholeFile(*path, card);
}

}  // namespace mappa
