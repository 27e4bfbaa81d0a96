// mappa_runmap_client.exe: the smallest client of the map, as a suite program
// starts one to bring the map to the front: create the SupportMap object by
// its ProgID, call runMap 0 through IDispatch, release it and end.
// Exit code 0 when every step succeeded, else 1.
#include <windows.h>
#include <objbase.h>
#include <oaidl.h>

int main()
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 1;
    int status = 1;
    CLSID clsid{};
    IDispatch* map = nullptr;
    if (SUCCEEDED(CLSIDFromProgID(L"ObelSupportMappaMap.SupportMap", &clsid)) &&
        SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, reinterpret_cast<void**>(&map)))) {
        VARIANT parent;
        VariantInit(&parent);
        parent.vt = VT_I4;
        parent.lVal = 0;
        DISPPARAMS arguments{&parent, nullptr, 1, 0};
        if (SUCCEEDED(map->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &arguments, nullptr, nullptr, nullptr))) status = 0;
        map->Release();
    }
    CoUninitialize();
    return status;
}
