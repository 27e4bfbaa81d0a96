// The map window: the world map with a marker per office, the country list,
// the selected office's contact details, the two web links, Copy and Exit.
// The window composes its parts (the picture, the panels, the local time, the
// commands, the controls' looks, the placement) and runs its handlers through them.
#pragma once

#include <windows.h>
#include <unknwn.h>
#include <wrl/client.h>

#include <optional>
#include <string>

#include "support/Application.h"
#include "support/UiText.h"
#include "support/WindowBase.h"
#include "ui/MapWindowParts.h"

namespace mappa {

// The map window's one-off timer after it shows: its offices are grouped for
// zooming once the first paint is done (timers come after paint messages).
inline constexpr UINT_PTR kGroupingTimer = 0x4752;  // "GR"

class TMapUI : public WindowBase<TMapUI> {
public:
    // `owner` is the application's window, which owns the program's windows.
    explicit TMapUI(HINSTANCE instance, MapWindowParts::TableFactory makeTable = {}, HWND owner = nullptr);
    ~TMapUI();

    static inline const WindowClassTraits kWindowClass{"TMapUI", IDC_ARROW, COLOR_BTNFACE, IDI_APPLICATION};

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
    // Shows an office's details in the panels and rings its marker.
    void showInfo(const TLocation& location);
    // Opens "Find an office" with `text` typed in.
    void findOffices(const std::string& text);

    // What the application hooks into the window's events.
    MapWindowHooks hooks;
    // The automation object that runMap left with the window.
    Microsoft::WRL::ComPtr<IUnknown> mapClient;

    // The parts of the window, for the application, the tests and the benchmarks.
    MapWindowParts& parts() { return parts_; }
    HWND control(MapControl id) const { return parts_.controls.handle(id); }

private:
    friend class WindowBase<TMapUI>;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // A command of the window's menu or of its keys; true when it was one.
    bool handleCommand(UINT command);
    void releaseWindow();

    MapWindowParts parts_;
    bool shown_ = false;
};

// The map window of the running program; set while one exists.
extern TMapUI* MapUI;

}  // namespace mappa
