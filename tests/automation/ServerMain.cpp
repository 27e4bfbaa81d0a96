#include <windows.h>
#include <objbase.h>
#include <gtest/gtest.h>

#include "EndOnCrash.h"
#include "ServerHarness.h"

namespace {

// Earlier runs of the program in this Wine session may have been killed and
// left their class objects behind in COM's table: start from an empty one.
class CleanComSession : public testing::Environment {
public:
    void SetUp() override
    {
        mappa::automationtest::EndServers();
        mappa::automationtest::ForgetDeadClassObjects();
    }
    void TearDown() override { mappa::automationtest::EndServers(); }
};

}  // namespace

// The tests of Mappa.exe as a COM server act as its client from one
// single-threaded apartment, as the suite's programs do.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    mappa::automationtest::EndOnCrash();
    testing::AddGlobalTestEnvironment(new CleanComSession);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int result = RUN_ALL_TESTS();
    if (SUCCEEDED(com)) CoUninitialize();
    return result;
}
