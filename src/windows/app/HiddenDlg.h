// The hidden companion window: it sits under the map window's client area and
// hands the activation back to the map window whenever it gets it.
#pragma once

#include <windows.h>

#include "support/WinHandles.h"
#include "support/WindowBase.h"
#include "ui/MapScale.h"

namespace mappa {

class THiddenForm : public WindowBase<THiddenForm> {
public:
    // `mapWindow` is brought to the top whenever this window becomes active.
    THiddenForm(HINSTANCE instance, HWND owner, HWND mapWindow);
    ~THiddenForm();

    static constexpr const char* kClassName = "THiddenForm";
    static inline const WindowClassTraits kWindowClass{kClassName, IDC_ARROW, COLOR_BTNFACE};

    void FormActivate();
    // Follows the map window: its outer corner goes to the map's client origin.
    void moveTo(int left, int top);

    HWND label() const { return label_; }

private:
    friend class WindowBase<THiddenForm>;
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Size, label and font at the density of `scale`.
    void layOut(const MapScale& scale);

    HWND map_window_;
    HWND label_ = nullptr;
    FontHandle font_;
};

}  // namespace mappa
