// The map picture as the window shows it: a marker per office on the world
// map, the dotted guide line to the office nearest the pointer, the hand
// cursor and the offices' names on hover, the ring on the shown office, and
// the keys and the mouse on the focused picture.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

#include "mapdata/MapFunc.h"
#include "ui/MapControls.h"
#include "ui/MapKeyboard.h"
#include "ui/MapPicture.h"
#include "ui/MapPictureInput.h"
#include "ui/MapPicturePointer.h"
#include "ui/MapScale.h"
#include "ui/MapViewport.h"
#include "ui/MarkerLayout.h"
#include "ui/MarkerStamps.h"
#include "ui/OfficeFilter.h"
#include "ui/PictureGeometry.h"
#include "ui/WorldMapPicture.h"
#include "ui/WorldVectors.h"

namespace mappa {

class MapPictureView {
public:
    // The picture is the `Image1` control of `controls`, laid out for `scale`,
    // which the window owns and changes.
    MapPictureView(HINSTANCE instance, MapControls& controls, const MapScale& scale);

    // Once the controls exist: the names on hover, and where the input goes.
    // `viewChanged` is called when the view's scale or centre changed.
    void create(HWND window, MapPictureInput::Events events, std::function<void()> viewChanged);
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
    const MapViewport& viewport() const { return layout_.viewport(); }
    void setFilter(const OfficeFilter& filter);
    const OfficeFilter& filter() const { return layout_.filter(); }

    // The messages of the picture control.
    LRESULT handleMessage(HWND picture, UINT message, WPARAM wParam, LPARAM lParam)
    {
        return input_.handleMessage(picture, message, wParam, lParam);
    }

    const MapPicture& picture() const { return picture_; }
    // The guide line, the cursor and the names on hover.
    MapPicturePointer& pointer() { return pointer_; }
    const MapPicturePointer& pointer() const { return pointer_; }
    // Where the ring is on the picture as it is now; none when out of view.
    std::optional<MapPoint> ringPlace() const;

private:
    std::size_t officeCount() const { return layout_.officeCount(); }
    void computePositions();
    // Draws the picture for the view: the map, then the shown offices' markers.
    void drawView();
    void viewChanged();
    // A group whose offices no scale parts: the user picks one of them by name.
    std::optional<std::size_t> chooseFromGroup(GroupId group);
    void placeRing();

    HINSTANCE instance_;
    MapControls& controls_;
    const MapScale& scale_;
    HWND window_ = nullptr;
    std::function<void()> view_changed_;
    TMapFunc* table_ = nullptr;  // the window's, once shown
    MapPicture picture_;
    MarkerStamps stamps_;
    MarkerLayout layout_;  // the view, the filter and the markers' places
    BitmapHandle bare_world_;  // the world map without markers, at scale 1
    std::optional<WorldVectors> vectors_;  // what zoomed views are drawn from; read at the first zoom
    std::optional<TLocation> ringed_;  // the office that the ring marks
    std::optional<std::size_t> ringed_office_;  // its place in the table, when known
    MapPicturePointer pointer_{controls_, picture_, layout_};
    MapPictureInput input_{*this};
};

}  // namespace mappa
