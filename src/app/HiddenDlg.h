// The hidden companion window: it sits under the map window's client area and
// hands the activation back to the map window whenever it gets it.
#pragma once

#include <windows.h>

namespace mappa {

class THiddenForm {
public:
    // `mapWindow` is brought to the top whenever this window becomes active.
    THiddenForm(HINSTANCE instance, HWND owner, HWND mapWindow);
    ~THiddenForm();
    THiddenForm(const THiddenForm&) = delete;
    THiddenForm& operator=(const THiddenForm&) = delete;

    static constexpr const char* kClassName = "THiddenForm";
    HWND handle() const { return window_; }

    void FormActivate();
    // Follows the map window: its outer corner goes to the map's client origin.
    void moveTo(int left, int top);

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    HWND map_window_;
    HFONT font_ = nullptr;
};

}  // namespace mappa
