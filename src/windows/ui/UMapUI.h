// The map window: the world map with a marker per office, the country list,
// the selected office's contact details, the two web links, Copy and Exit.
// The window composes the picture, the panels, the local time, the commands,
// the controls' looks and its placement, runs their handlers and keeps the
// selection.
#pragma once

#include <windows.h>
#include <unknwn.h>
#include <wrl/client.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mapdata/MapFunc.h"
#include "support/Application.h"
#include "support/UiText.h"
#include "support/WindowBase.h"
#include "ui/LocalTimePanel.h"
#include "ui/MapCommands.h"
#include "ui/MapControlPainting.h"
#include "ui/MapControls.h"
#include "ui/MapPanels.h"
#include "ui/MapPictureView.h"
#include "ui/MapScale.h"
#include "ui/MapSelection.h"
#include "ui/MapWindowHooks.h"
#include "ui/MapWindowPlacement.h"

namespace mappa {

class TMapUI : public WindowBase<TMapUI> {
public:
    using TableFactory = std::function<std::unique_ptr<TMapFunc>()>;

    // The table factory defaults to loading the data file beside the executable.
    // `owner` is the application's window, which owns the program's windows.
    explicit TMapUI(HINSTANCE instance, TableFactory makeTable = {}, HWND owner = nullptr);
    ~TMapUI();

    static constexpr const char* kClassName = "TMapUI";
    static inline const WindowClassTraits kWindowClass{kClassName, IDC_ARROW, COLOR_BTNFACE, IDI_APPLICATION};

    // Event handlers, named after their control and event.
    void FormShow();
    void FormClose();
    void FormMouseMove();
    // `pointer` is the pointer's screen position, when already known.
    void Image1MouseMove(int x, int y, std::optional<POINT> pointer = std::nullopt);
    void Image1Click();
    void ComboBox1Click();
    void bCopyClick();
    void ldEmailClick();
    void lsWebLinkClick();
    void lsWebLink2Click();
    void bExitClick();

    // Shows every text in the current language (SetUiLanguage), the window
    // mirrored for a language written right to left, at once.
    void applyLanguage();
    // The user's choice of language, kept and shown; null: the language of Windows.
    void chooseLanguage(const UiLanguage* language);

    // Shows an office's details in the panels and rings its marker.
    void showInfo(const TLocation& location);
    // The keys for the window and its find dialog, before the message is
    // dispatched. True when it was used.
    bool preTranslateMessage(MSG& message) { return commands_.translate(message); }

    // What the application hooks into the window's events.
    MapWindowHooks hooks;
    // Opens "Find an office" with `text` typed in.
    void findOffices(const std::string& text);
    // The automation object that runMap left with the window.
    Microsoft::WRL::ComPtr<IUnknown> mapClient;

    // The parts of the window, for the tests and the placement.
    const TMapFunc* table() const { return mapData_.get(); }
    MapPictureView& view() { return view_; }
    const MapPictureView& view() const { return view_; }
    const MapControls& controls() const { return controls_; }
    HWND control(MapControl id) const { return controls_.handle(id); }
    const MapCommands& commands() const { return commands_; }
    // The selected office; showing an office as a click on its marker does.
    MapSelection& selection() { return selection_; }
    // The density that the window is laid out for, and its sizes there.
    const MapScale& scale() const { return scale_; }
    MapWindowPlacement& placement() { return placement_; }

private:
    friend class WindowBase<TMapUI>;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool handleCommand(UINT command);
    void releaseWindow();
    // Lays the window out for another density (UMapUIDpi.cpp): controls,
    // fonts, the picture with its markers and the ring.
    LRESULT dpiChanged(int dpi, const RECT& suggested);

    HINSTANCE instance_;
    TableFactory make_table_;
    MapScale scale_;
    MapControls controls_;
    std::unique_ptr<TMapFunc> mapData_;
    MapPictureView view_{instance_, controls_, scale_};
    MapControlPainting painting_{instance_, controls_, view_, [this] { FormMouseMove(); }};
    MapPanels panels_{controls_};
    LocalTimePanel local_time_{controls_};
    MapSelection selection_{view_, panels_, local_time_, hooks, mapData_};
    MapCommands commands_{instance_};
    MapWindowPlacement placement_{kClassName, window_};
    bool shown_ = false;
    HWND focus_on_return_ = nullptr;  // the control to focus when the window is activated again
};

// The outer size of the map window laid out for `scale`.
SIZE MapFrameSize(const MapScale& scale);

// The map window of the running program; set while one exists.
extern TMapUI* MapUI;

}  // namespace mappa
