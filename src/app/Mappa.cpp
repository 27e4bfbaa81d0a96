// Mappa: the sales and support offices of the company on a world map.
#include <windows.h>
#include <objbase.h>

#include "mapdata/MapFunc.h"
#include "support/Support2Win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    mappa::FixNumberFormat();
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        mappa::TMapFunc table;
        table.computePositions(640, 320);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return 0;
}
