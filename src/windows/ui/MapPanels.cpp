#include "ui/MapPanels.h"

#include "support/Support2.h"
#include "support/Support2Win.h"
#include "support/UiText.h"
#include "support/WinError.h"
#include "ui/CountryList.h"

namespace mappa {
namespace {

// The key under which the country list sorts a text: the user's collation,
// letter case ignored. Keys compare as bytes exactly as their texts compare.
std::string SortKey(std::string_view text)
{
    constexpr DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const std::wstring wide = Utf8ToWide(text);
    const int length = static_cast<int>(wide.size());
    // A sort key is a string of bytes, counted in bytes, in a wide buffer's place.
    const int size = LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, wide.data(), length, nullptr, 0, nullptr, nullptr, 0);
    if (size <= 0) return std::string(text);
    std::string key(static_cast<std::size_t>(size), '\0');
    LCMapStringEx(LOCALE_NAME_USER_DEFAULT, flags, wide.data(), length, reinterpret_cast<LPWSTR>(key.data()), size,
                  nullptr, nullptr, 0);
    return key;
}

}  // namespace

std::string MapPanels::textOf(MapControl id) const { return WindowText(controls_.handle(id)); }

void MapPanels::fillCountryList(const TMapFunc& table)
{
    countries_ = CountryListEntries(table.Locations, table.Locations.dataCount(), &SortKey);

    HWND combo = controls_.handle(MapControl::ComboBox1);
    SendMessageW(combo, WM_SETREDRAW, FALSE, 0);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    SendMessageW(combo, CB_INITSTORAGE, countries_.size(), countries_.size() * 16);
    // The entries come in the list's order: inserting each at the end spares
    // the sorted list the search for its place. Equal entries stand together
    // and are converted once.
    bool filled = true;
    bool in_code_page = true;
    std::wstring entry;
    for (std::size_t i = 0; i < countries_.size() && filled; ++i) {
        if (i == 0 || countries_[i] != countries_[i - 1]) {
            entry = Utf8ToWide(countries_[i]);
            in_code_page = in_code_page && FitsAnsiCodePage(entry);
        }
        filled = SendMessageW(combo, CB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(entry.c_str())) >= 0;
    }
    if (!filled) {
        // The list and its mirror stay alike: both empty.
        SendMessageW(combo, CB_RESETCONTENT, 0, 0);
        countries_.clear();
    }
    controls_.useFont(combo, in_code_page);
    SendMessageW(combo, WM_SETREDRAW, TRUE, 0);
    if (!filled) throw WindowsError(E_OUTOFMEMORY, "Cannot fill the country list");
    controls_.setHint(combo, controls_.hintOf(MapControl::ComboBox1));
}

void MapPanels::showLinks(const TMapFunc& table)
{
    controls_.setText(controls_.handle(MapControl::lsWebLink), UiTextUtf8(IDS_LINK_WEB));
    controls_.setHint(controls_.handle(MapControl::lsWebLink), table.WebLink);
    controls_.setText(controls_.handle(MapControl::lsWebLink2), UiTextUtf8(IDS_LINK_SUPPORT_WEB));
    controls_.setHint(controls_.handle(MapControl::lsWebLink2), table.WebLink2);
    for (const MapControl link : {MapControl::lsWebLink, MapControl::lsWebLink2})
        controls_.fitToText(controls_.handle(link));
}

void MapPanels::showContact(const TLocation& location)
{
    controls_.setText(controls_.handle(MapControl::ldName), location.Name);
    controls_.setText(controls_.handle(MapControl::ldPhone), location.Phone);
    controls_.setText(controls_.handle(MapControl::ldFax), location.Fax);
    controls_.setText(controls_.handle(MapControl::ldToll), location.LocalToll);
    controls_.setText(controls_.handle(MapControl::ldInterToll), location.InterToll);
    controls_.setText(controls_.handle(MapControl::ldEmail), LowerCaseAscii(location.Email));
    for (const MapControl panel : {MapControl::ldName, MapControl::ldPhone, MapControl::ldFax, MapControl::ldToll,
                                   MapControl::ldEmail})
        ShowWindow(controls_.handle(panel), SW_SHOWNA);

    if (const auto entry = LastEntryOf(countries_, location.Country))
        SendMessageW(controls_.handle(MapControl::ComboBox1), CB_SETCURSEL, static_cast<WPARAM>(*entry), 0);
}

std::string MapPanels::chosenCountry() const
{
    const LRESULT selected = SendMessageW(controls_.handle(MapControl::ComboBox1), CB_GETCURSEL, 0, 0);
    if (selected < 0 || static_cast<std::size_t>(selected) >= countries_.size()) return {};
    return countries_[static_cast<std::size_t>(selected)];
}

ContactFields MapPanels::shown() const
{
    return {textOf(MapControl::ComboBox1), textOf(MapControl::ldName),  textOf(MapControl::ldPhone),
            textOf(MapControl::ldFax),     textOf(MapControl::ldToll), textOf(MapControl::ldEmail)};
}

}  // namespace mappa
