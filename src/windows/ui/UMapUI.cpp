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

TMapUI::TMapUI(HINSTANCE instance, TableFactory makeTable, HWND owner)
    : instance_(instance), make_table_(std::move(makeTable))
{
    if (!MapUI) MapUI = this;
    if (!make_table_) make_table_ = [] { return std::make_unique<TMapFunc>(); };

    RECT bounds{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&bounds, kStyle, FALSE, 0);
    createWindow(instance_, owner ? WS_EX_APPWINDOW : 0, UiTextUtf8(IDS_CAPTION).c_str(), kStyle, kDesignLeft, kDesignTop,
                 bounds.right - bounds.left, bounds.bottom - bounds.top, owner);
    try {
        if (!window_) throw WindowsError(HRESULT_FROM_WIN32(GetLastError()), "Cannot create the map window");
        // Made at its design size, the window now takes the size it has at its monitor's density.
        scale_ = MapScale(WindowDpi(window_));
        const SIZE frame = MapFrameSize(scale_);
        if (frame.cx != bounds.right - bounds.left || frame.cy != bounds.bottom - bounds.top)
            SetWindowPos(window_, nullptr, 0, 0, frame.cx, frame.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        controls_.create(instance_, window_, MapControlPainting::kClassName, &painting_, scale_);
        local_time_.create(window_);
        view_.loadPicture();
        MakeMapControlsAccessible(controls_, [this] {
            return Utf8ToWide(DescribeViewInLanguage(view_.navigation().viewport()));
        });
        view_.create(window_, {
            .moved = [this](int x, int y, POINT pointer) { Image1MouseMove(x, y, pointer); },
            .clicked = [this] { Image1Click(); },
            .arrow = [this](MapDirection direction) {
                if (const auto next = view_.picker().officeInDirection(selection_.office(), direction))
                    selection_.select(*next);
            },
            .enter = [this] { if (const auto office = selection_.office()) selection_.select(*office); },
            .filterChanged = [](const OfficeFilter& filter) { SaveOfficeFilter(filter); },
        }, [this] {
            NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, control(MapControl::Image1), OBJID_CLIENT, CHILDID_SELF);
        });
        commands_.attach(window_);
        if (CurrentUiLanguage().rightToLeft) controls_.setMirrored(true);
    } catch (...) {
        releaseWindow();
        throw;
    }
}

TMapUI::~TMapUI() { releaseWindow(); }

void TMapUI::releaseWindow()
{
    if (MapUI == this) MapUI = nullptr;
    commands_.closeDialogs();
    destroyWindow();
}

// ---- show and close ----

void TMapUI::FormShow()
{
    placement_.restore();
    view_.navigation().setFilter(SavedOfficeFilter());
    mapData_ = make_table_();
    view_.show(*mapData_);
    panels_.fillCountryList(*mapData_);
    panels_.showLinks(*mapData_);
    InvalidateRect(control(MapControl::Image1), nullptr, FALSE);
}

void TMapUI::FormClose()
{
    if (hooks.onClosing) hooks.onClosing();
    mapClient.Reset();
    // The table stays until the window is destroyed, so that the window keeps
    // working when the application refuses to end.
    placement_.save();
}

// ---- hover and selection ----

void TMapUI::Image1MouseMove(int x, int y, std::optional<POINT> pointer)
{
    if (!pointer) {
        pointer.emplace();
        GetCursorPos(&*pointer);
    }
    view_.pointer().track(x, y, *pointer);
}

void TMapUI::FormMouseMove() { view_.pointer().clearGuide(); }

void TMapUI::Image1Click()
{
    if (const auto office = view_.picker().clickedOffice()) selection_.select(*office);
}

void TMapUI::ComboBox1Click()
{
    if (!mapData_) return;
    TLocation location;
    const auto found = mapData_->findByCountry(panels_.chosenCountry(), location);
    selection_.choose(location, found);
}

void TMapUI::showInfo(const TLocation& location) { selection_.show(location, std::nullopt); }

// ---- actions ----

void TMapUI::bCopyClick() { commands_.copy(panels_.shown()); }

void TMapUI::ldEmailClick() { commands_.mail(WindowText(control(MapControl::ldEmail))); }

void TMapUI::lsWebLinkClick() { commands_.openWeb(mapData_ ? mapData_->WebLink : ""); }

void TMapUI::lsWebLink2Click() { commands_.openWeb(mapData_ ? mapData_->WebLink2 : ""); }

void TMapUI::bExitClick() { PostMessageW(window_, WM_CLOSE, 0, 0); }

void TMapUI::applyLanguage()
{
    SetWindowTextW(window_, UiText(IDS_CAPTION).c_str());
    controls_.setMirrored(CurrentUiLanguage().rightToLeft);
    controls_.retext();
    if (mapData_) panels_.showLinks(*mapData_);
    local_time_.refresh(mapData_.get());  // its words and the day's name
    commands_.retext();
    view_.pointer().hoverTip().hide();
    RedrawWindow(window_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void TMapUI::chooseLanguage(const UiLanguage* language)
{
    SaveLanguageChoice(language ? language->tag : "");
    SetUiLanguage(language ? *language : WindowsUiLanguage());
    applyLanguage();
}

bool TMapUI::handleCommand(UINT command)
{
    const auto languages = UiLanguages();
    if (command == IDM_LANGUAGE_OF_WINDOWS) {
        chooseLanguage(nullptr);
        return true;
    }
    if (command >= IDM_LANGUAGE_FIRST && command < IDM_LANGUAGE_FIRST + 0x10 * languages.size()) {
        chooseLanguage(&languages[(command - IDM_LANGUAGE_FIRST) / 0x10]);
        return true;
    }
    switch (command) {
    case IDM_FIND_OFFICE:
    case IDK_FIND_OFFICE:
        if (mapData_)
            commands_.findOffice(*mapData_, [this](std::size_t office) {
                selection_.select(office);
                // The office chosen is the map's selection: the keys go on from it.
                focus_on_return_ = control(MapControl::Image1);
                if (GetActiveWindow() == window_) SetFocus(focus_on_return_);
            });
        return true;
    case IDM_SAVE_CONTACT:
    case IDK_SAVE_CONTACT: commands_.saveContact(mapData_.get(), selection_.office()); return true;
    case IDM_COPY_LINK: commands_.copyLink(mapData_.get(), selection_.office()); return true;
    default: return false;
    }
}

}  // namespace mappa

namespace mappa {

void TMapUI::findOffices(const std::string& text)
{
    handleCommand(IDM_FIND_OFFICE);
    FindOfficeDialog* dialog = commands_.findDialog();
    if (!dialog) return;
    const std::wstring typed = Utf8ToWide(text);
    SetWindowTextW(dialog->editBox(), typed.c_str());
    SendMessageW(dialog->editBox(), EM_SETSEL, typed.size(), typed.size());
}

}  // namespace mappa
