#include "support/Support2Win.h"

#include <algorithm>
#include <clocale>
#include <locale>
#include <vector>

#include "support/Support2.h"

namespace mappa {

std::string ModuleFileName(HMODULE module)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    while (true) {
        const DWORD length = GetModuleFileNameW(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return WideToUtf8(std::wstring_view(buffer.data(), length));
        buffer.resize(buffer.size() * 2);
    }
}

std::string TrueCasePath(std::string_view directory, std::string_view name)
{
    return TrueCasePath(directory, name, [](const std::string& path) -> std::optional<std::string> {
        // A wildcard would match some other entry: such a component exists under no name.
        const auto last = path.find_last_of('\\');
        if (path.find_first_of("*?", last == std::string::npos ? 0 : last) != std::string::npos) return std::nullopt;
        WIN32_FIND_DATAW found{};
        const HANDLE search = FindFirstFileW(Utf8ToWide(path).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return std::nullopt;
        FindClose(search);
        return WideToUtf8(found.cFileName);
    });
}

void FixNumberFormat()
{
    std::setlocale(LC_NUMERIC, "C");
    std::locale::global(std::locale(std::locale(), std::locale::classic(), std::locale::numeric));
}

namespace {

bool IsAscii(std::wstring_view text)
{
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x80; });
}

std::string FromWide(UINT codePage, DWORD flags, std::wstring_view text, const char* defaultChar = nullptr)
{
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, defaultChar, nullptr);
    std::string result(static_cast<std::size_t>(std::max(length, 0)), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), size, result.data(), length, defaultChar, nullptr);
    return result;
}

std::wstring ToWide(UINT codePage, std::string_view text)
{
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, result.data(), length);
    return result;
}

}  // namespace

std::string WideToUtf8(std::wstring_view text) { return FromWide(CP_UTF8, 0, text); }
std::wstring Utf8ToWide(std::string_view text) { return ToWide(CP_UTF8, text); }

std::string WideToAnsi(std::wstring_view text)
{
    // A system whose code page is UTF-8 takes every character as it is.
    if (GetACP() == CP_UTF8) return WideToUtf8(text);
    return FromWide(CP_ACP, WC_NO_BEST_FIT_CHARS, text, "?");
}

bool FitsAnsiCodePage(std::wstring_view text)
{
    // ASCII is the same in every code page. A UTF-8 code page holds every
    // character, but what it promises for the ANSI fonts is ASCII only.
    if (IsAscii(text)) return true;
    const UINT code_page = GetACP();
    if (code_page == CP_UTF8) return false;
    BOOL lost = FALSE;
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(code_page, WC_NO_BEST_FIT_CHARS, text.data(), size, nullptr, 0, nullptr, &lost);
    return length > 0 && !lost;
}

std::wstring WideWindowText(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace mappa
