// Saved window placement on real top-level windows, and its round trip
// through the user's tool store.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "RegistryCalls.h"
#include "RegistryTestKeys.h"
#include "support/PolicyRules.h"
#include "support/RegHelp.h"
#include "support/Support2PlacementWin.h"

namespace mappa {

static void PrintTo(const Bounds& b, std::ostream* out)
{
    *out << "{" << b.left << "," << b.top << " " << b.width << "x" << b.height << "}";
}

namespace {

using namespace settingstest;

constexpr const char* kClassName = "MappaPlacementProbe";
constexpr const char* kToolKey = "Software\\Kestrelon\\Tools\\mappa_settings_tests";
constexpr const char* kGlobalKey = "Software\\Kestrelon\\Global";
constexpr const char* kValueName = "Window.MappaPlacementProbe";
constexpr DWORD kSizeable = WS_OVERLAPPEDWINDOW;
constexpr DWORD kSingle = WS_CAPTION | WS_SYSMENU;

// A top-level window of our own class.
class TestWindow {
public:
    TestWindow(DWORD style, Bounds bounds, HWND owner = nullptr)
    {
        static const ATOM registered = [] {
            WNDCLASSA window_class{};
            window_class.lpfnWndProc = DefWindowProcA;
            window_class.hInstance = GetModuleHandleA(nullptr);
            window_class.hCursor = LoadCursor(nullptr, IDC_ARROW);
            window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
            window_class.lpszClassName = kClassName;
            return RegisterClassA(&window_class);
        }();
        EXPECT_NE(registered, 0);
        handle_ = CreateWindowExA(0, kClassName, "Placement probe", style, bounds.left, bounds.top, bounds.width,
                                  bounds.height, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(handle_, nullptr);
    }
    // A shown window is left for the end of the process: without a window
    // manager, Wine waits two seconds for one whenever a shown window goes.
    ~TestWindow()
    {
        if (!IsWindowVisible(handle_)) DestroyWindow(handle_);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND handle() const { return handle_; }
    PlacementWindow placement(BorderStyle border) const
    {
        PlacementWindow window;
        window.handle = handle_;
        window.className = kClassName;
        window.border = border;
        return window;
    }

private:
    HWND handle_ = nullptr;
};

Bounds BoundsOf(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// Handles the messages in the queue until `done` holds or two seconds passed.
bool PumpUntil(const std::function<bool()>& done)
{
    for (int round = 0; round < 200; ++round) {
        MSG message{};
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done()) return true;
        Sleep(10);
    }
    return done();
}

ScreenMetrics Screen(int ppi = 96)
{
    ScreenMetrics screen = CurrentScreenMetrics();
    screen.pixelsPerInch = ppi;
    return screen;
}

// Where a window of this size lands when centred on the desktop window.
Bounds CentredOnDesktop(int width, int height)
{
    const Bounds desktop = BoundsOf(GetDesktopWindow());
    return {(desktop.left + desktop.left + desktop.width - width) / 2,
            (desktop.top + desktop.top + desktop.height - height) / 2, width, height};
}

TEST(CenterOverParent, CentresATopLevelWindowOnTheDesktop)
{
    const Bounds desktop = BoundsOf(GetDesktopWindow());
    ASSERT_GT(desktop.width, 600);
    TestWindow window(kSingle, {0, 0, 500, 400});
    CenterOverParent(window.handle(), Screen());
    EXPECT_EQ(BoundsOf(window.handle()), CentredOnDesktop(500, 400));
}

TEST(CenterOverParent, CentresAnOwnedWindowOverItsOwner)
{
    TestWindow owner(kSizeable, {100, 100, 600, 500});
    TestWindow popup(WS_POPUP | WS_CAPTION, {0, 0, 200, 100}, owner.handle());
    ASSERT_EQ(GetParent(popup.handle()), owner.handle());
    CenterOverParent(popup.handle(), Screen());
    EXPECT_EQ(BoundsOf(popup.handle()), (Bounds{300, 300, 200, 100}));
}

TEST(ApplyPlacement, MovesToTheSavedPlaceAtTheSameDensity)
{
    struct Case { DWORD style; BorderStyle border; const char* text; bool useSaved; Bounds expected; };
    const Bounds centred = CentredOnDesktop(500, 400);
    const Case cases[] = {
        {kSizeable, BorderStyle::Sizeable, "100,60,640,480,96,Normal", true, {100, 60, 640, 480}},
        {kSingle, BorderStyle::Single, "100,60,640,480,96,Normal", true, {100, 60, 500, 400}},
        {kSizeable, BorderStyle::Sizeable, "100,60,640,480,96,Normal", false, centred},
        {kSizeable, BorderStyle::Sizeable, "100,60,640,480,120,Normal", true, centred},
        {kSingle, BorderStyle::Single, "", true, centred},
    };
    for (const Case& c : cases) {
        TestWindow window(c.style, {5, 5, 500, 400});
        ApplyPlacement(window.placement(c.border), c.text, c.useSaved, Screen());
        EXPECT_EQ(BoundsOf(window.handle()), c.expected) << c.text << (c.useSaved ? "" : " (not used)");
    }
}

TEST(ApplyPlacement, ScalesASizeableWindowToTheScreenDensity)
{
    TestWindow sizeable(kSizeable, {5, 5, 500, 400});
    ApplyPlacement(sizeable.placement(BorderStyle::Sizeable), "", false, Screen(120));
    const Bounds centred = CentredOnDesktop(500, 400);
    EXPECT_EQ(BoundsOf(sizeable.handle()), (Bounds{centred.left, centred.top, 625, 500}));

    TestWindow single(kSingle, {5, 5, 500, 400});
    ApplyPlacement(single.placement(BorderStyle::Single), "", false, Screen(120));
    EXPECT_EQ(BoundsOf(single.handle()), centred);
}

TEST(ApplyPlacement, SetsTheSavedState)
{
    struct Case { const char* text; bool visible; bool minimized; };
    const Case cases[] = {
        {"100,60,500,400,96,Max", true, false},  {"100,60,500,400,96,Max", false, false},
        {"100,60,500,400,96,Min", true, true},   {"100,60,500,400,96,Min", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + (c.visible ? ", visible" : ", being shown"));
        TestWindow window(kSizeable, {5, 5, 500, 400});
        if (c.visible) ShowWindow(window.handle(), SW_SHOWNORMAL);
        ApplyPlacement(window.placement(BorderStyle::Sizeable), c.text, true, Screen());
        if (!c.visible) ShowWindow(window.handle(), SW_SHOWNORMAL);
        const auto in_state = [&] { return c.minimized ? IsIconic(window.handle()) : IsZoomed(window.handle()); };
        EXPECT_TRUE(PumpUntil(in_state));
        const std::string text = PlacementText(window.handle(), Screen());
        EXPECT_EQ(text.substr(text.rfind(',') + 1), c.minimized ? "Min" : "Max");
    }
}

TEST(PlacementText, DescribesBoundsDensityAndState)
{
    TestWindow window(kSizeable, {100, 60, 500, 400});
    EXPECT_EQ(PlacementText(window.handle(), Screen()), "100,60,500,400,96,Normal");
    EXPECT_EQ(PlacementText(window.handle(), Screen(120)), "100,60,500,400,120,Normal");
    EXPECT_EQ(PlacementText(window.handle()),
              "100,60,500,400," + std::to_string(CurrentScreenMetrics().pixelsPerInch) + ",Normal");
}

// A minimized window sits far off screen; what it shows again, and so what is
// saved, is its normal place.
TEST(PlacementText, MinimizedWindowGivesItsNormalBounds)
{
    struct Case { DWORD style; DWORD extended; Bounds bounds; int show; };
    const Case cases[] = {
        {kSizeable, 0, {120, 80, 640, 480}, SW_MINIMIZE},
        {kSizeable, 0, {300, 200, 500, 400}, SW_SHOWMINNOACTIVE},
        {kSingle, 0, {40, 30, 320, 240}, SW_MINIMIZE},
        {kSizeable, WS_EX_TOOLWINDOW, {150, 90, 400, 300}, SW_MINIMIZE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bounds) + (c.extended ? " tool window" : ""));
        TestWindow window(c.style, c.bounds);
        if (c.extended) SetWindowLongPtrA(window.handle(), GWL_EXSTYLE, c.extended);
        ShowWindow(window.handle(), SW_SHOWNORMAL);
        ShowWindow(window.handle(), c.show);
        ASSERT_TRUE(PumpUntil([&] { return IsIconic(window.handle()) != FALSE; }));
        const Bounds& b = c.bounds;
        EXPECT_EQ(PlacementText(window.handle(), Screen()), std::to_string(b.left) + "," + std::to_string(b.top) +
                                                                 "," + std::to_string(b.width) + "," +
                                                                 std::to_string(b.height) + ",96,Min");
    }
}

// The stores of this executable over the user's real keys; the values the
// tests touch are put back afterwards.
class StoredPlacementTest : public testing::Test {
protected:
    StoredPlacementTest() { CreateGlobalStores(); }
    ~StoredPlacementTest() override { FreeGlobalStores(); }

    std::optional<RawValue> saved() const { return GetRaw(HKEY_CURRENT_USER, kToolKey, kValueName); }

    PreservedValue tool_value_{HKEY_CURRENT_USER, kToolKey, kValueName};
    PreservedValue switch_value_{HKEY_CURRENT_USER, kGlobalKey, "RestorePositions"};
};

TEST_F(StoredPlacementTest, SavedPlacementIsRestored)
{
    {
        TestWindow window(kSizeable, {120, 80, 640, 480});
        SavePlacement(window.placement(BorderStyle::Sizeable));
        EXPECT_EQ(UserToolStore->KeyMode, kmClosed);
    }
    const std::string text = "120,80,640,480," + std::to_string(CurrentScreenMetrics().pixelsPerInch) + ",Normal";
    ASSERT_TRUE(saved());
    EXPECT_EQ(saved()->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(saved()->data, Bytes(text + '\0'));

    TestWindow later(kSizeable, {5, 5, 500, 400});
    RestorePlacement(later.placement(BorderStyle::Sizeable), true);
    EXPECT_EQ(UserToolStore->KeyMode, kmClosed);
    EXPECT_EQ(BoundsOf(later.handle()), (Bounds{120, 80, 640, 480}));

    TestWindow unwanted(kSizeable, {5, 5, 500, 400});
    RestorePlacement(unwanted.placement(BorderStyle::Sizeable), false);
    EXPECT_EQ(BoundsOf(unwanted.handle()), CentredOnDesktop(500, 400));
}

TEST_F(StoredPlacementTest, MinimizedWindowIsSavedWithItsNormalBounds)
{
    TestWindow window(kSizeable, {120, 80, 640, 480});
    ShowWindow(window.handle(), SW_SHOWNORMAL);
    ShowWindow(window.handle(), SW_MINIMIZE);
    ASSERT_TRUE(PumpUntil([&] { return IsIconic(window.handle()) != FALSE; }));
    SavePlacement(window.placement(BorderStyle::Sizeable));
    const std::string text = "120,80,640,480," + std::to_string(CurrentScreenMetrics().pixelsPerInch) + ",Min";
    ASSERT_TRUE(saved());
    EXPECT_EQ(saved()->data, Bytes(text + '\0'));
}

TEST_F(StoredPlacementTest, RestorePositionsSwitchedOffKeepsTheWindowCentred)
{
    struct Case { const char* what; std::function<void()> set; bool restored; };
    const auto text = [](const char* value) {
        return [value] { SetText(HKEY_CURRENT_USER, kGlobalKey, "RestorePositions", value); };
    };
    const Case cases[] = {
        {"missing", [] { DeleteRaw(HKEY_CURRENT_USER, kGlobalKey, "RestorePositions"); }, true},
        {"\"0\"", text("0"), false},
        {"\"No\"", text("No"), false},
        {"\"False\"", text("False"), false},
        {"DWORD 0", [] { SetDword(HKEY_CURRENT_USER, kGlobalKey, "RestorePositions", 0); }, false},
        {"\"1\"", text("1"), true},
        {"\"Yes\"", text("Yes"), true},
        {"DWORD 1", [] { SetDword(HKEY_CURRENT_USER, kGlobalKey, "RestorePositions", 1); }, true},
    };
    SetText(HKEY_CURRENT_USER, kToolKey, kValueName,
            "130,90,500,400," + std::to_string(CurrentScreenMetrics().pixelsPerInch) + ",Normal");
    for (const Case& c : cases) {
        c.set();
        TestWindow window(kSingle, {5, 5, 500, 400});
        RestorePlacement(window.placement(BorderStyle::Single), true);
        EXPECT_EQ(BoundsOf(window.handle()), (c.restored ? Bounds{130, 90, 500, 400} : CentredOnDesktop(500, 400)))
            << "RestorePositions " << c.what;
        EXPECT_EQ(UserToolStore->KeyMode, kmClosed) << c.what;
    }
}

// The administrators' RestorePositions policy, machine before user, decides
// over the user's own switch; a policy value that the templates would not
// write counts as not set.
class PlacementPolicyTest : public StoredPlacementTest {
protected:
    PreservedKey machine_policies_{HKEY_LOCAL_MACHINE, "Software\\Policies\\Kestrelon"};
    PreservedKey user_policies_{HKEY_CURRENT_USER, "Software\\Policies\\Kestrelon"};
    PreservedValue machine_value_{HKEY_LOCAL_MACHINE, kPolicyKey, kRestorePositionsPolicy};
    PreservedValue user_value_{HKEY_CURRENT_USER, kPolicyKey, kRestorePositionsPolicy};
};

TEST_F(PlacementPolicyTest, PolicyDecidesOverTheUsersSwitch)
{
    struct Policy { DWORD type; std::vector<BYTE> data; };
    const std::optional<Policy> none;
    const auto number = [](DWORD value) { return std::optional<Policy>{{REG_DWORD, Dword(value)}}; };
    struct Case { const char* what; std::optional<Policy> machine, user; const char* own; bool restored; };
    const Case cases[] = {
        {"no policy, user off", none, none, "0", false},
        {"no policy, user on", none, none, "1", true},
        {"user policy 0 over the user's 1", none, number(0), "1", false},
        {"user policy 1 over the user's 0", none, number(1), "0", true},
        {"machine policy 0 over the user's 1", number(0), none, "1", false},
        {"machine policy 1 over the user's 0", number(1), none, "0", true},
        {"machine 1 over user policy 0", number(1), number(0), "0", true},
        {"machine 0 over user policy 1", number(0), number(1), "1", false},
        {"machine's text \"0\" is not set", Policy{REG_SZ, Text("0")}, none, "1", true},
        {"machine's 2 is not set: the user policy decides", number(2), number(0), "1", false},
        {"machine's -1 is not set", number(0xFFFFFFFFu), none, "0", false},
        {"user's DWORD of two bytes is not set", none, Policy{REG_DWORD, {0, 0}}, "1", true},
        {"user's QWORD is not set", none, Policy{REG_QWORD, {0, 0, 0, 0, 0, 0, 0, 0}}, "1", true},
        {"user's binary is not set", none, Policy{REG_BINARY, {0, 0, 0, 0}}, "1", true},
    };
    SetText(HKEY_CURRENT_USER, kToolKey, kValueName,
            "130,90,500,400," + std::to_string(CurrentScreenMetrics().pixelsPerInch) + ",Normal");
    for (const Case& c : cases) {
        for (const auto& [root, policy] : {std::pair{HKEY_LOCAL_MACHINE, c.machine}, std::pair{HKEY_CURRENT_USER, c.user}}) {
            if (policy) SetRaw(root, kPolicyKey, kRestorePositionsPolicy, policy->type, policy->data);
            else DeleteRaw(root, kPolicyKey, kRestorePositionsPolicy);
        }
        SetText(HKEY_CURRENT_USER, kGlobalKey, "RestorePositions", c.own);
        TestWindow window(kSingle, {5, 5, 500, 400});
        {
            const KeyHandleCount keys;
            RestorePlacement(window.placement(BorderStyle::Single), true);
            // The global store keeps its key open by design; the policy keys must not stay open.
            UserGlobalStore->Close();
            EXPECT_EQ(keys.held(), 0) << c.what;
        }
        EXPECT_EQ(BoundsOf(window.handle()), (c.restored ? Bounds{130, 90, 500, 400} : CentredOnDesktop(500, 400)))
            << c.what;
    }
}

TEST_F(StoredPlacementTest, StoreIsClosedAgainWhenAnErrorEscapes)
{
    TestWindow window(kSizeable, {120, 80, 640, 480});
    SetText(HKEY_CURRENT_USER, kToolKey, kValueName, "1,2,300,200,96,Normal");
    {
        // The value turns into a number while it is being read.
        const ChangeAfterSizeQuery change([] { SetDword(HKEY_CURRENT_USER, kToolKey, kValueName, 7); });
        EXPECT_THROW(RestorePlacement(window.placement(BorderStyle::Sizeable), true), RegistryError);
    }
    EXPECT_EQ(UserToolStore->KeyMode, kmClosed);
    EXPECT_EQ(UserToolStore->currentKey(), nullptr);

    const std::string path = UserToolStore->BasePath;
    UserToolStore->SetLocation(reinterpret_cast<HKEY>(0x12345), path);
    EXPECT_THROW(SavePlacement(window.placement(BorderStyle::Sizeable)), RegistryError);
    EXPECT_EQ(UserToolStore->KeyMode, kmClosed);
    EXPECT_EQ(UserToolStore->currentKey(), nullptr);

    EXPECT_NO_THROW(RestorePlacement(window.placement(BorderStyle::Sizeable), true));
    EXPECT_EQ(UserToolStore->KeyMode, kmClosed);
    EXPECT_EQ(BoundsOf(window.handle()), CentredOnDesktop(640, 480));
}

TEST(StoredPlacement, WithoutStoresNothingIsReadOrWritten)
{
    ASSERT_EQ(UserToolStore, nullptr);
    TestWindow window(kSizeable, {120, 80, 640, 480});
    EXPECT_NO_THROW(SavePlacement(window.placement(BorderStyle::Sizeable)));
    EXPECT_NO_THROW(RestorePlacement(window.placement(BorderStyle::Sizeable), true));
    EXPECT_EQ(BoundsOf(window.handle()), (Bounds{120, 80, 640, 480}));
}

}  // namespace
}  // namespace mappa
