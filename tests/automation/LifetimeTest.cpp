// How long the server lives: a server that COM started ends with its last
// object unless the map window holds one; a server the user started keeps
// running; closing the window while clients hold objects asks first.
// And IDispatch from another process.
#include "ServerTest.h"

namespace mappa::automationtest {
namespace {

using Microsoft::WRL::ComPtr;

class ServerLifetime : public ServerTest {};

TEST_F(ServerLifetime, AServerStartedByComEndsWithItsLastObject)
{
    ComPtr<IDispatch> map;
    ASSERT_EQ(CreateMap(map), S_OK);
    const DWORD server = WaitForServerProcess();
    ASSERT_NE(server, 0u);
    std::wstring version;
    EXPECT_EQ(ReadVersion(map.Get(), version), S_OK);
    EXPECT_TRUE(IsRunning(server));
    map.Reset();
    ExpectEndWithoutWarning(server);
}

TEST_F(ServerLifetime, AServerStartedByComStaysWhileTheMapWindowHoldsTheObject)
{
    ComPtr<IDispatch> map;
    ASSERT_EQ(CreateMap(map), S_OK);
    const DWORD server = WaitForServerProcess();
    ASSERT_NE(server, 0u);
    ASSERT_EQ(RunMap(map.Get(), 0), S_OK);
    map.Reset();
    ASSERT_FALSE(WaitForExit(server, 2000)) << "the server ended although its window held the object";
    ASSERT_TRUE(CloseMapWindow(server));
    ExpectEndWithoutWarning(server);
}

TEST_F(ServerLifetime, AServerTheUserStartedKeepsRunningAfterItsClientsLeave)
{
    Process program(Quoted(MappaPath()), true);
    ASSERT_TRUE(WaitForProcessWindow(program.id(), "TMapUI", kMapCaption));
    {
        ComPtr<IDispatch> map;
        ASSERT_EQ(CreateMap(map), S_OK);
        std::wstring version;
        EXPECT_EQ(ReadVersion(map.Get(), version), S_OK);
        EXPECT_EQ(version, L"1");
        EXPECT_EQ(ServerProcesses(), std::vector<DWORD>{program.id()}) << "COM started a second server";
    }
    ASSERT_FALSE(WaitForExit(program.id(), 2000)) << "the server ended with its last object";
    ASSERT_TRUE(CloseMapWindow(program.id()));
    ExpectEndWithoutWarning(program.id());
    EXPECT_EQ(program.wait(1000), 0u);
}

// A copy that COM started, showing its map for a client that holds an object.
class MapHeldByClient : public ServerTest {
protected:
    void SetUp() override
    {
        ServerTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_EQ(CreateMap(map), S_OK);
        server = WaitForServerProcess();
        ASSERT_NE(server, 0u);
        ASSERT_EQ(RunMap(map.Get(), 0), S_OK);
        window = WaitForProcessWindow(server, "TMapUI", kMapCaption);
        ASSERT_TRUE(window);
    }

    void TearDown() override
    {
        map.Reset();  // as a client ends, before the servers are ended
        ServerTest::TearDown();
    }

    // Asks the map window to close; the warning that comes, or null.
    HWND askToClose() const
    {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return WaitForProcessWindow(server, "#32770", kWarningCaption, 10000);
    }

    ComPtr<IDispatch> map;
    DWORD server = 0;
    HWND window = nullptr;
};

TEST_F(MapHeldByClient, ClosingAsksFirst)
{
    // No: the program stays, with a working window and object.
    HWND box = askToClose();
    ASSERT_TRUE(box) << "no warning while a client holds an object";
    EXPECT_EQ(MessageBoxText(box).rfind("There are still active COM objects in this application.", 0), 0u)
        << MessageBoxText(box);
    PressButton(box, IDNO);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    ASSERT_FALSE(WaitForExit(server, 1000)) << "the program ended although the user said No";
    EXPECT_TRUE(IsWindowVisible(window));
    std::wstring version;
    EXPECT_EQ(ReadVersion(map.Get(), version), S_OK);
    EXPECT_EQ(version, L"1");

    // Yes: the program ends although the client still holds its object.
    box = askToClose();
    ASSERT_TRUE(box) << "no warning the second time";
    PressButton(box, IDYES);
    EXPECT_TRUE(WaitForExit(server, 10000));
    EXPECT_TRUE(FAILED(ReadVersion(map.Get(), version))) << "the object answered after its server ended";
}

TEST_F(MapHeldByClient, AfterNoTheWindowNoLongerHoldsItsObject)
{
    HWND box = askToClose();
    ASSERT_TRUE(box);
    PressButton(box, IDNO);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    ASSERT_FALSE(WaitForExit(server, 1000));

    // The close released the window's reference: in a copy that COM started,
    // the client's release is the last one and ends the program.
    map.Reset();
    EXPECT_TRUE(WaitForExit(server, 10000));
}

class DispatchAcrossProcesses : public ServerTest {};

TEST_F(DispatchAcrossProcesses, NamesTypeInfoAndTheVersion)
{
    ComPtr<IDispatch> map;
    ASSERT_EQ(CreateMap(map), S_OK);
    const DWORD server = WaitForServerProcess();

    EXPECT_EQ(IdOfName(map.Get(), L"runMap"), 1);
    EXPECT_EQ(IdOfName(map.Get(), L"RUNMAP"), 1);
    EXPECT_EQ(IdOfName(map.Get(), L"Version"), 2);
    HRESULT result = S_OK;
    EXPECT_EQ(IdOfName(map.Get(), L"Close", &result), DISPID_UNKNOWN);
    EXPECT_EQ(result, DISP_E_UNKNOWNNAME);

    UINT count = 0;
    EXPECT_EQ(map->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(map->GetTypeInfo(0, 0, &info), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_HRESULT_SUCCEEDED(info->GetTypeAttr(&attributes));
    EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
    info->ReleaseTypeAttr(attributes);
    info.Reset();

    std::wstring version;
    EXPECT_EQ(ReadVersion(map.Get(), version), S_OK);
    EXPECT_EQ(version, L"1");

    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    value.bstrVal = SysAllocString(L"2");
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS put{&value, &named, 1, 1};
    EXPECT_TRUE(FAILED(map->Invoke(2, IID_NULL, 0, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr)));
    VariantClear(&value);
    EXPECT_EQ(ReadVersion(map.Get(), version), S_OK);

    map.Reset();
    EXPECT_TRUE(WaitForExit(server, 10000));
}

}  // namespace
}  // namespace mappa::automationtest
