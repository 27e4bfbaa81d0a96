// Zooming and panning the map with the wheel, the keys and drags, the filter by
// office type, and the view following the selection, through the messages the
// picture receives.
#include <gtest/gtest.h>

#include <oleacc.h>
#include <windowsx.h>
#include <wrl/client.h>

#include "MapHarness.h"
#include "support/Support2Win.h"
#include "ui/MapViewport.h"

namespace mappa::uitest {
namespace {


const std::vector<Office> kOffices = {
    Office{.name = "Lisbon", .country = "Portugal", .type = "Sales", .x = 300, .y = 90},
    Office{.name = "Madrid", .country = "Spain", .type = "Support", .x = 310, .y = 92},
    Office{.name = "Sydney", .country = "Australia", .type = "Sales", .x = 590, .y = 230},
};

class Zoom : public testing::Test {
protected:
    void SetUp() override
    {
        ParkPointer();
        designed = Capture(map->parts().view.picture());
    }
    HWND picture() { return map->control(MapControl::Image1); }
    // A wheel turn with the pointer over picture pixel (x, y).
    void wheel(int delta, int x, int y)
    {
        POINT at{x, y};
        ClientToScreen(picture(), &at);
        SendMessageW(picture(), WM_MOUSEWHEEL, MAKEWPARAM(0, delta), MAKELPARAM(at.x, at.y));
    }
    void key(WPARAM key) { SendMessageW(picture(), WM_KEYDOWN, key, 1); }
    void mouse(UINT message, int x, int y) { SendMessageW(picture(), message, 0, MAKELPARAM(x, y)); }
    const MapViewport& view() { return map->parts().view.navigation().viewport(); }

    MapWindow map{kOffices};
    Pixels designed;
};

TEST_F(Zoom, TheWheelZoomsAboutThePointerAndHomeGivesTheDesignedPictureBack)
{
    wheel(60, 300, 90);
    EXPECT_EQ(view().scale(), 1) << "half a notch does nothing yet";
    wheel(60, 300, 90);
    ASSERT_EQ(view().scale(), 2) << "two halves make a notch";
    wheel(2 * WHEEL_DELTA, 300, 90);
    ASSERT_EQ(view().scale(), 8);

    // Lisbon was under the pointer and stays there, its marker drawn about it.
    const MapPoint lisbon = view().toPicture(ZoomedPlace(map->parts().table->Locations[0], 640, 320, 8));
    EXPECT_LE(std::abs(lisbon.x - 300), 8);
    EXPECT_LE(std::abs(lisbon.y - 90), 8);
    const Pixels zoomed = Capture(map->parts().view.picture());
    EXPECT_EQ(At(zoomed, lisbon.x, lisbon.y), kSalesColour);
    EXPECT_NE(zoomed, designed);
    // Madrid, 10 pixels east at scale 1, is about 80 east now.
    const MapPoint madrid = view().toPicture(ZoomedPlace(map->parts().table->Locations[1], 640, 320, 8));
    EXPECT_NEAR(madrid.x - lisbon.x, 80, 8);
    EXPECT_EQ(At(zoomed, madrid.x, madrid.y), kSupportColour);

    wheel(-WHEEL_DELTA, 300, 90);
    EXPECT_EQ(view().scale(), 4);
    key(VK_HOME);
    EXPECT_EQ(view().scale(), 1);
    EXPECT_EQ(Capture(map->parts().view.picture()), designed) << "scale 1 is the designed picture, pixel for pixel";
    EXPECT_EQ(CaptureBitmap(map->parts().table->CleanMap.get(), 640, 320), designed);
}

TEST_F(Zoom, KeysZoomAboutTheSelectedOfficeAndPanByAQuarter)
{
    map->Image1MouseMove(590, 230, PictureOnScreen(map.ui(), 590, 230));
    map->Image1Click();
    ASSERT_EQ(map->parts().selection.office(), 2u);
    key(VK_ADD);
    key(VK_OEM_PLUS);
    ASSERT_EQ(view().scale(), 4);
    const MapPoint sydney = view().toPicture(ZoomedPlace(map->parts().table->Locations[2], 640, 320, 4));
    EXPECT_TRUE(view().shows(view().toWorld(sydney))) << "zoomed about the selected office, which stays in view";

    const MapPoint before = view().origin();
    BYTE keys[256]{};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    key(VK_LEFT);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(view().origin().x, before.x - 160) << "Ctrl+Left pans by a quarter of the picture";
    EXPECT_EQ(map->parts().selection.office(), 2u) << "panning leaves the selection";

    key(VK_SUBTRACT);
    key(VK_OEM_MINUS);
    key(VK_OEM_MINUS);
    EXPECT_EQ(view().scale(), 1);
}

TEST_F(Zoom, ADragPansAndIsNeverAClick)
{
    const int away = GetSystemMetrics(SM_CXDRAG) + 20;
    // At scale 1 there is nothing to pan, and a drag selects nothing.
    mouse(WM_LBUTTONDOWN, 300, 90);
    mouse(WM_MOUSEMOVE, 300 + away, 90);
    mouse(WM_LBUTTONUP, 300 + away, 90);
    EXPECT_FALSE(map->parts().selection.office());
    EXPECT_EQ(Capture(map->parts().view.picture()), designed);

    wheel(WHEEL_DELTA, 320, 160);
    const MapPoint origin = view().origin();
    mouse(WM_LBUTTONDOWN, 300, 90);
    mouse(WM_MOUSEMOVE, 300 + away, 100);
    mouse(WM_MOUSEMOVE, 300 + away + 5, 100);
    mouse(WM_LBUTTONUP, 300 + away + 5, 100);
    EXPECT_EQ(view().origin(), (MapPoint{origin.x - away - 5, origin.y - 10})) << "the world follows the pointer";
    EXPECT_FALSE(map->parts().selection.office());

    // Less than the drag distance is a click, as at scale 1.
    map->Image1MouseMove(300, 90, PictureOnScreen(map.ui(), 300, 90));
    mouse(WM_LBUTTONDOWN, 300, 90);
    mouse(WM_MOUSEMOVE, 301, 90);
    mouse(WM_LBUTTONUP, 301, 90);
    EXPECT_TRUE(map->parts().selection.office());
}

TEST_F(Zoom, TheFilterHidesAKindAtEveryScaleButTheListStillShowsIt)
{
    OfficeFilter noSupport;
    noSupport.show(OfficeKind::Support, false);
    map->parts().view.navigation().setFilter(noSupport);
    const Pixels filtered = Capture(map->parts().view.picture());
    EXPECT_NE(At(filtered, 310, 92), kSupportColour) << "Madrid's yellow marker is gone at scale 1";
    EXPECT_EQ(At(filtered, 300, 90), At(designed, 300, 90)) << "Lisbon's stays";
    EXPECT_EQ(At(filtered, 590, 230), At(designed, 590, 230));

    // Pointing at Madrid finds Lisbon; a click there selects Lisbon.
    map->Image1MouseMove(310, 92, PictureOnScreen(map.ui(), 310, 92));
    EXPECT_EQ(map->parts().view.pointer().guide().hoverLoc, (MapPoint{300, 90}));
    map->Image1Click();
    EXPECT_EQ(map->parts().selection.office(), 0u);

    // The country list still has Spain, and shows Madrid as designed.
    const std::vector<std::string> entries = ComboEntries(map->control(MapControl::ComboBox1));
    const auto spain = std::find(entries.begin(), entries.end(), "Spain");
    ASSERT_NE(spain, entries.end());
    SendMessageW(map->control(MapControl::ComboBox1), CB_SETCURSEL, spain - entries.begin(), 0);
    map->ComboBox1Click();
    EXPECT_EQ(map.text(MapControl::ldName), "Madrid");
    EXPECT_EQ(map->parts().selection.office(), 1u);

    map->parts().view.navigation().setFilter({});
    EXPECT_EQ(Capture(map->parts().view.picture()), designed);
}

TEST_F(Zoom, TheViewFollowsTheSelectionAndTellsAScreenReaderWhereItIs)
{
    wheel(3 * WHEEL_DELTA, 300, 90);  // scale 8 over Iberia
    ASSERT_EQ(view().scale(), 8);
    const std::vector<std::string> entries = ComboEntries(map->control(MapControl::ComboBox1));
    const auto australia = std::find(entries.begin(), entries.end(), "Australia");
    ASSERT_NE(australia, entries.end());
    SendMessageW(map->control(MapControl::ComboBox1), CB_SETCURSEL, australia - entries.begin(), 0);
    map->ComboBox1Click();
    EXPECT_EQ(view().scale(), 8) << "the scale stays";
    const MapPoint sydney = view().toPicture(ZoomedPlace(map->parts().table->Locations[2], 640, 320, 8));
    ASSERT_TRUE(view().shows(view().toWorld(sydney)));
    // The ring is on Sydney's zoomed place.
    const RECT ring = PlaceInParent(map->control(MapControl::Overlay));
    EXPECT_NEAR((ring.left + ring.right) / 2, sydney.x, 2);
    EXPECT_NEAR((ring.top + ring.bottom) / 2, sydney.y, 2);
    EXPECT_TRUE(IsWindowVisible(map->control(MapControl::Overlay)));

    Microsoft::WRL::ComPtr<IAccessible> accessible;
    ASSERT_HRESULT_SUCCEEDED(
        AccessibleObjectFromWindow(picture(), OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(accessible.GetAddressOf())));
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR text = nullptr;
    ASSERT_HRESULT_SUCCEEDED(accessible->get_accDescription(self, &text));
    const std::string description = WideToUtf8(text ? text : L"");
    SysFreeString(text);
    EXPECT_EQ(description, DescribeView(view()));
    EXPECT_EQ(description.rfind("Scale 8, centred on ", 0), 0u) << description;
    EXPECT_NE(description.find(" S "), std::string::npos) << description;
    EXPECT_NE(description.find(" E"), std::string::npos) << description;
}

TEST(ZoomGroups, CrowdedOfficesShowAsOneCountedMarkerAndAClickZoomsInUntilTheyPart)
{
    ParkPointer();
    // Four pixels apart at scale 1: one marker at scale 2, two at scale 4.
    MapWindow map({Office{.name = "North", .type = "Sales", .x = 200, .y = 100},
                   Office{.name = "South", .type = "Sales", .x = 200, .y = 104},
                   Office{.name = "Far", .type = "Sales", .x = 500, .y = 250}});
    const Pixels designed = Capture(map->parts().view.picture());
    EXPECT_EQ(At(designed, 200, 106), kSalesColour) << "at scale 1 every office keeps its own marker";
    const MapViewport& view = map->parts().view.navigation().viewport();

    ASSERT_TRUE(map->parts().view.navigation().zoom(1, {200, 102}));
    const MapPoint north = view.toPicture(ZoomedPlace(map->parts().table->Locations[0], 640, 320, 2));
    const Pixels grouped = Capture(map->parts().view.picture());
    // The group's white disc lies between the two, where neither office's cyan marker is drawn.
    EXPECT_EQ(At(grouped, north.x, north.y + 4), (Rgb{255, 255, 255}));
    EXPECT_NE(At(grouped, north.x, north.y - 2), kSalesColour);

    // Pointing at the group draws the line to it; its tooltip names both.
    map->Image1MouseMove(north.x, north.y + 4, PictureOnScreen(map.ui(), north.x, north.y + 4));
    EXPECT_TRUE(map->parts().view.pointer().guide().lineShown);
    EXPECT_NEAR(map->parts().view.pointer().guide().hoverLoc.y, north.y + 4, 1);

    map->Image1Click();
    EXPECT_EQ(view.scale(), 4) << "a click on the group zooms in until it parts";
    EXPECT_FALSE(map->parts().selection.office());
    const Pixels parted = Capture(map->parts().view.picture());
    const MapPoint north4 = view.toPicture(ZoomedPlace(map->parts().table->Locations[0], 640, 320, 4));
    const MapPoint south4 = view.toPicture(ZoomedPlace(map->parts().table->Locations[1], 640, 320, 4));
    EXPECT_EQ(At(parted, north4.x, north4.y), kSalesColour);
    EXPECT_EQ(At(parted, south4.x, south4.y), kSalesColour);

    // Selecting an office that a group holds at scale 2 rings the group.
    map->parts().view.navigation().zoom(-1, {320, 160});
    const MapPoint north2 = view.toPicture(ZoomedPlace(map->parts().table->Locations[0], 640, 320, 2));
    map->parts().view.showSelected(ToLocation(map->parts().table->Locations[1]), 1);
    const RECT ring = PlaceInParent(map->control(MapControl::Overlay));
    const MapPoint centre{(ring.left + ring.right) / 2, (ring.top + ring.bottom) / 2};
    const MapPoint south = view.toPicture(ZoomedPlace(map->parts().table->Locations[1], 640, 320, 2));
    EXPECT_NEAR(centre.y, (north2.y + south.y) / 2, 2) << "the ring marks the group that holds the office";
    EXPECT_GT(ring.right - ring.left, 16);
}

}  // namespace
}  // namespace mappa::uitest
