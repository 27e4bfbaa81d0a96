// What the map window does on request: copy the shown office's details, open
// a mail to it or one of the web sites, save an office as a contact card, and
// find an office by name; with the shortcuts and the system menu's items.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "mapdata/MapFunc.h"
#include "ui/MapLogic.h"

namespace mappa {

class FindOfficeDialog;

class MapCommands {
public:
    // Office `index` was chosen in the find dialog.
    using OfficeChosen = std::function<void(std::size_t index)>;

    explicit MapCommands(HINSTANCE instance);
    ~MapCommands();

    // Adds the commands and the Language submenu to `window`'s system menu.
    void attach(HWND window);
    // The menu's texts in the current language, the user's choice marked; the
    // find dialog is made anew in that language when next opened.
    void retext();
    // With no office selected there is nothing to save.
    void updateMenu(bool officeSelected);
    // The keys for the window and its find dialog, before the message is
    // dispatched: shortcuts, then dialog navigation. True when it was used.
    bool translate(MSG& message);

    void copy(const ContactFields& shown);
    void mail(const std::string& address);
    void openWeb(const std::string& address);
    void findOffice(const TMapFunc& table, OfficeChosen chosen);
    void saveContact(const TMapFunc* table, std::optional<std::size_t> office);
    // Puts the office's mappa: link on the clipboard.
    void copyLink(const TMapFunc* table, std::optional<std::size_t> office);
    // Null until the find dialog is first opened.
    FindOfficeDialog* findDialog() const { return find_.get(); }
    void closeDialogs();

private:
    // Hands a URI that the address rules built to the shell; `failure` when there is none or the request fails.
    void openAddress(const std::optional<std::string>& uri, int showCommand, unsigned failure);
    void markLanguage();

    HINSTANCE instance_;
    HWND window_ = nullptr;
    HACCEL accelerators_ = nullptr;  // a resource: the system frees it with the module
    std::unique_ptr<FindOfficeDialog> find_;
    HMENU language_menu_ = nullptr;  // the system menu's, destroyed with it
};

}  // namespace mappa
