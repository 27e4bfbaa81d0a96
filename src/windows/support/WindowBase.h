// What the program's windows share: their class registered once, the object
// found again from its window, and the error guard around every message.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

namespace mappa {

struct WindowClassTraits {
    const char* name;
    LPCSTR cursor = nullptr;  // a system cursor such as IDC_ARROW, or none
    int background = -1;      // a system colour such as COLOR_BTNFACE, or none
    LPCSTR icon = nullptr;    // a system icon, or none
};

// Registers a window class unless the process has it already. The class is a
// Unicode one: its windows take and hand out their texts as UTF-16.
void RegisterWindowClass(HINSTANCE instance, const WindowClassTraits& traits, WNDPROC procedure);

// Creates a window of a registered class; the caption is UTF-8.
HWND CreateWindowUtf8(DWORD extendedStyle, const char* className, const char* caption, DWORD style, int left, int top,
                      int width, int height, HWND parent, HMENU menu, HINSTANCE instance, void* parameter);

// Shows a failure that escaped a message handler; the program goes on with the next message.
void ReportHandlerFailure(const std::exception* error);

// Runs a message handler: what escapes it is shown in the error box, and the
// message then counts as handled with the result 0.
template <typename Handler>
LRESULT GuardedMessage(Handler&& handler) noexcept
{
    try {
        return handler();
    } catch (const std::exception& error) {
        ReportHandlerFailure(&error);
    } catch (...) {
        ReportHandlerFailure(nullptr);
    }
    return 0;
}

// The base of a top-level window class `Derived`, which supplies
//   static inline const WindowClassTraits kWindowClass;
//   LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
// The object is stored with its window when the window is created, so that
// every message from then on reaches handleMessage under the error guard.
template <typename Derived>
class WindowBase {
public:
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND handle() const { return window_; }

protected:
    WindowBase() = default;
    ~WindowBase() { destroyWindow(); }

    // Creates the window with its UTF-8 caption; its size is that of its outer frame. Null when it failed.
    HWND createWindow(HINSTANCE instance, DWORD extendedStyle, const char* caption, DWORD style, int left, int top,
                      int width, int height, HWND owner)
    {
        static const bool registered = (RegisterWindowClass(instance, Derived::kWindowClass, &WindowProc), true);
        (void)registered;
        return CreateWindowUtf8(extendedStyle, Derived::kWindowClass.name, caption, style, left, top, width, height,
                                owner, nullptr, instance, static_cast<Derived*>(this));
    }

    // Destroys the window; the messages of its destruction no longer reach the object.
    void destroyWindow()
    {
        if (!window_) return;
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
        window_ = nullptr;
    }

    LRESULT defaultHandling(UINT message, WPARAM wParam, LPARAM lParam)
    {
        return DefWindowProcW(window_, message, wParam, lParam);
    }

    HWND window_ = nullptr;

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_NCCREATE) {
            auto* created = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
            created->window_ = window;
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        }
        auto* self = reinterpret_cast<Derived*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (!self) return DefWindowProcW(window, message, wParam, lParam);
        const LRESULT result = GuardedMessage([&] { return self->handleMessage(message, wParam, lParam); });
        // However the window goes, the object no longer holds it.
        if (message == WM_NCDESTROY) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            self->window_ = nullptr;
        }
        return result;
    }
};

}  // namespace mappa
