#include "app/LinkOpener.h"

#include <windows.h>

#include <string>

#include "automation/OfficeMapTexts.h"
#include "automation/OfficeQueries.h"
#include "support/Application.h"
#include "support/Support2Win.h"
#include "support/UiText.h"

namespace mappa {
namespace {

// The link in its canonical form: the receiver reads only what this copy checked.
std::string LinkText(const ParsedLink& link)
{
    if (const auto* office = std::get_if<OfficeLink>(&link)) return OfficeLinkText(office->name, office->country);
    if (const auto* find = std::get_if<FindLink>(&link)) return FindLinkText(find->text);
    return {};
}

// Why a link was refused, in the user's language: the reader gives its
// English text.
std::string RefusalText(const std::string& reason)
{
    static const struct {
        const char* english;
        unsigned id;
    } kReasons[] = {
        {texts::kLinkTooLong, IDS_LINK_TOO_LONG},         {texts::kLinkValueTooLong, IDS_LINK_VALUE_TOO_LONG},
        {texts::kLinkOtherScheme, IDS_LINK_OTHER_SCHEME}, {texts::kLinkUnknownKind, IDS_LINK_UNKNOWN_KIND},
        {texts::kLinkBadEscape, IDS_LINK_BAD_ESCAPE},     {texts::kLinkBadCharacter, IDS_LINK_BAD_CHARACTER},
        {texts::kLinkNoValue, IDS_LINK_NO_VALUE},         {texts::kLinkUnknownPart, IDS_LINK_UNKNOWN_PART},
        {texts::kLinkTwice, IDS_LINK_TWICE},              {texts::kLinkNoOffice, IDS_LINK_NO_OFFICE},
        {texts::kLinkNoText, IDS_LINK_NO_TEXT},           {texts::kLinkSwitch, IDS_LINK_SWITCH},
    };
    for (const auto& known : kReasons)
        if (reason == known.english) return UiTextUtf8(known.id);
    return reason;
}

}  // namespace

bool OpenInRunningCopy(const ParsedLink& link)
{
    const std::string text = LinkText(link);
    if (text.empty() || text.size() > TMapUI::kLinkDataLimit) return false;
    HWND running = FindWindowW(Utf8ToWide(TMapUI::kClassName).c_str(), nullptr);
    if (!running) return false;
    DWORD process = 0;
    GetWindowThreadProcessId(running, &process);
    AllowSetForegroundWindow(process);
    COPYDATASTRUCT data{TMapUI::kLinkDataTag, static_cast<DWORD>(text.size()), const_cast<char*>(text.data())};
    DWORD_PTR taken = FALSE;
    return SendMessageTimeoutW(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 5000,
                               &taken) &&
           taken;
}

void OpenLink(TMapUI& map, const ParsedLink& link)
{
    if (const auto* refused = std::get_if<RefusedLink>(&link)) {
        ShowRefusedLink(*refused);
        return;
    }
    HWND window = map.handle();
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    SetForegroundWindow(window);
    if (const auto* find = std::get_if<FindLink>(&link)) {
        map.findOffices(find->text);
        return;
    }
    const auto& office = std::get<OfficeLink>(link);
    const TMapFunc* table = map.table();
    const auto found = table ? OfficeNamed(table->Locations, office.name, office.country) : std::nullopt;
    if (!found) {
        ShowMessage(UiTextUtf8(IDS_LINK_OFFICE_MISSING));
        return;
    }
    map.showOfficeAsClicked(*found);
}

void ShowRefusedLink(const RefusedLink& refused) { ShowMessage(RefusalText(refused.reason)); }

}  // namespace mappa
