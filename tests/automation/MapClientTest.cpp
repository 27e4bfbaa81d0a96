// runMap: the map window takes over the object that a client hands it, so a
// client may let go while the window stays up; without a window it fails.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "InProcess.h"
#include "app/MapClientHold.h"
#include "mapdata/MapFunc.h"
#include "mapdata/WindowsDataFileSource.h"
#include "support/Application.h"
#include "ui/UMapUI.h"

namespace mappa::automationtest {
namespace {

// The program's windows as start-up makes them: an owner window and the map
// window over the bundled office list, copied to a folder of its own. Made
// once for all the tests: without a window manager Wine spends 2 s on each
// shown window that closes.
struct ProgramWindows {
    ProgramWindows()
    {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "mappa-automation-" + std::to_string(GetCurrentProcessId());
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(MAPPA_DATA_FILE, folder + "\\Mappa2.dat",
                                   std::filesystem::copy_options::overwrite_existing);
        source = std::make_unique<WindowsDataFileSource>(folder);
        owner = CreateWindowExA(0, "STATIC", "Mappa.exe", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
        SetApplicationWindow(owner);
        SetMapClientHold(&HoldInMapWindow);
        map = std::make_unique<TMapUI>(GetModuleHandleA(nullptr),
                                       [this] { return std::make_unique<TMapFunc>(*source); }, owner);
        map->parts().placement.setHooks({}, {});
        ShowWindow(map->handle(), SW_SHOWNA);
    }

    ~ProgramWindows()
    {
        map.reset();
        SetApplicationWindow(nullptr);
        if (owner) DestroyWindow(owner);
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::string folder;
    std::unique_ptr<WindowsDataFileSource> source;
    HWND owner = nullptr;
    std::unique_ptr<TMapUI> map;
};

class MapWindowHoldsClient : public testing::Test {
protected:
    static void SetUpTestSuite() { windows_ = new ProgramWindows; }
    static void TearDownTestSuite()
    {
        delete windows_;
        windows_ = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(windows_->owner);
        ASSERT_EQ(MapUI, windows_->map.get());
        MapUI->mapClient.Reset();
    }
    void TearDown() override { MapUI->mapClient.Reset(); }

    static bool Holds(ISupportMap* map)
    {
        ComPtr<IUnknown> held, offered;
        if (!MapUI || !MapUI->mapClient) return false;
        MapUI->mapClient.As(&held);
        map->QueryInterface(IID_PPV_ARGS(&offered));
        return held && held == offered;
    }

    // The references the map window's object has, counted without changing them.
    static ULONG HeldReferences()
    {
        MapUI->mapClient->AddRef();
        return MapUI->mapClient->Release();
    }

    static inline ProgramWindows* windows_ = nullptr;
};

TEST_F(MapWindowHoldsClient, TakesTheObjectWhateverTheParentWindow)
{
    const LONG parents[] = {0, -1, static_cast<LONG>(reinterpret_cast<LONG_PTR>(windows_->owner)),
                            static_cast<LONG>(reinterpret_cast<LONG_PTR>(windows_->map->handle()))};
    for (const LONG parent : parents) {
        ComPtr<ISupportMap> map = NewMap();
        ASSERT_EQ(map->runMap(parent), S_OK) << parent;
        EXPECT_TRUE(Holds(map.Get())) << parent;
    }
}

TEST_F(MapWindowHoldsClient, ThroughInvokeToo)
{
    ComPtr<ISupportMap> map = NewMap();
    OwnedVariant parent, result;
    parent.vt = VT_I4;
    parent.lVal = 0;
    DISPPARAMS arguments{&parent, nullptr, 1, 0};
    ASSERT_EQ(map->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &arguments, &result, nullptr, nullptr), S_OK);
    EXPECT_TRUE(Holds(map.Get()));
}

TEST_F(MapWindowHoldsClient, KeepsTheObjectAliveAfterTheClientLetsGo)
{
    const LONG before = ObjectCount();
    ComPtr<ISupportMap> map = NewMap();
    ASSERT_EQ(map->runMap(0), S_OK);
    ASSERT_EQ(map->runMap(0), S_OK);  // a second call takes no second reference
    map.Reset();
    EXPECT_EQ(ObjectCount(), before + 1);
    ASSERT_TRUE(MapUI->mapClient);
    EXPECT_EQ(HeldReferences(), 1u);
    OwnedBstr version;
    ASSERT_EQ(MapUI->mapClient.As(&map), S_OK);
    ASSERT_EQ(map->get_Version(&version.text), S_OK);
    EXPECT_EQ(version.str(), L"1");
}

TEST_F(MapWindowHoldsClient, LetsGoOfTheEarlierObjectForALaterOne)
{
    const LONG before = ObjectCount();
    ComPtr<ISupportMap> first = NewMap();
    ComPtr<ISupportMap> second = NewMap();
    ASSERT_EQ(first->runMap(0), S_OK);
    first.Reset();
    EXPECT_EQ(ObjectCount(), before + 2);
    ASSERT_EQ(second->runMap(0), S_OK);
    EXPECT_EQ(ObjectCount(), before + 1) << "the first object outlived the window's hold";
    EXPECT_TRUE(Holds(second.Get()));
}

TEST_F(MapWindowHoldsClient, ClosingTheWindowLetsGoOfTheObject)
{
    const LONG before = ObjectCount();
    {
        ComPtr<ISupportMap> map = NewMap();
        ASSERT_EQ(map->runMap(0), S_OK);
    }
    ASSERT_EQ(ObjectCount(), before + 1);
    windows_->map->FormClose();
    EXPECT_EQ(ObjectCount(), before);
    EXPECT_FALSE(MapUI->mapClient);
}

TEST(RunMapWithoutAMapWindow, FailsWithErrorInfo)
{
    ASSERT_EQ(MapUI, nullptr);
    ComPtr<ISupportMap> map = NewMap();
    SetErrorInfo(0, nullptr);
    EXPECT_EQ(map->runMap(0), E_UNEXPECTED);
    const ErrorRecord error = TakeErrorInfo();
    ASSERT_TRUE(error.present);
    EXPECT_FALSE(error.description.empty());
    EXPECT_EQ(error.source, L"ObelSupportMappaMap.SupportMap");

    // Through IDispatch the failure arrives as an exception record.
    OwnedVariant parent;
    parent.vt = VT_I4;
    DISPPARAMS arguments{&parent, nullptr, 1, 0};
    EXCEPINFO exception{};
    EXPECT_EQ(map->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &arguments, nullptr, &exception, nullptr),
              DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, E_UNEXPECTED);
    EXPECT_TRUE(exception.bstrSource && std::wstring(exception.bstrSource) == L"ObelSupportMappaMap.SupportMap");
    EXPECT_TRUE(exception.bstrDescription && *exception.bstrDescription);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
}

}  // namespace
}  // namespace mappa::automationtest
