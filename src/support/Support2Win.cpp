#include "support/Support2Win.h"

#include <algorithm>
#include <clocale>
#include <locale>
#include <vector>

#include "support/Support2.h"

namespace mappa {

std::string ModuleFileName(HMODULE module)
{
    std::vector<char> buffer(MAX_PATH);
    while (true) {
        const DWORD length = GetModuleFileNameA(module, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::string TrueCasePath(std::string_view directory, std::string_view name)
{
    return TrueCasePath(directory, name, [](const std::string& path) -> std::optional<std::string> {
        // A wildcard would match some other entry: such a component exists under no name.
        const auto last = path.find_last_of('\\');
        if (path.find_first_of("*?", last == std::string::npos ? 0 : last) != std::string::npos) return std::nullopt;
        WIN32_FIND_DATAA found{};
        const HANDLE search = FindFirstFileA(path.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return std::nullopt;
        FindClose(search);
        return std::string(found.cFileName);
    });
}

void FixNumberFormat()
{
    std::setlocale(LC_NUMERIC, "C");
    std::locale::global(std::locale(std::locale(), std::locale::classic(), std::locale::numeric));
}

namespace {

std::string FromWide(UINT codePage, std::wstring_view text)
{
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), size, result.data(), length, nullptr, nullptr);
    return result;
}

std::wstring ToWide(UINT codePage, std::string_view text)
{
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, result.data(), length);
    return result;
}

}  // namespace

std::string WideToAnsi(std::wstring_view text) { return FromWide(CP_ACP, text); }
std::wstring AnsiToWide(std::string_view text) { return ToWide(CP_ACP, text); }
std::string WideToUtf8(std::wstring_view text) { return FromWide(CP_UTF8, text); }
std::wstring Utf8ToWide(std::string_view text) { return ToWide(CP_UTF8, text); }
std::string Utf8ToAnsi(std::string_view text)
{
    // ASCII is the same in every code page: no call for it.
    if (std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; })) return std::string(text);
    return WideToAnsi(Utf8ToWide(text));
}

}  // namespace mappa
