#include "support/WindowBase.h"

#include "support/Application.h"

namespace mappa {

void RegisterWindowClass(HINSTANCE instance, const WindowClassSpec& spec, WNDPROC procedure)
{
    WNDCLASSEXA existing{};
    if (GetClassInfoExA(instance, spec.name, &existing)) return;
    WNDCLASSEXA window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = procedure;
    window_class.hInstance = instance;
    window_class.hCursor = spec.cursor ? LoadCursor(nullptr, spec.cursor) : nullptr;
    window_class.hbrBackground = spec.background >= 0 ? reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(spec.background + 1)) : nullptr;
    window_class.hIcon = spec.icon ? LoadIcon(nullptr, spec.icon) : nullptr;
    window_class.lpszClassName = spec.name;
    RegisterClassExA(&window_class);
}

void ReportHandlerFailure(const std::exception* error)
{
    ShowErrorMessage(error ? error->what() : "Unknown error");
}

}  // namespace mappa
