#include "support/WindowBase.h"

#include "support/Application.h"
#include "support/Support2Win.h"

namespace mappa {

namespace {

// A system cursor's or icon's number, which the A and W calls share.
LPCWSTR SystemResource(LPCSTR id) { return MAKEINTRESOURCEW(reinterpret_cast<ULONG_PTR>(id)); }

}  // namespace

void RegisterWindowClass(HINSTANCE instance, const WindowClassTraits& traits, WNDPROC procedure)
{
    const std::wstring name = Utf8ToWide(traits.name);
    WNDCLASSEXW existing{};
    if (GetClassInfoExW(instance, name.c_str(), &existing)) return;
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = instance;
    window_class.hCursor = traits.cursor ? LoadCursorW(nullptr, SystemResource(traits.cursor)) : nullptr;
    window_class.hbrBackground = traits.background >= 0 ? reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(traits.background + 1)) : nullptr;
    window_class.hIcon = traits.icon ? LoadIconW(nullptr, SystemResource(traits.icon)) : nullptr;
    window_class.lpszClassName = name.c_str();
    RegisterClassExW(&window_class);
}

HWND CreateWindowUtf8(DWORD extendedStyle, const char* className, const char* caption, DWORD style, int left, int top,
                      int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* parameter)
{
    return CreateWindowExW(extendedStyle, Utf8ToWide(className).c_str(), caption ? Utf8ToWide(caption).c_str() : nullptr,
                           style, left, top, width, height, parent, menu, instance, parameter);
}

void ReportHandlerFailure(const std::exception* error)
{
    ShowErrorMessage(error ? error->what() : "Unknown error");
}

}  // namespace mappa
