#include "app/LinkOpener.h"

#include <windows.h>

#include <cstddef>
#include <iterator>
#include <string>

#include "automation/OfficeQueries.h"
#include "support/Application.h"
#include "support/Support2Win.h"
#include "support/UiText.h"
#include "ui/MapLinkHandover.h"

namespace mappa {
namespace {

// The link in its canonical form: the receiver reads only what this copy checked.
std::string LinkText(const ParsedLink& link)
{
    if (const auto* office = std::get_if<OfficeLink>(&link)) return OfficeLinkText(office->name, office->country);
    if (const auto* find = std::get_if<FindLink>(&link)) return FindLinkText(find->text);
    return {};
}

// The string-table text of each reason, in the order of LinkRefusal.
constexpr struct {
    LinkRefusal reason;
    unsigned id;
} kRefusalTexts[] = {
    {LinkRefusal::TooLong, IDS_LINK_TOO_LONG},
    {LinkRefusal::ValueTooLong, IDS_LINK_VALUE_TOO_LONG},
    {LinkRefusal::OtherScheme, IDS_LINK_OTHER_SCHEME},
    {LinkRefusal::UnknownKind, IDS_LINK_UNKNOWN_KIND},
    {LinkRefusal::BadEscape, IDS_LINK_BAD_ESCAPE},
    {LinkRefusal::BadCharacter, IDS_LINK_BAD_CHARACTER},
    {LinkRefusal::NoValue, IDS_LINK_NO_VALUE},
    {LinkRefusal::UnknownPart, IDS_LINK_UNKNOWN_PART},
    {LinkRefusal::Twice, IDS_LINK_TWICE},
    {LinkRefusal::NoOffice, IDS_LINK_NO_OFFICE},
    {LinkRefusal::NoText, IDS_LINK_NO_TEXT},
    {LinkRefusal::Switch, IDS_LINK_SWITCH},
};

// A reason added to the reader without a text here, or two reasons given one
// text, stops the build instead of showing the wrong message.
constexpr bool EveryReasonHasItsOwnText()
{
    if (std::size(kRefusalTexts) != kLinkRefusals) return false;
    for (std::size_t i = 0; i < kLinkRefusals; ++i) {
        if (static_cast<std::size_t>(kRefusalTexts[i].reason) != i) return false;
        for (std::size_t k = 0; k < i; ++k)
            if (kRefusalTexts[k].id == kRefusalTexts[i].id) return false;
    }
    return true;
}
static_assert(EveryReasonHasItsOwnText());

// Why a link was refused, in the user's language.
std::string RefusalText(LinkRefusal reason)
{
    return UiTextUtf8(kRefusalTexts[static_cast<std::size_t>(reason)].id);
}

}  // namespace

bool OpenInRunningCopy(const ParsedLink& link)
{
    const std::string text = LinkText(link);
    if (text.empty() || text.size() > MapLinkHandover::kDataLimit) return false;
    HWND running = FindWindowW(Utf8ToWide(TMapUI::kWindowClass.name).c_str(), nullptr);
    if (!running) return false;
    DWORD process = 0;
    GetWindowThreadProcessId(running, &process);
    AllowSetForegroundWindow(process);
    COPYDATASTRUCT data{MapLinkHandover::kDataTag, static_cast<DWORD>(text.size()), const_cast<char*>(text.data())};
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
    const TMapFunc* table = map.parts().table.get();
    const auto found = table ? OfficeNamed(table->Locations, office.name, office.country) : std::nullopt;
    if (!found) {
        ShowMessage(UiTextUtf8(IDS_LINK_OFFICE_MISSING));
        return;
    }
    map.parts().selection.select(*found);
}

void ShowRefusedLink(const RefusedLink& refused) { ShowMessage(RefusalText(refused.reason)); }

}  // namespace mappa
