#include "ui/MapCommands.h"

#include <shellapi.h>

#include "support/Application.h"
#include "support/Clipboard.h"
#include "support/Support2Win.h"
#include "support/UiText.h"
#include "ui/ContactCard.h"
#include "ui/OfficeTimes.h"
#include "ui/ContactFile.h"
#include "ui/FindOfficeDialog.h"
#include "ui/MapCommandIds.h"
#include "ui/ShellAddress.h"
#include "automation/MappaLink.h"

namespace mappa {
namespace {

void SetItemText(HMENU menu, UINT item, bool byPosition, const std::wstring& text)
{
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = const_cast<wchar_t*>(text.c_str());
    SetMenuItemInfoW(menu, item, byPosition, &info);
}

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
    language_menu_ = CreatePopupMenu();
    AppendMenuW(language_menu_, MF_STRING, IDM_LANGUAGE_OF_WINDOWS, UiText(IDS_MENU_LANGUAGE_OF_WINDOWS).c_str());
    AppendMenuW(language_menu_, MF_SEPARATOR, 0, nullptr);
    const auto languages = UiLanguages();
    for (std::size_t i = 0; i < languages.size(); ++i)
        AppendMenuW(language_menu_, MF_STRING, IDM_LANGUAGE_FIRST + 0x10 * i, languages[i].ownName);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    // Before the two commands, which stay the menu's last items.
    AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(language_menu_), UiText(IDS_MENU_LANGUAGE).c_str());
    AppendMenuW(menu, MF_STRING, IDM_COPY_LINK, UiText(IDS_MENU_COPY_LINK).c_str());
    AppendMenuW(menu, MF_STRING, IDM_FIND_OFFICE, UiText(IDS_MENU_FIND_OFFICE).c_str());
    AppendMenuW(menu, MF_STRING, IDM_SAVE_CONTACT, UiText(IDS_MENU_SAVE_CONTACT).c_str());
    markLanguage();
}

void MapCommands::retext()
{
    find_.reset();
    HMENU menu = GetSystemMenu(window_, FALSE);
    if (!menu) return;
    SetItemText(menu, IDM_COPY_LINK, FALSE, UiText(IDS_MENU_COPY_LINK));
    SetItemText(menu, IDM_FIND_OFFICE, FALSE, UiText(IDS_MENU_FIND_OFFICE));
    SetItemText(menu, IDM_SAVE_CONTACT, FALSE, UiText(IDS_MENU_SAVE_CONTACT));
    for (int i = GetMenuItemCount(menu) - 1; i >= 0; --i)
        if (GetSubMenu(menu, i) == language_menu_) SetItemText(menu, static_cast<UINT>(i), TRUE, UiText(IDS_MENU_LANGUAGE));
    SetItemText(language_menu_, IDM_LANGUAGE_OF_WINDOWS, FALSE, UiText(IDS_MENU_LANGUAGE_OF_WINDOWS));
    markLanguage();
}

void MapCommands::markLanguage()
{
    // The user's own choice is marked; with none, "As in Windows" is.
    const UiLanguage* saved = UiLanguageByTag(SavedLanguageChoice());
    const auto languages = UiLanguages();
    const UINT last = static_cast<UINT>(IDM_LANGUAGE_FIRST + 0x10 * (languages.size() - 1));
    CheckMenuItem(language_menu_, IDM_LANGUAGE_OF_WINDOWS, MF_BYCOMMAND | (saved ? MF_UNCHECKED : MF_CHECKED));
    for (std::size_t i = 0; i < languages.size(); ++i) {
        const UINT item = static_cast<UINT>(IDM_LANGUAGE_FIRST + 0x10 * i);
        CheckMenuItem(language_menu_, item, MF_BYCOMMAND | MF_UNCHECKED);
        if (saved == &languages[i]) CheckMenuRadioItem(language_menu_, IDM_LANGUAGE_FIRST, last, item, MF_BYCOMMAND);
    }
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

void MapCommands::openAddress(const std::optional<std::string>& uri, int showCommand, unsigned failure)
{
    // Nothing that the address rules refused reaches the shell. The shell's own
    // result is not examined: an address without a handler passes silently.
    if (!uri) {
        ShowMessage(UiTextUtf8(failure));
        return;
    }
    try {
        ShellExecuteW(window_, nullptr, Utf8ToWide(*uri).c_str(), nullptr, nullptr, showCommand);
    } catch (...) {
        ShowMessage(UiTextUtf8(failure));
    }
}

void MapCommands::mail(const std::string& address) { openAddress(MailUriToOpen(address), SW_SHOWNORMAL, IDS_MESSAGE_MAIL_FAILED); }

void MapCommands::openWeb(const std::string& address) { openAddress(WebUriToOpen(address), SW_HIDE, IDS_MESSAGE_WEB_FAILED); }

void MapCommands::findOffice(const TMapFunc& table, OfficeChosen chosen)
{
    if (!find_)
        find_ = std::make_unique<FindOfficeDialog>(instance_, window_, table.Locations, table.Locations.dataCount(),
                                                   std::move(chosen), &table.TimeLines);
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
        ShowMessage(UiTextUtf8(IDS_MESSAGE_NOTHING_TO_SAVE));
        return;
    }
    const LocationView& chosen = table->Locations[*office];
    ContactCardFields fields = ContactCardFieldsOf(chosen, table->WebLink);
    std::string zone;
    try {
        const OfficeTimeLines* lines = *office < table->TimeLines.size() ? &table->TimeLines[*office] : nullptr;
        zone = OfficeTimes::Bundled().read(chosen, lines, OfficeTimes::Now()).zone;
    } catch (const std::exception&) {
        // Without the zone data the card goes without TZ.
    }
    fields.time_zone = zone;
    const std::string card = ContactCard(fields);
    if (const auto path = AskContactPath(window_, ContactFileName(chosen.Name))) WriteWholeFile(*path, card);
}

}  // namespace mappa
