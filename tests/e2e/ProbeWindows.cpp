#include "ProbeWindows.h"

#include <cstdio>

namespace mappa::probe {

std::string Utf8(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring Wide(const char* text)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring out(size_t(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), size);
    out.resize(out.size() - 1);
    return out;
}

void Print(const std::wstring& text) { std::printf("%s\n", Utf8(text).c_str()); }

HWND Shown(const wchar_t* title)
{
    HWND window = FindWindowW(nullptr, title);
    return window && IsWindowVisible(window) ? window : nullptr;
}

HWND WaitShown(const wchar_t* title, int seconds)
{
    for (int i = 0; i < seconds * 10; ++i) {
        if (HWND window = Shown(title)) return window;
        Sleep(100);
    }
    return nullptr;
}

}  // namespace mappa::probe
