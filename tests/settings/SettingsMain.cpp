#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "support/RegHelp.h"
#include "support/Support2Win.h"

// The program's own start-up: common controls and one single-threaded COM
// apartment. A copy of this executable started with --write-module-name <file>
// only reports the name it finds for itself (see GlobalStoresTest.cpp).
int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--write-module-name") == 0) {
        std::ofstream(argv[2]) << mappa::ModuleBaseName(nullptr) << '\n' << mappa::ModuleFileName(nullptr) << '\n';
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int result = RUN_ALL_TESTS();
    if (SUCCEEDED(com)) CoUninitialize();
    return result;
}
