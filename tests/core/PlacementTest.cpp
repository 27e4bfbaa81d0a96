// Window placement arithmetic: rounding, the saved placement text, centring
// and where a saved placement puts the window.
#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "support/Support2Placement.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace mappa {

static void PrintTo(const Bounds& b, std::ostream* out)
{
    *out << "{" << b.left << "," << b.top << " " << b.width << "x" << b.height << "}";
}

namespace {

TEST(MulDivRounded, RoundsHalfAwayFromZeroAndReportsFailureAsMinusOne)
{
    struct Case { int a, b, c, expected; };
    const Case cases[] = {
        {500, 120, 96, 625}, {400, 120, 96, 500}, {625, 96, 120, 500}, {5, 3, 2, 8}, {-5, 3, 2, -8},
        {5, -3, 2, -8}, {-5, -3, 2, 8}, {5, 3, -2, -8}, {-5, 3, -2, 8}, {1, 1, 2, 1}, {-1, 1, 2, -1},
        {1, 1, 3, 0}, {2, 1, 3, 1}, {-2, 1, 3, -1}, {0, -7, 3, 0}, {7, 0, 2, 0}, {7, 1, 1, 7},
        {1, 1, 0, -1}, {0, 0, 0, -1}, {-5, 3, 0, -1},
        {INT_MAX, 1, 1, INT_MAX}, {INT_MAX, 2, 2, INT_MAX}, {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
        {-INT_MAX, 1, 1, -INT_MAX}, {INT_MAX, 2, 1, -1}, {INT_MAX, -2, 1, -1}, {1 << 20, 1 << 20, 1, -1},
        {INT_MIN, 1, 1, -1},  // -2147483648 itself counts as overflow, as in MulDiv
        {INT_MIN, 1, 2, -1073741824}, {INT_MIN, -1, 2, 1073741824},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MulDivRounded(c.a, c.b, c.c), c.expected) << c.a << " * " << c.b << " / " << c.c;
}

TEST(MulDivRounded, NegativeDivisorWithTheSmallestMultiplicand)
{
    // INT_MIN * 1 / -1 is 2147483648: too large. Negating INT_MIN on the way
    // must not overflow.
    EXPECT_EQ(MulDivRounded(INT_MIN, 1, -1), -1);
    EXPECT_EQ(MulDivRounded(INT_MIN, 1, -2), 1073741824);
}

#ifdef _WIN32
TEST(MulDivRounded, AgreesWithTheSystemMulDiv)
{
    const int values[] = {0, 1, -1, 2, -2, 3, -3, 5, -5, 7, 96, 120, -120, 144, 500, -625, 1000003, -99991,
                          46341, INT_MAX, -INT_MAX, INT_MAX / 2, -(INT_MAX / 2)};
    for (int a : values)
        for (int b : values)
            for (int c : values)
                ASSERT_EQ(MulDivRounded(a, b, c), MulDiv(a, b, c)) << a << " * " << b << " / " << c;
}
#endif

TEST(ParseDecimalInt, AcceptsASignAndDigitsThatFit)
{
    struct Case { const char* text; std::optional<int> expected; };
    const Case cases[] = {
        {"0", 0}, {"7", 7}, {"007", 7}, {"+5", 5}, {"-5", -5}, {"-0", 0}, {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN}, {"+2147483647", INT_MAX},
        {"", {}}, {"+", {}}, {"-", {}}, {"2147483648", {}}, {"-2147483649", {}}, {"99999999999999999999", {}},
        {"12a", {}}, {"a12", {}}, {" 1", {}}, {"1 ", {}}, {"1.0", {}}, {"1e3", {}}, {"0x10", {}}, {"--1", {}},
        {"+-1", {}}, {"1,000", {}},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseDecimalInt(c.text), c.expected) << '"' << c.text << '"';
}

TEST(ParsePlacementText, ReadsSixFieldsWithSpacesAndQuotes)
{
    struct Case {
        const char* text;
        std::optional<int> left, top, width, height, ppi;
        bool minimized, maximized;
    };
    const Case cases[] = {
        {"100,60,500,400,96,Normal", 100, 60, 500, 400, 96, false, false},
        {" 100 , 60 ,\"500\",'400', 96 , Normal ", 100, 60, 500, 400, 96, false, false},
        {"-1280,-5,500,400,120,Min", -1280, -5, 500, 400, 120, true, false},
        {"1,2,3,4,5,min", 1, 2, 3, 4, 5, true, false},
        {"1,2,3,4,5,MAX", 1, 2, 3, 4, 5, false, true},
        {"1,2,3,4,5,'Max'", 1, 2, 3, 4, 5, false, true},
        {"1,2,3,4,5,Maximized", 1, 2, 3, 4, 5, false, false},
        {"1,2,3,4,5,Mi", 1, 2, 3, 4, 5, false, false},
        {"x,60,500,400,96,Normal", {}, 60, 500, 400, 96, false, false},
        {"100,60,500,400", 100, 60, 500, 400, {}, false, false},
        {"100,,500", 100, {}, 500, {}, {}, false, false},
        {"", {}, {}, {}, {}, {}, false, false},
        {"1.5,2,3,4,5,Max,extra", {}, 2, 3, 4, 5, false, true},
    };
    for (const Case& c : cases) {
        const SavedPlacement saved = ParsePlacementText(c.text);
        SCOPED_TRACE(c.text);
        EXPECT_EQ(saved.left, c.left);
        EXPECT_EQ(saved.top, c.top);
        EXPECT_EQ(saved.width, c.width);
        EXPECT_EQ(saved.height, c.height);
        EXPECT_EQ(saved.pixelsPerInch, c.ppi);
        EXPECT_EQ(saved.minimized, c.minimized);
        EXPECT_EQ(saved.maximized, c.maximized);
    }
}

TEST(FormatPlacementText, WritesBoundsDensityAndState)
{
    EXPECT_EQ(FormatPlacementText({100, 60, 500, 400}, 96, WindowState::Normal), "100,60,500,400,96,Normal");
    EXPECT_EQ(FormatPlacementText({100, 60, 500, 400}, 96, WindowState::Minimized), "100,60,500,400,96,Min");
    EXPECT_EQ(FormatPlacementText({100, 60, 500, 400}, 120, WindowState::Maximized), "100,60,500,400,120,Max");
    EXPECT_EQ(FormatPlacementText({-1280, -8, 0, 0}, 144, WindowState::Normal), "-1280,-8,0,0,144,Normal");
}

TEST(WorkspaceToScreen, MovesTheNormalPositionByTheWorkAreasOffsetOnItsMonitor)
{
    struct Case { const char* what; Rect normal, monitor, work; Bounds expected; };
    const Case cases[] = {
        {"work area is the monitor", {120, 80, 760, 560}, {0, 0, 1024, 768}, {0, 0, 1024, 768}, {120, 80, 640, 480}},
        {"taskbar at the bottom", {120, 80, 760, 560}, {0, 0, 1024, 768}, {0, 0, 1024, 728}, {120, 80, 640, 480}},
        {"taskbar on the left", {120, 80, 760, 560}, {0, 0, 1024, 768}, {62, 0, 1024, 768}, {182, 80, 640, 480}},
        {"taskbar at the top", {0, 0, 300, 200}, {0, 0, 1024, 768}, {0, 40, 1024, 768}, {0, 40, 300, 200}},
        {"monitor left of the primary", {10, 20, 410, 320}, {-1280, 0, 0, 1024}, {-1230, 30, 0, 1024},
         {60, 50, 400, 300}},
        {"no monitor known", {-5, -8, 95, 92}, {}, {}, {-5, -8, 100, 100}},
    };
    for (const Case& c : cases) EXPECT_EQ(WorkspaceToScreen(c.normal, c.monitor, c.work), c.expected) << c.what;
}

ScreenMetrics Screen(int ppi = 96, int primaryWidth = 1024, int primaryHeight = 768)
{
    ScreenMetrics screen;
    screen.pixelsPerInch = ppi;
    screen.primaryWidth = primaryWidth;
    screen.primaryHeight = primaryHeight;
    screen.desktopWidth = primaryWidth;
    screen.desktopHeight = primaryHeight;
    return screen;
}

TEST(CenterOver, CentresOverTheParentAndKeepsToThePrimaryScreen)
{
    struct Case { std::optional<Rect> parent; Bounds window; Bounds expected; };
    const Case cases[] = {
        // Unknown parent: the primary screen as 0,0 .. w-1,h-1.
        {std::nullopt, {5, 5, 500, 400}, {261, 183, 500, 400}},
        {std::nullopt, {0, 0, 24, 68}, {499, 349, 24, 68}},
        {Rect{0, 0, 1024, 768}, {0, 0, 500, 400}, {262, 184, 500, 400}},
        {Rect{100, 100, 401, 301}, {0, 0, 100, 50}, {200, 175, 100, 50}},  // 401/2 and 351/2 truncate
        {Rect{0, 0, 200, 100}, {0, 0, 400, 300}, {0, 0, 400, 300}},        // would start left of the screen
        {Rect{900, 600, 1100, 800}, {0, 0, 300, 200}, {724, 568, 300, 200}},  // would end right of it
        {Rect{-1000, -500, -201, -101}, {0, 0, 100, 50}, {0, 0, 100, 50}},   // wholly left of it
        {Rect{-101, -51, 400, 300}, {0, 0, 100, 50}, {99, 99, 100, 50}},
        {std::nullopt, {0, 0, 1200, 900}, {0, 0, 1200, 900}},  // larger than the screen
        {Rect{0, 0, 1024, 768}, {0, 0, 1025, 100}, {0, 334, 1025, 100}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CenterOver(c.parent, c.window, Screen()), c.expected) << testing::PrintToString(c.window);
}

// The window centred on a 1024x768 screen: 500x400 at 261,183.
constexpr Bounds kCentred{261, 183, 500, 400};

struct PlacementCase {
    const char* name;
    const char* text;
    BorderStyle border;
    ScreenMetrics screen;
    Bounds expected;
    std::optional<WindowState> state;
    Bounds centred = kCentred;
};

ScreenMetrics Desktop(int left, int top, int width, int height)
{
    ScreenMetrics screen = Screen();
    screen.desktopLeft = left;
    screen.desktopTop = top;
    screen.desktopWidth = width;
    screen.desktopHeight = height;
    return screen;
}

const PlacementCase kPlacementCases[] = {
    {"saved at the same density", "100,60,500,400,96,Normal", BorderStyle::Single, Screen(), {100, 60, 500, 400}, {}},
    {"no density: centred", "100,60,500,400", BorderStyle::Single, Screen(), kCentred, {}},
    {"other density: centred", "100,60,500,400,120,Normal", BorderStyle::Single, Screen(), kCentred, {}},
    {"zero density: centred", "100,60,500,400,0,Normal", BorderStyle::Single, Screen(), kCentred, {}},
    {"empty text: centred", "", BorderStyle::Sizeable, Screen(), kCentred, {}},
    {"maximized: no position", "100,60,500,400,96,max", BorderStyle::Sizeable, Screen(), kCentred,
     WindowState::Maximized},
    {"minimized: no position", "100,60,700,500,96,Min", BorderStyle::Sizeable, Screen(), kCentred,
     WindowState::Minimized},
    {"maximized at another density", "1,2,3,4,120,Max", BorderStyle::Single, Screen(), kCentred,
     WindowState::Maximized},
    {"missing left", "x,60,500,400,96,Normal", BorderStyle::Single, Screen(), {261, 60, 500, 400}, {}},
    {"missing top", "100,,500,400,96,Normal", BorderStyle::Single, Screen(), {100, 183, 500, 400}, {}},
    {"quoted and spaced", "'100',\"60\", 500 ,400, 96 ,Normal", BorderStyle::Single, Screen(), {100, 60, 500, 400}, {}},
    {"beyond the right edge", "5000,60,500,400,96,Normal", BorderStyle::Single, Screen(), {524, 60, 500, 400}, {}},
    {"beyond the bottom edge", "100,5000,500,400,96,Normal", BorderStyle::Single, Screen(), {100, 368, 500, 400}, {}},
    {"partly off the right edge", "600,60,500,400,96,Normal", BorderStyle::Single, Screen(), {524, 60, 500, 400}, {}},
    {"left of the desktop", "-5000,-60,500,400,96,Normal", BorderStyle::Single, Screen(), {0, 0, 500, 400}, {}},
    {"negative desktop origin: kept", "-1000,-100,500,400,96,Normal", BorderStyle::Single,
     Desktop(-1280, -200, 2560, 968), {-1000, -100, 500, 400}, {}},
    {"negative desktop origin: left edge", "-5000,-5000,500,400,96,Normal", BorderStyle::Single,
     Desktop(-1280, -200, 2560, 968), {-1280, -200, 500, 400}, {}},
    {"negative desktop origin: right edge", "2000,2000,500,400,96,Normal", BorderStyle::Single,
     Desktop(-1280, -200, 2560, 968), {780, 368, 500, 400}, {}},
    {"desktop larger than the primary screen", "1500,600,500,400,96,Normal", BorderStyle::Single,
     Desktop(0, 0, 2048, 1200), {1500, 600, 500, 400}, {}},
    {"sizeable takes the saved size", "100,60,700,500,96,Normal", BorderStyle::Sizeable, Screen(),
     {100, 60, 700, 500}, {}},
    {"single keeps its size", "100,60,700,500,96,Normal", BorderStyle::Single, Screen(), {100, 60, 500, 400}, {}},
    {"sizeable larger than the desktop: left and top win", "100,60,2000,1000,96,Normal", BorderStyle::Sizeable,
     Screen(), {0, 0, 2000, 1000}, {}},
    {"120 ppi, sizeable: scaled", "", BorderStyle::Sizeable, Screen(120), {261, 183, 625, 500}, {}},
    {"120 ppi, single: not scaled", "", BorderStyle::Single, Screen(120), kCentred, {}},
    {"120 ppi, sizeable: saved size after scaling", "100,60,700,450,120,Normal", BorderStyle::Sizeable, Screen(120),
     {100, 60, 700, 450}, {}},
    {"120 ppi, sizeable, saved at 96: scaled, centred", "100,60,700,450,96,Normal", BorderStyle::Sizeable, Screen(120),
     {261, 183, 625, 500}, {}},
    {"120 ppi, tool window: scaled, saved position only", "100,60,700,450,120,Normal", BorderStyle::SizeToolWin,
     Screen(120), {100, 60, 625, 500}, {}},
    {"120 ppi, dialog: neither", "100,60,700,450,120,Normal", BorderStyle::Dialog, Screen(120),
     {100, 60, 500, 400}, {}},
    {"scaled window pushed back on the desktop", "", BorderStyle::Sizeable, Screen(144, 800, 600),
     {50, 0, 750, 600}, {}, {50, 50, 500, 400}},
};

TEST(ComputePlacement, AppliesTheSavedTextWithinTheDesktop)
{
    for (const PlacementCase& c : kPlacementCases) {
        PlacementRequest request;
        request.centred = c.centred;
        request.border = c.border;
        request.useSaved = true;
        request.text = c.text;
        const PlacementResult result = ComputePlacement(request, c.screen);
        EXPECT_EQ(result.bounds, c.expected) << c.name;
        EXPECT_EQ(result.state, c.state) << c.name;
    }
}

TEST(ComputePlacement, UnscaledLayoutKeepsItsSize)
{
    PlacementRequest request;
    request.centred = kCentred;
    request.border = BorderStyle::Sizeable;
    request.scaled = false;
    EXPECT_EQ(ComputePlacement(request, Screen(120)).bounds, kCentred);
}

TEST(ComputePlacement, RestorePositionsSwitchOffKeepsTheWindowCentred)
{
    for (const char* text : {"100,60,700,500,96,Normal", "100,60,700,500,96,Max", "100,60,700,500,96,Min"}) {
        int asked = 0;
        PlacementRequest request;
        request.centred = kCentred;
        request.border = BorderStyle::Sizeable;
        request.useSaved = true;
        request.text = text;
        request.restorePositions = [&] { ++asked; return false; };
        const PlacementResult result = ComputePlacement(request, Screen());
        EXPECT_EQ(result.bounds, kCentred) << text;
        EXPECT_EQ(result.state, std::nullopt) << text;
        EXPECT_EQ(asked, 1) << text;
    }
}

TEST(ComputePlacement, SwitchIsNotAskedWhenTheSavedTextIsNotWanted)
{
    int asked = 0;
    PlacementRequest request;
    request.centred = kCentred;
    request.useSaved = false;
    request.text = "100,60,500,400,96,Max";
    request.restorePositions = [&] { ++asked; return true; };
    const PlacementResult result = ComputePlacement(request, Screen());
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(result.bounds, kCentred);
    EXPECT_EQ(result.state, std::nullopt);

    request.useSaved = true;
    EXPECT_EQ(ComputePlacement(request, Screen()).state, WindowState::Maximized);
    EXPECT_EQ(asked, 1);
}

TEST(ComputePlacement, SavedTextRoundTripsForASizeableWindow)
{
    const Bounds saved_bounds[] = {{100, 60, 500, 400}, {0, 0, 1024, 768}, {524, 368, 500, 400}, {3, 7, 1, 1}};
    for (const int ppi : {96, 120}) {
        for (const Bounds& bounds : saved_bounds) {
            PlacementRequest request;
            request.centred = kCentred;
            request.border = BorderStyle::Sizeable;
            request.useSaved = true;
            request.text = FormatPlacementText(bounds, ppi, WindowState::Normal);
            EXPECT_EQ(ComputePlacement(request, Screen(ppi)).bounds, bounds) << request.text;
        }
    }
}

// A window that follows its monitor's density compares the saved density with
// the density where the saved bounds would put it, not with the screen's.
TEST(ComputePlacement, PerMonitorWindowComparesWithTheDensityWhereItWouldGo)
{
    // Two monitors: 96 dpi left of x = 1024, 144 dpi from there on.
    std::vector<Bounds> asked;
    const auto densityAt = [&](const Bounds& bounds) {
        asked.push_back(bounds);
        return bounds.left + bounds.width / 2 < 1024 ? 96 : 144;
    };
    const ScreenMetrics screen = Desktop(0, 0, 2560, 1024);
    struct Case {
        const char* text;
        BorderStyle border;
        Bounds expected;
    };
    const Case cases[] = {
        {"1200,60,500,400,144,Normal", BorderStyle::Single, {1200, 60, 500, 400}},
        {"1200,60,500,400,96,Normal", BorderStyle::Single, kCentred},
        {"100,60,500,400,96,Normal", BorderStyle::Single, {100, 60, 500, 400}},
        {"100,60,500,400,144,Normal", BorderStyle::Single, kCentred},
        // The saved size counts for where a sizeable window would go.
        {"700,60,1000,400,144,Normal", BorderStyle::Sizeable, {700, 60, 1000, 400}},
        {"700,60,200,400,144,Normal", BorderStyle::Sizeable, kCentred},
    };
    for (const Case& c : cases) {
        PlacementRequest request;
        request.centred = kCentred;
        request.border = c.border;
        request.useSaved = true;
        request.text = c.text;
        request.densityAt = densityAt;
        EXPECT_EQ(ComputePlacement(request, screen).bounds, c.expected) << c.text;
    }
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.front(), (Bounds{1200, 60, 500, 400}));

    // Nothing to compare: no density saved, or a state that moves nothing.
    asked.clear();
    for (const char* text : {"", "1200,60,500,400", "1200,60,500,400,0,Normal", "1200,60,500,400,144,Max"}) {
        PlacementRequest request;
        request.centred = kCentred;
        request.useSaved = true;
        request.text = text;
        request.densityAt = densityAt;
        EXPECT_EQ(ComputePlacement(request, screen).bounds, kCentred) << text;
    }
    EXPECT_TRUE(asked.empty());
}

}  // namespace
}  // namespace mappa
