#include "mapdata/WindowsDataFileSource.h"

#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <algorithm>
#include <utility>

#include "ObelComDlg_TLB.h"
#include "mapdata/COMSupport.h"
#include "support/Application.h"
#include "support/PolicyStore.h"
#include "support/Support2.h"
#include "support/Support2Win.h"
#include "support/WinError.h"
#include "support/WinHandles.h"

namespace mappa {
WindowsDataFileSource::WindowsDataFileSource(std::string directory) : directory_(std::move(directory)) {}

WindowsDataFileSource::WindowsDataFileSource() : directory_(ExtractDirectory(ModuleFileName())) {}

std::string WindowsDataFileSource::defaultPath() { return AddBackslash(directory_) + kDataFileName; }

std::optional<std::string> WindowsDataFileSource::policyPath() { return PolicyPath(kDataFilePolicy); }

bool WindowsDataFileSource::finderRegistered() { return TComSupport::isClassRegistered(CLSID_FindFile); }

bool WindowsDataFileSource::fileExists(const std::string& path)
{
    const DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string WindowsDataFileSource::resolveWithFinder(const std::string& request, std::int32_t option)
{
    Microsoft::WRL::ComPtr<IUnknown> unknown;
    ThrowIfFailed(CoCreateInstance(CLSID_FindFile, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IUnknown,
                                   reinterpret_cast<void**>(unknown.GetAddressOf())),
                  "Cannot create the file finder");
    Microsoft::WRL::ComPtr<IFindFile> finder;
    ThrowIfFailed(unknown.As(&finder), "The file finder has no IFindFile interface");

    const std::wstring wide_request = Utf8ToWide(request);
    const BstrHandle path(SysAllocStringLen(wide_request.data(), static_cast<UINT>(wide_request.size())));
    if (!path) throw WindowsError(E_OUTOFMEMORY, "Out of memory");
    BSTR raw_result = nullptr;
    const HRESULT result = finder->resolvePath(path.get(), option, &raw_result);
    const BstrHandle resolved(raw_result);
    ThrowIfFailed(result, "The file finder failed");
    return WideToUtf8(std::wstring_view(resolved.get(), SysStringLen(resolved.get())));
}

std::string WindowsDataFileSource::readFile(const std::string& path)
{
    // Others may read the file meanwhile, but nobody may write it.
    const HANDLE opened = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (opened == INVALID_HANDLE_VALUE) throw DataFileUnreadable("Cannot open " + path);
    const KernelHandle file(opened);

    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) throw DataFileUnreadable("Cannot size " + path);
    if (static_cast<unsigned long long>(size.QuadPart) > 0x7FFFFFFFull) throw DataFileUnreadable("Too large: " + path);

    std::string content(static_cast<std::size_t>(size.QuadPart), '\0');
    std::size_t done = 0;
    while (done < content.size()) {
        DWORD read = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1u << 30));
        if (!ReadFile(file.get(), content.data() + done, wanted, &read, nullptr)) throw DataFileUnreadable("Cannot read " + path);
        if (read == 0) break;
        done += read;
    }
    content.resize(done);
    return content;
}

void WindowsDataFileSource::showMessage(const std::string& text) { ShowMessage(text); }

void WindowsDataFileSource::requestTerminate() { RequestTerminate(); }

}  // namespace mappa
