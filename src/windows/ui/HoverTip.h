// The tooltip that names the offices under the pointer while the hand cursor
// shows. It appears once the pointer has rested for the tooltip delay, so that
// a pointer sweeping over the map costs no more than a timer per office passed;
// the offices it names are looked for only then.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "mapdata/LocationTable.h"

namespace mappa {

class HoverTip {
public:
    // The tooltip's text for the offices under the pointer at `picture`.
    using TextOf = std::function<std::string(MapPoint picture)>;
    // The timer that `owner` receives as WM_TIMER, to be handed to onTimer.
    static constexpr UINT_PTR kTimerId = 0x4854;  // "HT"

    HoverTip() = default;
    HoverTip(const HoverTip&) = delete;
    HoverTip& operator=(const HoverTip&) = delete;

    // The tooltip window is owned by `owner` and ends with it; `picture` is
    // the control whose pointer leaving hides the tip.
    void create(HINSTANCE instance, HWND owner, HWND picture, TextOf textOf);

    // The pointer is at `picture` on the map and `screen` on the screen, with
    // office `nearest` under the hand cursor. A new nearest office starts the delay again.
    void point(std::size_t nearest, MapPoint picture, POINT screen);
    void hide();
    // The pointer left the picture (WM_MOUSELEAVE).
    void pointerLeft();
    void onTimer();

    HWND window() const { return tip_; }
    bool shown() const { return shown_; }

private:
    void show();
    void activate(bool on);

    HWND owner_ = nullptr;
    HWND picture_ = nullptr;
    HWND tip_ = nullptr;  // destroyed with its owner
    TextOf text_of_;
    std::optional<std::size_t> nearest_;
    MapPoint picture_at_{};
    POINT at_{};
    bool pending_ = false;
    bool shown_ = false;
    bool was_shown_ = false;  // a tip just taken away comes back after the shorter reshow delay
    bool watching_leave_ = false;
    std::wstring text_;
};

}  // namespace mappa
