// The map picture as the window shows it: a marker per office on the world
// map, the dotted guide line to the office nearest the pointer, the hand
// cursor and the offices' names on hover, the ring on the shown office, and
// the keys and the mouse on the focused picture.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "mapdata/MapFunc.h"
#include "ui/HoverTip.h"
#include "ui/MapControls.h"
#include "ui/MapKeyboard.h"
#include "ui/MapPicture.h"
#include "ui/MapScale.h"
#include "ui/MapViewport.h"
#include "ui/OfficeGroups.h"
#include "ui/OfficeFilter.h"
#include "ui/PictureGeometry.h"
#include "ui/WorldMapPicture.h"
#include "ui/WorldVectors.h"

namespace mappa {

// The guide line: from where the pointer was (`lastMouse`) to the office it
// was nearest to (`hoverLoc`), while `lineShown`; `curMouse` is the latest
// pointer position over the picture, in picture pixels.
struct GuideState {
    bool lineShown = false;
    MapPoint lastMouse;
    MapPoint curMouse;
    MapPoint hoverLoc;
};

class MapPictureView {
public:
    // What the picture hands on to its window: a pointer move to (x, y) in
    // the picture, with the pointer at `pointer` on the screen; a click; an
    // arrow key; Enter.
    struct Events {
        std::function<void(int x, int y, POINT pointer)> moved;
        std::function<void()> clicked;
        std::function<void(MapDirection)> arrow;
        std::function<void()> enter;
        // The user changed the filter, or the view's scale or centre.
        std::function<void(const OfficeFilter&)> filterChanged;
        std::function<void()> viewChanged;
    };

    // The picture is the `Image1` control of `controls`, laid out for `scale`,
    // which the window owns and changes.
    MapPictureView(HINSTANCE instance, MapControls& controls, const MapScale& scale);

    // Once the controls exist: the names on hover, and where the input goes.
    void create(HWND window, Events events);
    // The world map at the scale's size, without markers.
    void loadPicture();
    // The offices of `table` placed and drawn, and the clean copy taken.
    void show(TMapFunc& table);
    // The picture again at the scale's size (the scale has changed): markers,
    // clean copy and the ring, which stays on the office it marks.
    void rescale(int oldDpi);

    void drawMap();
    void plotLocation(const LocationView& location, Rgb colour, int size);
    void overlayLocation(const TLocation& location, Rgb colour, int size);
    // The ring on `location` (office `office` of the table, if it is one), and a
    // screen reader told its name as the map's value.
    void showSelected(const TLocation& location, std::optional<std::size_t> office = std::nullopt);
    // The shown office nearest to `point`; resets the cursor. 0 without offices.
    std::size_t nearestLocation(MapPoint point);
    // The office that a click at the last pointer position selects; resets the cursor.
    std::optional<std::size_t> clickedOffice();
    // The nearest office that way from office `from` (from the picture's centre when none).
    std::optional<std::size_t> officeInDirection(std::optional<std::size_t> from, MapDirection direction) const;

    // Zooming and panning: the picture drawn anew for the view. At scale 1 it
    // is the designed picture.
    bool zoom(int steps, MapPoint about);
    bool pan(std::int32_t dx, std::int32_t dy);
    void resetView();
    const MapViewport& viewport() const { return viewport_; }
    void setFilter(const OfficeFilter& filter);
    const OfficeFilter& filter() const { return filter_; }

    // The pointer moved to (x, y) in the picture: the guide line and the cursor.
    void track(int x, int y, POINT pointer);
    // The pointer left the picture for the window: the clean map, no line.
    void clearGuide();
    // The messages of the picture control.
    LRESULT handleMessage(HWND picture, UINT message, WPARAM wParam, LPARAM lParam);

    const MapPicture& picture() const { return picture_; }
    const GuideState& guide() const { return guide_; }
    HCURSOR cursor() const { return cursor_; }
    HoverTip& hoverTip() { return hover_tip_; }
    const HoverTip& hoverTip() const { return hover_tip_; }
    // The screen rectangle inside which a move draws the guide line: from the
    // window's outer rectangle, the panel's place and the frame's height.
    RECT onScreen() const;

private:
    std::size_t officeCount() const { return table_ ? table_->Locations.dataCount() : 0; }
    void computePositions();
    // Draws the picture for the view: the map, then the shown offices' markers.
    void drawView();
    // Where the ring goes for an office on the picture as it is now; none when out of view.
    std::optional<MapPoint> ringPlace() const;
    void viewChanged();
    void placeOffices();
    // Every shown office's place on the picture, for the arrow keys; at scale 1 always there.
    void ensurePlaces() const;
    // Groups the shown offices for every scale above 1.
    void buildGroups();
    int level() const;
    // A marker of the present level, on the picture.
    MapPoint markerPlace(const OfficeMarker& marker) const;
    int groupSize(std::uint32_t count) const;
    void drawGroup(MapPoint at, std::uint32_t count);
    // What the pointer at `point` points at: the nearest shown marker, where it is, and a
    // key that tells markers apart (an office's index, or past them a group's).
    struct Pointed {
        MapPoint at;
        std::size_t key;
        std::optional<OfficeMarker> marker;  // above scale 1
    };
    std::optional<Pointed> pointedAt(MapPoint point) const;
    // How near the marker the pointer shows the hand.
    int reachOf(const Pointed& pointed) const;
    // A group whose offices no scale parts: the user picks one of them by name.
    std::optional<std::size_t> chooseFromGroup(GroupId group);
    MapPoint placeOf(const LocationView& office) const;
    std::optional<std::size_t> nearestShown(MapPoint point) const;
    void placeRing();
    void openMenu(POINT screen);
    bool zoomKey(WPARAM key);
    ScreenRect rectOnScreen() const;
    // Sets the picture's cursor; `pointer` is where the pointer is, if known.
    void setCursor(HCURSOR cursor, const POINT* pointer = nullptr);
    LRESULT handleKey(HWND picture, UINT message, WPARAM wParam, LPARAM lParam);
    std::string hoverTextAt(MapPoint picture) const;

    HINSTANCE instance_;
    MapControls& controls_;
    const MapScale& scale_;
    HWND window_ = nullptr;
    Events events_;
    TMapFunc* table_ = nullptr;  // the window's, once shown
    MapPicture picture_;
    std::vector<MarkerStamp> stamps_;  // the marker styles drawn so far
    // Worked out when first needed above scale 1.
    mutable std::vector<MapPoint> places_;        // the shown offices' places on the picture (off it too)
    mutable std::vector<std::size_t> place_of_;  // the office of each place
    mutable bool places_ready_ = false;
    OfficeGroups groups_;
    std::vector<OfficeMarker> markers_;  // above scale 1: the markers on the picture
    FontHandle count_font_;              // the groups' counts
    std::map<std::pair<int, std::uint32_t>, MarkerStamp> group_stamps_;  // by size and count shown
    MapViewport viewport_;
    OfficeFilter filter_;
    BitmapHandle bare_world_;  // the world map without markers, at scale 1
    std::optional<WorldVectors> vectors_;  // what zoomed views are drawn from; read at the first zoom
    int wheel_ = 0;            // wheel rotation not yet used, in WHEEL_DELTA units / 120
    POINT press_{};
    bool dragging_ = false;
    std::optional<TLocation> ringed_;  // the office that the ring marks
    std::optional<std::size_t> ringed_office_;  // its place in the table, when known
    GuideState guide_;
    HCURSOR cursor_ = nullptr;
    HCURSOR arrow_cursor_ = nullptr;
    HCURSOR hand_cursor_ = nullptr;
    bool pressed_ = false;
    HoverTip hover_tip_;
};

}  // namespace mappa
