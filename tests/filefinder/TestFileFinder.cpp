// placeholder
#include <windows.h>
extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID, REFIID, void**) { return CLASS_E_CLASSNOTAVAILABLE; }
extern "C" HRESULT __stdcall DllCanUnloadNow() { return S_FALSE; }
