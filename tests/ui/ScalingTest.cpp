// The map window at the display density it finds. tests/ui/run-scaling-tests.sh
// runs these once at each of 96, 120, 144 and 192 dpi (the Wine prefix's
// LogPixels), naming the density in MAPPA_TEST_DPI and the file for a
// screenshot of the window in MAPPA_SCREENSHOT.
#include "ScalingHarness.h"

namespace mappa::uitest {
namespace {

using enum MapControl;

TEST_F(Scaling, WindowControlsAndCompanionTakeTheirScaledPlaces)
{
    MapWindow map({Office{}});
    const MapScale& scale = map->parts().scale;
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
    const Pixels designed = Capture(map->parts().view.picture());
    HWND picture = map->control(Image1);
    const MapPoint centre{map->parts().view.picture().width() / 2, map->parts().view.picture().height() / 2};
    EXPECT_TRUE(map->parts().view.navigation().zoom(3, centre));
    EXPECT_NE(Capture(map->parts().view.picture()), designed);
    SendMessageW(picture, WM_KEYDOWN, VK_HOME, 1);
    EXPECT_EQ(map->parts().view.navigation().viewport().scale(), 1);
    EXPECT_EQ(Capture(map->parts().view.picture()), designed);
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
    const MapScale& scale = map->parts().scale;
    EXPECT_EQ(DifferingPixels(Capture(map->parts().view.picture()), MarkersDrawnByGdi(map.ui())), 0);

    for (std::size_t i : {3u, 4u, 5u}) {
        const TLocation office = ToLocation(map->parts().table->Locations[i]);
        map->showInfo(office);
        const int size = scale.ringSizeFor(KindOfOffice(office.OfficeType));
        const RECT ring = PlaceInParent(map->control(Overlay));
        EXPECT_EQ(ring.left, office.MapX - size / 2) << office.OfficeType;
        EXPECT_EQ(ring.top, office.MapY - size / 2);
        EXPECT_EQ(ring.right - ring.left, size);
        EXPECT_EQ(ring.bottom - ring.top, size);
    }

    // A guide line as wide as the outline, from the pointer to the nearest office, and gone again.
    const Pixels clean = Capture(map->parts().view.picture());
    const POINT inside = Centre(map->parts().view.pointer().onScreen());
    const LocationView& target = map->parts().table->Locations[3];
    const MapPoint from{target.MapX - scale(60), target.MapY - scale(45)};
    map->Image1MouseMove(from.x, from.y, inside);
    ASSERT_TRUE(map->parts().view.pointer().guide().lineShown);
    ASSERT_EQ(map->parts().view.pointer().guide().hoverLoc, (MapPoint{target.MapX, target.MapY}));
    const Pixels drawn = Capture(map->parts().view.picture());
    const int width = map->parts().view.picture().width();
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
    EXPECT_EQ(Capture(map->parts().view.picture()), clean);
}

// Pointing at any office of the bundled list shows the hand and finds the
// office that pointing at it finds at 96 dpi.
TEST_F(Scaling, EveryBundledOfficeGivesTheHandAndTheOfficeItGivesAtTheDesignDensity)
{
    MapWindow map(BundledData());
    const LocationSlots& offices = map->parts().table->Locations;
    const std::size_t count = offices.dataCount();
    ASSERT_GT(count, 50u);
    TMapFunc design(map.source);
    design.computePositions(kPictureWidth, kPictureHeight);
    const POINT inside = Centre(map->parts().view.pointer().onScreen());
    for (std::size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(offices[i].Name);
        const std::size_t expected =
            NearestLocation(design.Locations, count, {design.Locations[i].MapX, design.Locations[i].MapY});
        const MapPoint at{offices[i].MapX, offices[i].MapY};
        EXPECT_EQ(map->parts().view.picker().nearestLocation(at), expected);
        map->Image1MouseMove(at.x, at.y, inside);
        EXPECT_EQ(map->parts().view.pointer().cursor(), LoadCursor(nullptr, IDC_HAND));
        EXPECT_EQ(map->parts().view.pointer().guide().hoverLoc, (MapPoint{offices[expected].MapX, offices[expected].MapY}));
    }
}

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
    const TMapFunc& table = *map->parts().table;
    TLocation madrid = table.getLocation(0);
    map->showInfo(madrid);
    ASSERT_TRUE(MovePointer(PictureOnScreen(map.ui(), madrid.MapX + map->parts().scale(70), madrid.MapY + map->parts().scale(40))));
    Pump();
    POINT pointer{};
    GetCursorPos(&pointer);
    map->Image1MouseMove(madrid.MapX + map->parts().scale(70), madrid.MapY + map->parts().scale(40), pointer);
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