#include <windows.h>
#include <objbase.h>
#include <gtest/gtest.h>

// Every test runs on one single-threaded COM apartment, as the program does.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int result = RUN_ALL_TESTS();
    if (SUCCEEDED(com)) CoUninitialize();
    return result;
}
