// The application's invisible owner window: it carries the application's
// title and owns the program's windows.
#pragma once

#include <windows.h>

#include "support/WindowBase.h"

namespace mappa {

class TApplicationWindow : public WindowBase<TApplicationWindow> {
public:
    // Creates the window and makes it the application's window until it is destroyed.
    explicit TApplicationWindow(HINSTANCE instance);
    ~TApplicationWindow();

    static inline const WindowClassTraits kWindowClass{"TApplication"};

private:
    friend class WindowBase<TApplicationWindow>;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam) { return defaultHandling(message, wParam, lParam); }
};

}  // namespace mappa
