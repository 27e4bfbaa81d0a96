#include "ui/UMapUI.h"

#include <oleacc.h>

#include "support/DisplayDpi.h"
#include "support/UiText.h"
#include "support/Support2Win.h"
#include "support/WinError.h"
#include "ui/FindOfficeDialog.h"
#include "ui/MapAccessibility.h"
#include "ui/MapCommandIds.h"
#include "ui/MapLayout.h"

namespace mappa {
namespace {

constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

// The kinds of office that the user chose to see, beside the window's placement.
constexpr const char* kFilterValue = "Map.OfficesShown";

OfficeFilter SavedOfficeFilter()
{
    return OfficeFilter::FromText(ReadToolSetting(kFilterValue, OfficeFilter().text())).value_or(OfficeFilter{});
}

void SaveOfficeFilter(const OfficeFilter& filter) { WriteToolSetting(kFilterValue, filter.text()); }

// What the view shows, in the words of the language in use.
std::string DescribeViewInLanguage(const MapViewport& viewport)
{
    const std::string pattern = UiTextUtf8(IDS_VIEW_DESCRIPTION), north = UiTextUtf8(IDS_VIEW_NORTH),
                      south = UiTextUtf8(IDS_VIEW_SOUTH), east = UiTextUtf8(IDS_VIEW_EAST),
                      west = UiTextUtf8(IDS_VIEW_WEST), decimal = UiTextUtf8(IDS_DECIMAL_SEPARATOR);
    return DescribeView(viewport, {pattern, north, south, east, west, decimal});
}

}  // namespace

TMapUI* MapUI = nullptr;

SIZE MapFrameSize(const MapScale& scale)
{
    return FrameSize(scale(kClientWidth), scale(kClientHeight), kStyle, 0, scale.dpi());
}

TMapUI::TMapUI(HINSTANCE instance, MapWindowParts::TableFactory makeTable, HWND owner)
    : parts_(instance, kWindowClass.name, window_, hooks, [this] { FormMouseMove(); }, std::move(makeTable))
{
    if (!MapUI) MapUI = this;

    RECT bounds{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&bounds, kStyle, FALSE, 0);
    createWindow(instance, owner ? WS_EX_APPWINDOW : 0, UiTextUtf8(IDS_CAPTION).c_str(), kStyle, kDesignLeft, kDesignTop,
                 bounds.right - bounds.left, bounds.bottom - bounds.top, owner);
    try {
        if (!window_) throw WindowsError(HRESULT_FROM_WIN32(GetLastError()), "Cannot create the map window");
        // Made at its design size, the window now takes the size it has at its monitor's density.
        parts_.scale = MapScale(WindowDpi(window_));
        const SIZE frame = MapFrameSize(parts_.scale);
        if (frame.cx != bounds.right - bounds.left || frame.cy != bounds.bottom - bounds.top)
            SetWindowPos(window_, nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        parts_.controls.create(instance, window_, MapControlPainting::kClassName, &parts_.painting, parts_.scale);
        parts_.localTime.create(window_);
        parts_.view.loadPicture();
        MakeMapControlsAccessible(parts_.controls, [this] {
            return Utf8ToWide(DescribeViewInLanguage(parts_.view.navigation().viewport()));
        });
        parts_.view.create(window_, {
            .moved = [this](int x, int y, POINT pointer) { Image1MouseMove(x, y, pointer); },
            .clicked = [this] { Image1Click(); },
            .arrow = [this](MapDirection direction) {
                if (const auto next = parts_.view.picker().officeInDirection(parts_.selection.office(), direction))
                    parts_.selection.select(*next);
            },
            .enter = [this] { if (const auto office = parts_.selection.office()) parts_.selection.select(*office); },
            .filterChanged = [](const OfficeFilter& filter) { SaveOfficeFilter(filter); },
        }, [this] {
            NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, control(MapControl::Image1), OBJID_CLIENT, CHILDID_SELF);
        });
        parts_.commands.attach(window_);
        if (CurrentUiLanguage().rightToLeft) parts_.controls.setMirrored(true);
    } catch (...) {
        releaseWindow();
        throw;
    }
}

TMapUI::~TMapUI() { releaseWindow(); }

void TMapUI::releaseWindow()
{
    if (MapUI == this) MapUI = nullptr;
    parts_.commands.closeDialogs();
    destroyWindow();
}

// ---- show and close ----

void TMapUI::FormShow()
{
    parts_.placement.restore();
    parts_.view.navigation().setFilter(SavedOfficeFilter());
    parts_.table = parts_.makeTable();
    parts_.view.show(*parts_.table);
    parts_.panels.fillCountryList(*parts_.table);
    parts_.panels.showLinks(*parts_.table);
    InvalidateRect(control(MapControl::Image1), nullptr, FALSE);
    SetTimer(window_, kGroupingTimer, USER_TIMER_MINIMUM, nullptr);
}

void TMapUI::FormClose()
{
    if (hooks.onClosing) hooks.onClosing();
    mapClient.Reset();
    // The table stays until the window is destroyed, so that the window keeps
    // working when the application refuses to end.
    parts_.placement.save();
}

// ---- hover and selection ----

void TMapUI::Image1MouseMove(int x, int y, std::optional<POINT> pointer)
{
    if (!pointer) {
        pointer.emplace();
        GetCursorPos(&*pointer);
    }
    parts_.view.pointer().track(x, y, *pointer);
}

void TMapUI::FormMouseMove() { parts_.view.pointer().clearGuide(); }

void TMapUI::Image1Click()
{
    if (const auto office = parts_.view.picker().clickedOffice()) parts_.selection.select(*office);
}

void TMapUI::ComboBox1Click()
{
    if (!parts_.table) return;
    TLocation location;
    const auto found = parts_.table->findByCountry(parts_.panels.chosenCountry(), location);
    parts_.selection.choose(location, found);
}

void TMapUI::showInfo(const TLocation& location) { parts_.selection.show(location, std::nullopt); }

// ---- actions ----

void TMapUI::bCopyClick() { parts_.commands.copy(parts_.panels.shown()); }

void TMapUI::ldEmailClick() { parts_.commands.mail(WindowText(control(MapControl::ldEmail))); }

void TMapUI::lsWebLinkClick() { parts_.commands.openWeb(parts_.table ? parts_.table->WebLink : ""); }

void TMapUI::lsWebLink2Click() { parts_.commands.openWeb(parts_.table ? parts_.table->WebLink2 : ""); }

void TMapUI::bExitClick() { PostMessageW(window_, WM_CLOSE, 0, 0); }

void TMapUI::applyLanguage()
{
    SetWindowTextW(window_, UiText(IDS_CAPTION).c_str());
    parts_.controls.setMirrored(CurrentUiLanguage().rightToLeft);
    parts_.controls.retext();
    if (parts_.table) parts_.panels.showLinks(*parts_.table);
    parts_.localTime.refresh(parts_.table.get());  // its words and the day's name
    parts_.commands.retext();
    parts_.view.pointer().hoverTip().hide();
    RedrawWindow(window_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

bool TMapUI::handleCommand(UINT command)
{
    // The user's choice of language, kept and shown; null: the language of Windows.
    const auto choose_language = [this](const UiLanguage* language) {
        SaveLanguageChoice(language ? language->tag : "");
        SetUiLanguage(language ? *language : WindowsUiLanguage());
        applyLanguage();
        return true;
    };
    const auto languages = UiLanguages();
    if (command == IDM_LANGUAGE_OF_WINDOWS) return choose_language(nullptr);
    if (command >= IDM_LANGUAGE_FIRST && command < IDM_LANGUAGE_FIRST + 0x10 * languages.size())
        return choose_language(&languages[(command - IDM_LANGUAGE_FIRST) / 0x10]);
    switch (command) {
    case IDM_FIND_OFFICE:
    case IDK_FIND_OFFICE:
        if (parts_.table)
            parts_.commands.findOffice(*parts_.table, [this](std::size_t office) {
                parts_.selection.select(office);
                // The office chosen is the map's selection: the keys go on from it.
                parts_.focus.moveTo(window_, control(MapControl::Image1));
            });
        return true;
    case IDM_SAVE_CONTACT:
    case IDK_SAVE_CONTACT: parts_.commands.saveContact(parts_.table.get(), parts_.selection.office()); return true;
    case IDM_COPY_LINK: parts_.commands.copyLink(parts_.table.get(), parts_.selection.office()); return true;
    default: return false;
    }
}

void TMapUI::findOffices(const std::string& text)
{
    handleCommand(IDM_FIND_OFFICE);
    FindOfficeDialog* dialog = parts_.commands.findDialog();
    if (!dialog) return;
    const std::wstring typed = Utf8ToWide(text);
    SetWindowTextW(dialog->editBox(), typed.c_str());
    SendMessageW(dialog->editBox(), EM_SETSEL, typed.size(), typed.size());
}

}  // namespace mappa
