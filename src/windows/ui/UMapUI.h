// The map window: the world map with a marker per office, the country list,
// the selected office's contact details, the two web links, Copy and Exit.
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
#include "support/Support2PlacementWin.h"
#include "support/WindowBase.h"
#include "ui/HoverTip.h"
#include "ui/MapControls.h"
#include "ui/MapKeyboard.h"
#include "ui/MapLogic.h"
#include "ui/MapPicture.h"
#include "ui/MapScale.h"
#include "ui/PictureGeometry.h"

namespace mappa {

class FindOfficeDialog;

class TMapUI : public WindowBase<TMapUI> {
public:
    using TableFactory = std::function<std::unique_ptr<TMapFunc>()>;
    // Hooks into the window's show and close for its saved placement.
    using PlacementHook = std::function<void(TMapUI&)>;

    // The table factory defaults to loading the data file beside the executable.
    // `owner` is the application's window, which owns the program's windows.
    explicit TMapUI(HINSTANCE instance, TableFactory makeTable = {}, HWND owner = nullptr);
    ~TMapUI();

    static constexpr const char* kClassName = "TMapUI";
    static inline const WindowClassTraits kWindowClass{kClassName, IDC_ARROW, COLOR_BTNFACE, IDI_APPLICATION};
    // The version that the suite's programs read from the map.

    // Replaces how the window restores and saves its placement (the tests turn it off).
    void setPlacementHooks(PlacementHook restore, PlacementHook save);
    PlacementWindow placementWindow() const;

    // Event handlers, named after their control and event.
    void FormShow();
    void FormClose();
    void FormMouseMove();
    void Image1MouseMove(int x, int y);
    // The same, with the pointer's screen position already known.
    void Image1MouseMove(int x, int y, POINT pointer);
    void Image1Click();
    void ComboBox1Click();
    void bCopyClick();
    void ldEmailClick();
    void lsWebLinkClick();
    void lsWebLink2Click();
    void bExitClick();

    // Operations of the window.
    void drawMap();
    void plotLocation(const LocationView& location, Rgb colour, int size);
    void showInfo(const TLocation& location);
    void overlayLocation(const TLocation& location, Rgb colour, int size);
    std::size_t nearestLocation(MapPoint point);

    // Reaching an office without pointing at it: the find dialog (Ctrl+F),
    // the arrow keys on the focused map, and saving the selected office as a
    // contact card (Ctrl+S).
    void findOffice();
    void saveContact();
    // Shows office `index` as clicking its marker does, and makes it the selected office.
    void selectOffice(std::size_t index);
    // The arrow keys: the nearest office that way from the selected one (from the picture's centre when none).
    void moveSelection(MapDirection direction);
    // The office shown last by a click, the country list, the find dialog or the keys.
    std::optional<std::size_t> selectedOffice() const { return selected_; }
    // The keys for the window and its find dialog, before the message is
    // dispatched: shortcuts, then dialog navigation. True when it was used.
    bool preTranslateMessage(MSG& message);

    // Runs when the window has moved, with its client area's screen position.
    std::function<void(int x, int y)> onMove;

    // The automation object that runMap left with the window.
    Microsoft::WRL::ComPtr<IUnknown> mapClient;

    // State of the guide line.
    bool lineShown = false;
    MapPoint lastMouse;
    MapPoint curMouse;
    MapPoint hoverLoc;  // the end of the current guide line

    // For the tests and the placement: the parts of the window.
    const TMapFunc* table() const { return mapData_.get(); }
    const MapPicture& picture() const { return picture_; }
    HWND control(MapControl id) const { return controls_.handle(id); }
    std::string hintOf(MapControl id) const { return controls_.hintOf(id); }
    HCURSOR image1Cursor() const { return image1_cursor_; }
    const HoverTip& hoverTip() const { return hover_tip_; }
    // Null until the find dialog is first opened.
    FindOfficeDialog* findDialog() const { return find_.get(); }
    // The density that the window is laid out for, and its sizes there.
    const MapScale& scale() const { return scale_; }
    // The screen rectangle inside which a move draws the guide line: from the
    // window's outer rectangle, the panel's place and the frame's height.
    RECT pictureOnScreen() const;

private:
    friend class WindowBase<TMapUI>;
    static LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleChild(HWND child, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handlePicture(HWND picture, UINT message, WPARAM wParam, LPARAM lParam);
    void releaseWindow();
    void fillCountryList();
    // Sets the picture's cursor; `pointer` is where the pointer is, if known.
    void setImage1Cursor(HCURSOR cursor, const POINT* pointer = nullptr);
    ScreenRect pictureRect() const;
    bool pointerOverPicture(POINT pointer) const;
    // Hands a URI that the address rules built to the shell; `failure` when there is none or the request fails.
    void openAddress(const std::optional<std::string>& uri, int showCommand, const char* failure);
    std::string textOf(MapControl id) const;
    std::size_t locationCount() const;
    void addSystemMenuItems();
    void updateSystemMenu();
    bool handleCommand(UINT command);
    LRESULT handleMapKey(HWND picture, UINT message, WPARAM wParam, LPARAM lParam);
    std::string hoverTextAt(MapPoint picture) const;
    // Places the offices on the picture at its present size, in the table and in positions_.
    void computePositions();

    // Display density (UMapUIDpi.cpp).
    static constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    SIZE frameSize(const MapScale& scale) const;
    void loadPicture(const MapScale& scale);
    // Lays the window out for another density: controls, fonts, the picture
    // with its markers and the ring, which stays on the office it marks.
    void setScale(const MapScale& scale);
    LRESULT dpiChanged(int dpi, const RECT& suggested);

    HINSTANCE instance_;
    HACCEL accelerators_ = nullptr;  // a resource: the system frees it with the module
    TableFactory make_table_;
    PlacementHook restore_placement_;
    PlacementHook save_placement_;
    MapControls controls_;
    HBRUSH face_brush_ = nullptr;  // the system's, not ours to delete
    std::unique_ptr<TMapFunc> mapData_;
    MapPicture picture_;
    MapScale scale_;
    std::optional<TLocation> ringed_;  // the office that the ring marks
    HCURSOR image1_cursor_ = nullptr;
    HCURSOR arrow_cursor_ = nullptr;
    HCURSOR hand_cursor_ = nullptr;
    std::vector<std::string> countries_;  // the country list's entries, in its order
    std::vector<MarkerStamp> stamps_;     // the marker styles drawn so far
    bool shown_ = false;
    bool image1_pressed_ = false;
    std::vector<MapPoint> positions_;  // every office's place on the picture, in table order
    std::optional<std::size_t> selected_;
    HWND focus_on_return_ = nullptr;  // the control to focus when the window is activated again
    HoverTip hover_tip_;
    std::unique_ptr<FindOfficeDialog> find_;
};

// The map window of the running program; set while one exists.
extern TMapUI* MapUI;

}  // namespace mappa
