// The class object: creation, aggregation, server locks, and the count that
// ends a server started by COM.
#include <gtest/gtest.h>

#include "InProcess.h"

namespace mappa::automationtest {
namespace {

// A controlling object that holds an aggregated SupportMap and counts the
// calls that reach its own IUnknown.
class Outer final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        ++queries;
        if (iid == IID_IUnknown) {
            *object = static_cast<IUnknown*>(this);
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(iid, object) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

    IUnknown* inner = nullptr;
    ULONG references = 1;
    int queries = 0;
};

TEST(ClassObject, AnswersIUnknownAndIClassFactoryOnly)
{
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(ClassFactory().QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(factory.GetAddressOf())), S_OK);
    ComPtr<IUnknown> unknown;
    EXPECT_EQ(factory.As(&unknown), S_OK);
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(ClassFactory().QueryInterface(IID_IDispatch, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
}

TEST(ClassObject, CreatesObjectsForEachOfTheirInterfaces)
{
    for (const IID& iid : {IID_IUnknown, IID_IDispatch, IID_ISupportMap, IID_ISupportErrorInfo, IID_IProvideClassInfo}) {
        ComPtr<IUnknown> object;
        EXPECT_EQ(ClassFactory().CreateInstance(nullptr, iid, reinterpret_cast<void**>(object.GetAddressOf())), S_OK);
        EXPECT_TRUE(object);
    }
}

TEST(ClassObject, FreesAnObjectThatCannotAnswerTheRequest)
{
    const LONG before = ObjectCount();
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(ClassFactory().CreateInstance(nullptr, IID_IPersist, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(ObjectCount(), before);
}

TEST(ClassObject, NeedsAPlaceForTheObject)
{
    const LONG before = ObjectCount();
    EXPECT_EQ(ClassFactory().CreateInstance(nullptr, IID_ISupportMap, nullptr), E_POINTER);
    EXPECT_EQ(ObjectCount(), before);
}

TEST(ClassObject, AggregatesOnlyThroughTheInnerUnknown)
{
    Outer outer;
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(ClassFactory().CreateInstance(&outer, IID_ISupportMap, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(ClassFactory().CreateInstance(&outer, IID_IDispatch, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(outer.references, 1u);
}

TEST(ClassObject, AggregatedObjectDelegatesToTheOuterObject)
{
    const LONG before = ObjectCount();
    Outer outer;
    ASSERT_EQ(ClassFactory().CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&outer.inner)), S_OK);
    ASSERT_TRUE(outer.inner);
    EXPECT_EQ(outer.references, 1u) << "the inner unknown must not count on the outer object";
    EXPECT_EQ(ObjectCount(), before + 1);

    ISupportMap* map = nullptr;
    ASSERT_EQ(outer.inner->QueryInterface(IID_ISupportMap, reinterpret_cast<void**>(&map)), S_OK);
    EXPECT_EQ(outer.references, 2u);
    map->AddRef();
    EXPECT_EQ(outer.references, 3u);
    map->Release();
    EXPECT_EQ(outer.references, 2u);

    // Queries through the aggregated object reach the outer object and its identity.
    const int queries = outer.queries;
    IUnknown* identity = nullptr;
    ASSERT_EQ(map->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, &outer);
    EXPECT_EQ(outer.queries, queries + 1);
    identity->Release();

    OwnedBstr version;
    EXPECT_EQ(map->get_Version(&version.text), S_OK);
    EXPECT_EQ(version.str(), L"1");
    map->Release();
    EXPECT_EQ(outer.references, 1u);

    EXPECT_EQ(outer.inner->Release(), 0u);
    EXPECT_EQ(ObjectCount(), before);
}

TEST(ClassObject, LockServerCountsAsAnObject)
{
    const LONG before = ObjectCount();
    EXPECT_EQ(ClassFactory().LockServer(TRUE), S_OK);
    EXPECT_EQ(ObjectCount(), before + 1);
    EXPECT_EQ(ClassFactory().LockServer(TRUE), S_OK);
    EXPECT_EQ(ObjectCount(), before + 2);
    EXPECT_EQ(ClassFactory().LockServer(FALSE), S_OK);
    EXPECT_EQ(ClassFactory().LockServer(FALSE), S_OK);
    EXPECT_EQ(ObjectCount(), before);
}

// Whether a quit message waits in this thread's queue; takes it out.
bool QuitPosted()
{
    MSG message{};
    bool quit = false;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        if (message.message == WM_QUIT) quit = true;
    return quit;
}

// A server of the given start mode in place of the test process's own.
class ServerOfMode {
public:
    explicit ServerOfMode(StartMode mode) : server(mode), previous_(Server()) { SetServer(&server); }
    ~ServerOfMode() { SetServer(previous_); }
    ComServer server;

private:
    ComServer* previous_;
};

TEST(ServerLifetime, AServerStartedByComEndsWithItsLastObject)
{
    QuitPosted();
    ServerOfMode started_by_com(StartMode::Automation);
    ComPtr<ISupportMap> first = NewMap(), second = NewMap();
    first.Reset();
    EXPECT_FALSE(QuitPosted());
    second.Reset();
    EXPECT_EQ(started_by_com.server.objectCount(), 0);
    EXPECT_TRUE(QuitPosted());

    EXPECT_EQ(ClassFactory().LockServer(TRUE), S_OK);
    EXPECT_FALSE(QuitPosted());
    EXPECT_EQ(ClassFactory().LockServer(FALSE), S_OK);
    EXPECT_TRUE(QuitPosted());
}

TEST(ServerLifetime, AServerTheUserStartedKeepsRunning)
{
    QuitPosted();
    ServerOfMode started_by_user(StartMode::Standalone);
    NewMap().Reset();
    EXPECT_EQ(started_by_user.server.objectCount(), 0);
    EXPECT_FALSE(QuitPosted());
    EXPECT_TRUE(started_by_user.server.closeQuery()) << "no objects: the window closes without asking";
}

}  // namespace
}  // namespace mappa::automationtest
