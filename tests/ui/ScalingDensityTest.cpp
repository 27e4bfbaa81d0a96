// Texts in their controls, and the window laid out anew, at each display density
// (run by tests/ui/run-scaling-tests.sh, as the other scaling tests are).
#include "ScalingHarness.h"

namespace mappa::uitest {
namespace {

using enum MapControl;

// The texts of the office panels and the country list that run past their
// control, one "control: text" each, at the density the window is laid out for.
std::set<std::string> OverflowingTexts(MapWindow& map)
{
    std::set<std::string> overflowing;
    const LocationSlots& offices = map->parts().table->Locations;
    for (std::size_t i = 0; i < offices.dataCount(); ++i) {
        map->showInfo(ToLocation(offices[i]));
        for (const MapControl name : {ldName, ldPhone, ldFax, ldToll, ldInterToll, ldEmail}) {
            HWND panel = map->control(name);
            const std::wstring text = TextOf(panel);
            const SIZE size = TextSize(panel, text);
            const SIZE room = ClientSize(panel);
            if (size.cx > room.cx || size.cy > room.cy)
                overflowing.insert(std::string(mappa::LayoutOf(name).name) + ": " + WideToUtf8(text));
        }
    }
    HWND combo = map->control(ComboBox1);
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    EXPECT_TRUE(GetComboBoxInfo(combo, &info));
    const LRESULT entries = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    EXPECT_GT(entries, 50);
    for (LRESULT i = 0; i < entries; ++i) {
        std::wstring entry(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        entry.resize(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(entry.data()))));
        if (TextSize(combo, entry).cx > info.rcItem.right - info.rcItem.left) overflowing.insert("ComboBox1: " + WideToUtf8(entry));
    }
    return overflowing;
}

// Lays the window out for `dpi` as a move to a monitor of that density does.
void SetDensity(MapWindow& map, int dpi)
{
    RECT outer{};
    GetWindowRect(map->handle(), &outer);
    SendMessageW(map->handle(), kDpiChangedMessage, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&outer));
    Pump();
}

// With every text of the bundled list, no text runs past its control or into
// the next one. The fonts that stand in for the design's under Wine are wider
// than the design's rooms for a few texts at 96 dpi, where nothing may move:
// those may run over at every density, and no other may.
TEST_F(Scaling, EveryTextFitsItsControl)
{
    MapWindow map(BundledData());
    const int dpi = map->parts().scale.dpi();
    const std::set<std::string> here = OverflowingTexts(map);
    SetDensity(map, kDesignPixelsPerInch);
    const std::set<std::string> design = OverflowingTexts(map);
    SetDensity(map, dpi);
    ASSERT_EQ(map->parts().scale.dpi(), dpi);
    for (const std::string& text : here) EXPECT_TRUE(design.count(text)) << text << " runs over only at " << dpi << " dpi";
    EXPECT_LE(design.size(), 3u) << "the design's rooms hold nearly every text";

    for (const MapControl name : {bCopy, bExit}) {
        HWND button = map->control(name);
        EXPECT_LE(TextSize(button, TextOf(button)).cx + 2 * GetSystemMetrics(SM_CXEDGE), ClientSize(button).cx) << name;
    }

    // Labels are as large as their text; each ends before the control to its right.
    const struct {
        MapControl label;
        std::optional<MapControl> next;  // none: the window's right edge
    } rows[] = {{lsCountry, ComboBox1}, {lsName, ldName},          {lsPhone, ldPhone},
                {lsFax, ldFax},         {lsEMail, ldEmail},        {lsToll, ldToll},
                {Label1, ldInterToll},  {lsWebLink, Label2},       {Label2, shKeySupport},
                {lsWebLink2, std::nullopt}};
    for (const auto& row : rows) {
        HWND label = map->control(row.label);
        const RECT place = PlaceInParent(label);
        EXPECT_GE(place.right - place.left, TextSize(label, TextOf(label)).cx) << mappa::LayoutOf(row.label).name;
        const long end = row.next ? PlaceInParent(map->control(*row.next)).left : ClientSize(map->handle()).cx;
        EXPECT_LE(place.right, end) << mappa::LayoutOf(row.label).name;
    }
}

// A new density (another monitor, another scaling): the window lays itself out
// anew with its markers, selection and ring, and going back gives the very
// window it was.
TEST_F(Scaling, DensityChangeLaysTheWindowOutAnewAndBack)
{
    MapWindow map(BundledData());
    const int dpi = map->parts().scale.dpi();
    const int other = dpi == 144 ? 192 : 144;
    const TLocation madrid = ToLocation(map->parts().table->Locations[0]);
    ASSERT_EQ(madrid.Name, "Norvantic Iberia S.L.");
    map->showInfo(madrid);
    HWND combo = map->control(ComboBox1);
    const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    const Layout before = LayoutOf(map.ui());
    const Pixels picture = Capture(map->parts().view.picture());
    RECT outer{};
    GetWindowRect(map->handle(), &outer);

    // What the system asks before it suggests a size, then the change itself.
    SIZE asked{};
    EXPECT_TRUE(SendMessageW(map->handle(), kGetDpiScaledSizeMessage, other, reinterpret_cast<LPARAM>(&asked)));
    RECT suggested{outer.left + 10, outer.top + 20, outer.left + 10 + asked.cx, outer.top + 20 + asked.cy};
    SendMessageW(map->handle(), kDpiChangedMessage, MAKEWPARAM(other, other), reinterpret_cast<LPARAM>(&suggested));
    Pump();
    EXPECT_EQ(map->parts().scale.dpi(), other);
    ExpectScaledLayout(map.ui());
    RECT moved{};
    GetWindowRect(map->handle(), &moved);
    EXPECT_EQ(moved.left, suggested.left);
    EXPECT_EQ(moved.top, suggested.top);
    EXPECT_EQ(DifferingPixels(Capture(map->parts().view.picture()), MarkersDrawnByGdi(map.ui())), 0);
    const MapPicture& rescaled = map->parts().view.picture();
    const MapPoint there = TMapFunc::projectLocation(madrid, rescaled.width(), rescaled.height());
    const int ring = map->parts().scale.ringSizeFor(OfficeKind::Sales);
    const RECT overlay = PlaceInParent(map->control(Overlay));
    EXPECT_EQ(overlay.left, there.x - ring / 2);
    EXPECT_EQ(overlay.top, there.y - ring / 2);
    EXPECT_EQ(overlay.right - overlay.left, ring);
    EXPECT_TRUE(IsWindowVisible(map->control(Overlay)));
    EXPECT_EQ(map.text(ldName), "Norvantic Iberia S.L.");
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), selected);

    // A density that no monitor has changes nothing.
    SendMessageW(map->handle(), kDpiChangedMessage, MAKEWPARAM(0, 0), reinterpret_cast<LPARAM>(&outer));
    EXPECT_EQ(map->parts().scale.dpi(), other);

    SendMessageW(map->handle(), kDpiChangedMessage, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&outer));
    Pump();
    EXPECT_TRUE(LayoutOf(map.ui()) == before);
    EXPECT_EQ(DifferingPixels(Capture(map->parts().view.picture()), picture), 0);
    RECT back{};
    GetWindowRect(map->handle(), &back);
    EXPECT_TRUE(EqualRect(&back, &outer));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), selected);
}

TEST_F(Scaling, PlacementIsSavedAndComparedAtTheWindowsDensity)
{
    MapWindow map({Office{}});
    const PlacementWindow window = map->parts().placement.window();
    const int dpi = map->parts().scale.dpi();
    const std::string density = "," + std::to_string(dpi) + ",Normal";
    const std::string saved = PlacementText(map->handle(), PlacementScreen(window));
    EXPECT_EQ(saved.substr(saved.size() - density.size()), density);

    ApplyPlacement(window, "100,60,10,10" + density, true, PlacementScreen(window));
    RECT outer{};
    GetWindowRect(map->handle(), &outer);
    EXPECT_EQ(outer.left, 100);
    EXPECT_EQ(outer.top, 60);

    const std::string elsewhere = "100,60,10,10," + std::to_string(dpi == 96 ? 120 : 96) + ",Normal";
    ApplyPlacement(window, elsewhere, true, PlacementScreen(window));
    GetWindowRect(map->handle(), &outer);
    EXPECT_NE(outer.left, 100) << "a placement saved at another density stays unapplied";
}

// The system reads the program's density awareness from its manifest.
}  // namespace
}  // namespace mappa::uitest
