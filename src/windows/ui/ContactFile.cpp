#include "ui/ContactFile.h"

#include <commdlg.h>

#include <algorithm>
#include <cwchar>

#include "support/Support2Win.h"
#include "support/UiText.h"
#include "support/WinError.h"
#include "support/WinHandles.h"

namespace mappa {
namespace {

constexpr DWORD kLongestPath = 32768;

WindowsError LastError(const char* what) { return WindowsError(HRESULT_FROM_WIN32(GetLastError()), what); }

}  // namespace

std::optional<std::wstring> AskContactPath(HWND owner, std::string_view suggestedName)
{
    std::wstring path = Utf8ToWide(suggestedName);
    path.resize(std::max<std::size_t>(path.size() + 1, kLongestPath), L'\0');
    // Pairs of a file type's name and its pattern, ended by an empty name.
    std::wstring filter = UiText(IDS_FILTER_CONTACT_CARDS);
    filter += L'\0';
    filter += L"*.vcf";
    filter += L'\0';
    filter += UiText(IDS_FILTER_ALL_FILES);
    filter += L'\0';
    filter += L"*.*";
    filter += L'\0';
    OPENFILENAMEW ask{};
    ask.lStructSize = sizeof ask;
    ask.hwndOwner = owner;
    ask.lpstrFilter = filter.c_str();
    ask.nFilterIndex = 1;
    ask.lpstrFile = path.data();
    ask.nMaxFile = static_cast<DWORD>(path.size());
    ask.lpstrDefExt = L"vcf";
    ask.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameW(&ask)) {
        if (const DWORD error = CommDlgExtendedError())
            throw WindowsError(E_FAIL, "The Save As dialog failed (error " + std::to_string(error) + ")");
        return std::nullopt;
    }
    path.resize(path.find(L'\0'));
    return path;
}

void WriteWholeFile(const std::wstring& path, std::string_view bytes)
{
    // The new text goes into a file of its own in the same folder first. Its
    // name is made here rather than by GetTempFileNameW, whose fixed buffer of
    // MAX_PATH characters a deep folder overruns.
    const std::size_t slash = path.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L".\\" : path.substr(0, slash + 1);
    std::wstring temporary;
    HANDLE opened = INVALID_HANDLE_VALUE;
    for (unsigned attempt = 0; opened == INVALID_HANDLE_VALUE; ++attempt) {
        wchar_t unique[32] = {};
        swprintf(unique, 32, L"vcf%08lX.tmp", static_cast<unsigned long>(GetTickCount() + GetCurrentProcessId() * 7919u + attempt));
        temporary = folder + unique;
        opened = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (opened == INVALID_HANDLE_VALUE && (GetLastError() != ERROR_FILE_EXISTS || attempt == 100))
            throw LastError("Cannot save the contact card");
    }
    try {
        {
            const KernelHandle file(opened);
            DWORD written = 0;
            if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
                written != bytes.size())
                throw LastError("Cannot write the contact card");
        }
        if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED))
            throw LastError("Cannot save the contact card");
    } catch (...) {
        DeleteFileW(temporary.c_str());
        throw;
    }
}

}  // namespace mappa
