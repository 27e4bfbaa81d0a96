// The map picture as the window shows it: a marker per office on the world
// map, the dotted guide line to the office nearest the pointer, the hand
// cursor and the offices' names on hover, the ring on the shown office, and
// the keys and the mouse on the focused picture. It composes the owners of
// each and draws the picture anew when its view changes.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>

#include "mapdata/MapFunc.h"
#include "ui/MapControls.h"
#include "ui/MapNavigation.h"
#include "ui/MapPicture.h"
#include "ui/MapPictureDrawing.h"
#include "ui/MapPictureInput.h"
#include "ui/MapPicturePointer.h"
#include "ui/MapScale.h"
#include "ui/MarkerLayout.h"
#include "ui/OfficePicker.h"
#include "ui/SelectionRing.h"

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
    // The ring on `location` (office `office` of the table, if it is one), and a
    // screen reader told its name as the map's value.
    void showSelected(const TLocation& location, std::optional<std::size_t> office = std::nullopt);

    // The messages of the picture control.
    LRESULT handleMessage(HWND picture, UINT message, WPARAM wParam, LPARAM lParam)
    {
        return input_.handleMessage(picture, message, wParam, lParam);
    }

    const MapPicture& picture() const { return drawing_.picture(); }
    // The guide line, the cursor and the names on hover.
    MapPicturePointer& pointer() { return pointer_; }
    const MapPicturePointer& pointer() const { return pointer_; }
    // Zooming, panning and the filter: the picture is drawn anew for the view.
    MapNavigation& navigation() { return navigation_; }
    // The office that the pointer or a key selects.
    OfficePicker& picker() { return picker_; }

private:
    void viewChanged(MapNavigation::Change change);

    MapControls& controls_;
    const MapScale& scale_;
    std::function<void()> view_changed_;
    TMapFunc* table_ = nullptr;  // the window's, once shown
    MarkerLayout layout_;  // the view, the filter and the markers' places
    MapPictureDrawing drawing_;
    SelectionRing ring_;
    MapPicturePointer pointer_;
    MapNavigation navigation_;
    OfficePicker picker_;
    MapPictureInput input_;
};

}  // namespace mappa
