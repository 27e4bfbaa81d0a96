// A stand-in for the suite's file finder: an in-process COM server for
// coclass FindFile whose answer the tests choose through environment variables
// of the process that loads it, and which writes back what it was asked.
//
//   MAPPA_FINDER_MODE    "path"  : answer MAPPA_FINDER_RESULT
//                        "null"  : answer a null string with S_OK
//                        "empty" : answer an empty (allocated) string with S_OK
//                        "fail"  : answer E_FAIL
//                        other   : answer E_UNEXPECTED
//   MAPPA_FINDER_SEEN_PATH, MAPPA_FINDER_SEEN_OPTION : the last call's arguments
//   MAPPA_FINDER_CALLS, MAPPA_FINDER_CREATED         : counts of calls and objects made
#include <windows.h>
#include <oleauto.h>

#include <new>
#include <string>

#include "ObelComDlg_TLB.h"

namespace {

LONG object_count = 0;
LONG lock_count = 0;

std::wstring Variable(const wchar_t* name)
{
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return {};
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

void Increment(const wchar_t* name)
{
    const std::wstring value = Variable(name);
    SetEnvironmentVariableW(name, std::to_wstring((value.empty() ? 0 : std::stol(value)) + 1).c_str());
}

class FindFileObject final : public IFindFile {
public:
    FindFileObject() { InterlockedIncrement(&object_count); }
    ~FindFileObject() { InterlockedDecrement(&object_count); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IFindFile) {
            *object = static_cast<IFindFile*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE resolvePath(BSTR path, LONG option, BSTR* resolved) override
    {
        if (!resolved) return E_POINTER;
        *resolved = nullptr;
        Increment(L"MAPPA_FINDER_CALLS");
        SetEnvironmentVariableW(L"MAPPA_FINDER_SEEN_PATH", std::wstring(path, SysStringLen(path)).c_str());
        SetEnvironmentVariableW(L"MAPPA_FINDER_SEEN_OPTION", std::to_wstring(option).c_str());

        const std::wstring mode = Variable(L"MAPPA_FINDER_MODE");
        if (mode == L"fail") return E_FAIL;
        if (mode == L"null") return S_OK;
        if (mode == L"empty") *resolved = SysAllocString(L"");
        else if (mode == L"path") *resolved = SysAllocString(Variable(L"MAPPA_FINDER_RESULT").c_str());
        else return E_UNEXPECTED;
        return *resolved ? S_OK : E_OUTOFMEMORY;
    }

private:
    LONG references_ = 1;
};

// One static factory; it keeps the module loaded only through LockServer.
class FindFileFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *object = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override
    {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* finder = new (std::nothrow) FindFileObject;
        if (!finder) return E_OUTOFMEMORY;
        const HRESULT result = finder->QueryInterface(iid, object);
        finder->Release();
        if (SUCCEEDED(result)) Increment(L"MAPPA_FINDER_CREATED");
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock) InterlockedIncrement(&lock_count);
        else InterlockedDecrement(&lock_count);
        return S_OK;
    }
};

FindFileFactory factory;

}  // namespace

extern "C" HRESULT __stdcall DllGetClassObject(REFCLSID classId, REFIID iid, void** object)
{
    if (!object) return E_POINTER;
    *object = nullptr;
    if (classId != CLSID_FindFile) return CLASS_E_CLASSNOTAVAILABLE;
    return factory.QueryInterface(iid, object);
}

extern "C" HRESULT __stdcall DllCanUnloadNow()
{
    return object_count == 0 && lock_count == 0 ? S_OK : S_FALSE;
}
