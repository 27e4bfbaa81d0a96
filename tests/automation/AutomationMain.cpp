#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <exception>

#include "EndOnCrash.h"
#include "InProcess.h"
#include "support/Support2Win.h"

namespace mappa::automationtest {

ErrorRecord TakeErrorInfo()
{
    ErrorRecord record;
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, &info) != S_OK || !info) return record;
    record.present = true;
    OwnedBstr description, source;
    info->GetDescription(&description.text);
    info->GetSource(&source.text);
    info->GetGUID(&record.guid);
    record.description = description.str();
    record.source = source.str();
    return record;
}

}  // namespace mappa::automationtest

// The program's start-up as far as the automation object needs it: common
// controls, one single-threaded apartment, the class read from the type
// library embedded in this executable, and a server that counts objects
// without ever ending the process.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    mappa::automationtest::EndOnCrash();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    mappa::FixNumberFormat();
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    try {
        mappa::CreateSupportMapRegistration(mappa::ModuleFileName());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Cannot read the automation class from this executable: %s\n", error.what());
        return 1;
    }
    int result = 0;
    {
        mappa::ComServer server(mappa::StartMode::Standalone);
        mappa::SetServer(&server);
        result = RUN_ALL_TESTS();
        mappa::SetServer(nullptr);
    }
    mappa::FreeSupportMapRegistration();
    if (SUCCEEDED(com)) CoUninitialize();
    return result;
}
