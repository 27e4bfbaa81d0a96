// What the tests of the map window at each display density share: the density
// that tests/ui/run-scaling-tests.sh set, and the sizes and places of controls
// and texts.
#pragma once

#include <gtest/gtest.h>

#include "MapHarness.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <set>
#include <optional>
#include <string>
#include <vector>

#include "app/HiddenDlg.h"
#include "support/DisplayDpi.h"
#include "support/Support2PlacementWin.h"
#include "support/Support2Win.h"
#include "ui/MapLayout.h"

namespace mappa::uitest {

using enum MapControl;

inline int ExpectedDpi()
{
    const char* dpi = std::getenv("MAPPA_TEST_DPI");
    return dpi ? std::atoi(dpi) : 0;
}

class Scaling : public testing::Test {
protected:
    void SetUp() override
    {
        if (ExpectedDpi()) {
            ASSERT_EQ(MapScale(SystemDpi()).dpi(), ExpectedDpi()) << "the prefix's LogPixels did not take";
        }
    }
};

inline SIZE ClientSize(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

inline SIZE TextSize(HWND control, const std::wstring& text)
{
    SIZE size{};
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return size;
}

inline std::wstring TextOf(HWND control)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

inline POINT Centre(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

// The picture as GDI draws it: the world map at the window's size with each
// office's marker drawn in table order, the outline inside the marker.
inline Pixels MarkersDrawnByGdi(TMapUI& map)
{
    const MapScale& scale = map.parts().scale;
    MapPicture expected;
    const MapPicture& picture = map.parts().view.picture();
    expected.loadWorldMap(GetModuleHandleW(nullptr), picture.width(), picture.height());
    HPEN pen = scale.lineWidth() > 1 ? CreatePen(PS_INSIDEFRAME, scale.lineWidth(), RGB(0, 0, 0))
                                     : static_cast<HPEN>(GetStockObject(BLACK_PEN));
    const ScopedSelect select_pen(expected.dc(), pen);
    const TMapFunc& table = *map.parts().table;
    for (std::size_t i = 0; i < table.Locations.dataCount(); ++i) {
        const LocationView& office = table.Locations[i];
        const MarkerStyle marker = scale.markerFor(KindOfOffice(office.OfficeType));
        HBRUSH brush = CreateSolidBrush(ToColorRef(marker.colour));
        const ScopedSelect select_brush(expected.dc(), brush);
        const int half = marker.size / 2;
        Ellipse(expected.dc(), office.MapX - half, office.MapY - half, office.MapX + half, office.MapY + half);
        SelectObject(expected.dc(), GetStockObject(NULL_BRUSH));
        DeleteObject(brush);
    }
    SelectObject(expected.dc(), GetStockObject(BLACK_PEN));
    if (scale.lineWidth() > 1) DeleteObject(pen);
    return Capture(expected);
}

inline int DifferingPixels(const Pixels& a, const Pixels& b)
{
    if (a.size() != b.size()) return -1;
    int differing = 0;
    for (std::size_t i = 0; i < a.size(); ++i) differing += !(a[i] == b[i]);
    return differing;
}

// Everything of the window's layout that a density change may move, in client pixels.
struct Layout {
    SIZE client;
    std::vector<RECT> controls;
    bool operator==(const Layout& other) const
    {
        return client.cx == other.client.cx && client.cy == other.client.cy &&
               std::equal(controls.begin(), controls.end(), other.controls.begin(), other.controls.end(),
                          [](const RECT& a, const RECT& b) { return EqualRect(&a, &b); });
    }
};

inline Layout LayoutOf(TMapUI& map)
{
    Layout layout{ClientSize(map.handle()), {}};
    for (const ControlLayout& control : kMapControls) layout.controls.push_back(PlaceInParent(map.control(control.id)));
    return layout;
}

// Every fixed-size control where its design place puts it at the window's density.
inline void ExpectScaledLayout(TMapUI& map)
{
    const MapScale& scale = map.parts().scale;
    const SIZE client = ClientSize(map.handle());
    EXPECT_EQ(client.cx, scale(kClientWidth));
    EXPECT_EQ(client.cy, scale(kClientHeight));
    for (const ControlLayout& layout : kMapControls) {
        SCOPED_TRACE(layout.name);
        const ControlBounds expected = scale.bounds(layout);
        HWND control = map.control(layout.id);
        // The ring stands on the office it marks once it is shown.
        if (layout.traits & kStartsHidden && IsWindowVisible(control)) continue;
        const RECT place = PlaceInParent(control);
        EXPECT_EQ(place.left, expected.left);
        EXPECT_EQ(place.top, expected.top);
        if (layout.width != 0 && layout.kind != ControlKind::Shape) {
            EXPECT_EQ(place.right - place.left, expected.width);
            // A combo box is as high as its font makes it.
            if (layout.kind != ControlKind::ComboBox) {
                EXPECT_EQ(place.bottom - place.top, expected.height);
            }
        }
    }
    EXPECT_EQ(map.parts().view.picture().width(), scale(kPictureWidth));
    EXPECT_EQ(map.parts().view.picture().height(), scale(kPictureHeight));
}

}  // namespace mappa::uitest
