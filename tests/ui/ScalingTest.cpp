// The map window at the display density it finds. tests/ui/run-scaling-tests.sh
// runs these once at each of 96, 120, 144 and 192 dpi (the Wine prefix's
// LogPixels), naming the density in MAPPA_TEST_DPI and the file for a
// screenshot of the window in MAPPA_SCREENSHOT.
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
namespace {

using enum MapControl;

int ExpectedDpi()
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

SIZE ClientSize(HWND window)
{
    RECT client{};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

SIZE TextSize(HWND control, const std::wstring& text)
{
    SIZE size{};
    HDC dc = GetDC(control);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, previous);
    ReleaseDC(control, dc);
    return size;
}

std::wstring TextOf(HWND control)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

POINT Centre(const RECT& rect) { return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}; }

// The picture as GDI draws it: the world map at the window's size with each
// office's marker drawn in table order, the outline inside the marker.
Pixels MarkersDrawnByGdi(const TMapUI& map)
{
    const MapScale& scale = map.scale();
    MapPicture expected;
    expected.loadWorldMap(GetModuleHandleW(nullptr), map.view().picture().width(), map.view().picture().height());
    HPEN pen = scale.lineWidth() > 1 ? CreatePen(PS_INSIDEFRAME, scale.lineWidth(), RGB(0, 0, 0))
                                     : static_cast<HPEN>(GetStockObject(BLACK_PEN));
    const ScopedSelect select_pen(expected.dc(), pen);
    const TMapFunc& table = *map.table();
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

int DifferingPixels(const Pixels& a, const Pixels& b)
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

Layout LayoutOf(TMapUI& map)
{
    Layout layout{ClientSize(map.handle()), {}};
    for (const ControlLayout& control : kMapControls) layout.controls.push_back(PlaceInParent(map.control(control.id)));
    return layout;
}

// Every fixed-size control where its design place puts it at the window's density.
void ExpectScaledLayout(TMapUI& map)
{
    const MapScale& scale = map.scale();
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
    EXPECT_EQ(map.view().picture().width(), scale(kPictureWidth));
    EXPECT_EQ(map.view().picture().height(), scale(kPictureHeight));
}

TEST_F(Scaling, WindowControlsAndCompanionTakeTheirScaledPlaces)
{
    MapWindow map({Office{}});
    const MapScale& scale = map->scale();
    if (ExpectedDpi()) {
        EXPECT_EQ(scale.dpi(), ExpectedDpi());
    }
    ExpectScaledLayout(map.ui());
    const RECT legend = PlaceInParent(map->control(shKeySupport));
    EXPECT_EQ(legend.right - legend.left, scale(10));
    EXPECT_EQ(legend.bottom - legend.top, scale(25));

    // The window fits a 1366 x 768 screen at 125 %, above a taskbar of 40 pixels at 100 %.
    RECT outer{};
    GetWindowRect(map->handle(), &outer);
    const MapScale at125(120);
    SIZE there = FrameSize(at125(kClientWidth), at125(kClientHeight), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 120);
    EXPECT_LE(there.cx, 1366);
    EXPECT_LE(there.cy, 768 - at125(40));
    if (scale.dpi() == 120) {
        EXPECT_EQ(outer.right - outer.left, there.cx);
        EXPECT_EQ(outer.bottom - outer.top, there.cy);
    }

    const THiddenForm companion(GetModuleHandleW(nullptr), nullptr, map->handle());
    const SIZE client = ClientSize(companion.handle());
    EXPECT_EQ(client.cx, scale(274));
    EXPECT_EQ(client.cy, scale(53));
    const RECT label = PlaceInParent(companion.label());
    EXPECT_EQ(label.left, scale(8));
    EXPECT_EQ(label.right - label.left, scale(147));
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(companion.label(), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, scale(-11));
}

TEST_F(Scaling, ZoomingInAndHomeGiveTheDesignedPictureBackAtEveryDensity)
{
    MapWindow map(BundledData());
    const Pixels designed = Capture(map->view().picture());
    HWND picture = map->control(Image1);
    const MapPoint centre{map->view().picture().width() / 2, map->view().picture().height() / 2};
    EXPECT_TRUE(map->view().zoom(3, centre));
    EXPECT_NE(Capture(map->view().picture()), designed);
    SendMessageW(picture, WM_KEYDOWN, VK_HOME, 1);
    EXPECT_EQ(map->view().viewport().scale(), 1);
    EXPECT_EQ(Capture(map->view().picture()), designed);
}

TEST_F(Scaling, MarkersRingAndGuideLineScaleWithThePicture)
{
    std::vector<Office> offices;
    const char* types[] = {"Sales", "Support", "Partner"};
    const POINT places[] = {{0, 0}, {639, 319}, {1, 160}, {100, 100}, {103, 101}, {105, 98}, {250, 200}, {251, 200}};
    for (std::size_t i = 0; i < std::size(places); ++i)
        for (std::size_t t = 0; t < std::size(types); ++t)
            offices.push_back(Office{.type = types[(i + t) % 3], .x = int(places[i].x) + int(t) * 40, .y = int(places[i].y)});
    MapWindow map(offices);
    const MapScale& scale = map->scale();
    EXPECT_EQ(DifferingPixels(Capture(map->view().picture()), MarkersDrawnByGdi(map.ui())), 0);

    for (std::size_t i : {3u, 4u, 5u}) {
        const TLocation office = ToLocation(map->table()->Locations[i]);
        map->showInfo(office);
        const int size = scale.ringSizeFor(KindOfOffice(office.OfficeType));
        const RECT ring = PlaceInParent(map->control(Overlay));
        EXPECT_EQ(ring.left, office.MapX - size / 2) << office.OfficeType;
        EXPECT_EQ(ring.top, office.MapY - size / 2);
        EXPECT_EQ(ring.right - ring.left, size);
        EXPECT_EQ(ring.bottom - ring.top, size);
    }

    // A guide line as wide as the outline, from the pointer to the nearest office, and gone again.
    const Pixels clean = Capture(map->view().picture());
    const POINT inside = Centre(map->view().onScreen());
    const LocationView& target = map->table()->Locations[3];
    const MapPoint from{target.MapX - scale(60), target.MapY - scale(45)};
    map->Image1MouseMove(from.x, from.y, inside);
    ASSERT_TRUE(map->view().guide().lineShown);
    ASSERT_EQ(map->view().guide().hoverLoc, (MapPoint{target.MapX, target.MapY}));
    const Pixels drawn = Capture(map->view().picture());
    const int width = map->view().picture().width();
    const double dx = target.MapX - from.x, dy = target.MapY - from.y, length = std::hypot(dx, dy);
    int changed = 0;
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        if (drawn[i] == clean[i]) continue;
        ++changed;
        const double px = double(i % width) + 0.5 - from.x, py = double(i / width) + 0.5 - from.y;
        const double across = std::fabs(px * dy - py * dx) / length;
        EXPECT_LE(across, scale.lineWidth() + 0.5) << "pixel " << i % width << "," << i / width;
    }
    EXPECT_GE(changed, length * scale.lineWidth() / 3);
    EXPECT_LE(changed, (length + 2) * (scale.lineWidth() + 1));
    map->FormMouseMove();
    EXPECT_EQ(Capture(map->view().picture()), clean);
}

// Pointing at any office of the bundled list shows the hand and finds the
// office that pointing at it finds at 96 dpi.
TEST_F(Scaling, EveryBundledOfficeGivesTheHandAndTheOfficeItGivesAtTheDesignDensity)
{
    MapWindow map(BundledData());
    const LocationSlots& offices = map->table()->Locations;
    const std::size_t count = offices.dataCount();
    ASSERT_GT(count, 50u);
    TMapFunc design(map.source);
    design.computePositions(kPictureWidth, kPictureHeight);
    const POINT inside = Centre(map->view().onScreen());
    for (std::size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(offices[i].Name);
        const std::size_t expected =
            NearestLocation(design.Locations, count, {design.Locations[i].MapX, design.Locations[i].MapY});
        const MapPoint at{offices[i].MapX, offices[i].MapY};
        EXPECT_EQ(map->view().nearestLocation(at), expected);
        map->Image1MouseMove(at.x, at.y, inside);
        EXPECT_EQ(map->view().cursor(), LoadCursor(nullptr, IDC_HAND));
        EXPECT_EQ(map->view().guide().hoverLoc, (MapPoint{offices[expected].MapX, offices[expected].MapY}));
    }
}

// The texts of the office panels and the country list that run past their
// control, one "control: text" each, at the density the window is laid out for.
std::set<std::string> OverflowingTexts(MapWindow& map)
{
    std::set<std::string> overflowing;
    const LocationSlots& offices = map->table()->Locations;
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
    const int dpi = map->scale().dpi();
    const std::set<std::string> here = OverflowingTexts(map);
    SetDensity(map, kDesignPixelsPerInch);
    const std::set<std::string> design = OverflowingTexts(map);
    SetDensity(map, dpi);
    ASSERT_EQ(map->scale().dpi(), dpi);
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
    const int dpi = map->scale().dpi();
    const int other = dpi == 144 ? 192 : 144;
    const TLocation madrid = ToLocation(map->table()->Locations[0]);
    ASSERT_EQ(madrid.Name, "Norvantic Iberia S.L.");
    map->showInfo(madrid);
    HWND combo = map->control(ComboBox1);
    const LRESULT selected = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    const Layout before = LayoutOf(map.ui());
    const Pixels picture = Capture(map->view().picture());
    RECT outer{};
    GetWindowRect(map->handle(), &outer);

    // What the system asks before it suggests a size, then the change itself.
    SIZE asked{};
    EXPECT_TRUE(SendMessageW(map->handle(), kGetDpiScaledSizeMessage, other, reinterpret_cast<LPARAM>(&asked)));
    RECT suggested{outer.left + 10, outer.top + 20, outer.left + 10 + asked.cx, outer.top + 20 + asked.cy};
    SendMessageW(map->handle(), kDpiChangedMessage, MAKEWPARAM(other, other), reinterpret_cast<LPARAM>(&suggested));
    Pump();
    EXPECT_EQ(map->scale().dpi(), other);
    ExpectScaledLayout(map.ui());
    RECT moved{};
    GetWindowRect(map->handle(), &moved);
    EXPECT_EQ(moved.left, suggested.left);
    EXPECT_EQ(moved.top, suggested.top);
    EXPECT_EQ(DifferingPixels(Capture(map->view().picture()), MarkersDrawnByGdi(map.ui())), 0);
    const MapPoint there = TMapFunc::projectLocation(madrid, map->view().picture().width(), map->view().picture().height());
    const int ring = map->scale().ringSizeFor(OfficeKind::Sales);
    const RECT overlay = PlaceInParent(map->control(Overlay));
    EXPECT_EQ(overlay.left, there.x - ring / 2);
    EXPECT_EQ(overlay.top, there.y - ring / 2);
    EXPECT_EQ(overlay.right - overlay.left, ring);
    EXPECT_TRUE(IsWindowVisible(map->control(Overlay)));
    EXPECT_EQ(map.text(ldName), "Norvantic Iberia S.L.");
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), selected);

    // A density that no monitor has changes nothing.
    SendMessageW(map->handle(), kDpiChangedMessage, MAKEWPARAM(0, 0), reinterpret_cast<LPARAM>(&outer));
    EXPECT_EQ(map->scale().dpi(), other);

    SendMessageW(map->handle(), kDpiChangedMessage, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&outer));
    Pump();
    EXPECT_TRUE(LayoutOf(map.ui()) == before);
    EXPECT_EQ(DifferingPixels(Capture(map->view().picture()), picture), 0);
    RECT back{};
    GetWindowRect(map->handle(), &back);
    EXPECT_TRUE(EqualRect(&back, &outer));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), selected);
}

TEST_F(Scaling, PlacementIsSavedAndComparedAtTheWindowsDensity)
{
    MapWindow map({Office{}});
    const PlacementWindow window = map->placementWindow();
    const int dpi = map->scale().dpi();
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
TEST(DensityAwareness, TheProgramDeclaresPerMonitorV2WithPerMonitorForOlderSystems)
{
    const std::wstring program = Utf8ToWide(MAPPA_EXE);
    ACTCTXW request{};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = program.c_str();
    request.lpResourceName = MAKEINTRESOURCEW(1);
    HANDLE context = CreateActCtxW(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    const auto setting = [&](const wchar_t* space, const wchar_t* name) {
        wchar_t value[128] = {};
        SIZE_T written = 0;
        if (!QueryActCtxSettingsW(0, context, space, name, value, std::size(value), &written)) return std::string("<none>");
        return WideToUtf8(value);
    };
    EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"), "PerMonitorV2, PerMonitor");
    EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"), "true/pm");
    ReleaseActCtx(context);
}

// Writes a 24-bit BMP of a screen rectangle.
bool SaveScreen(const RECT& area, const std::string& path)
{
    const int width = area.right - area.left, height = area.bottom - area.top;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    SelectObject(dc, previous);
    BITMAPINFOHEADER header{sizeof header, width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    const int stride = (width * 3 + 3) & ~3;
    std::vector<char> rows(static_cast<std::size_t>(stride) * height);
    const bool read = GetDIBits(dc, bitmap, 0, height, rows.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS) == height;
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file{0x4D42, DWORD(sizeof(BITMAPFILEHEADER) + sizeof header + rows.size()), 0, 0,
                          DWORD(sizeof(BITMAPFILEHEADER) + sizeof header)};
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&header), sizeof header);
    out.write(rows.data(), static_cast<std::streamsize>(rows.size()));
    return read && out.good();
}

// The window as a user sees it, with an office chosen and a guide line drawn.
TEST_F(Scaling, Screenshot)
{
    const char* path = std::getenv("MAPPA_SCREENSHOT");
    if (!path) GTEST_SKIP() << "MAPPA_SCREENSHOT names no file";
    MapWindow map(BundledData());
    const TMapFunc& table = *map->table();
    TLocation madrid = table.getLocation(0);
    map->showInfo(madrid);
    ASSERT_TRUE(MovePointer(PictureOnScreen(map.ui(), madrid.MapX + map->scale()(70), madrid.MapY + map->scale()(40))));
    Pump();
    POINT pointer{};
    GetCursorPos(&pointer);
    map->Image1MouseMove(madrid.MapX + map->scale()(70), madrid.MapY + map->scale()(40), pointer);
    RedrawWindow(map->handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Pump();
    Sleep(300);
    Pump();
    RECT outer{};
    GetWindowRect(map->handle(), &outer);
    EXPECT_TRUE(SaveScreen(outer, path));
    ParkPointer();
}

}  // namespace
}  // namespace mappa::uitest
