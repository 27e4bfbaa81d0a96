// The tooltip that names the offices under the pointer while the hand cursor
// shows. It appears once the pointer has rested for the tooltip delay, so that
// a pointer sweeping over the map costs no more than a timer per office passed.
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace mappa {

class HoverTip {
public:
    // The tooltip's text for offices under the pointer, nearest first.
    using TextOf = std::function<std::string(const std::vector<std::size_t>& offices)>;
    // The timer that `owner` receives as WM_TIMER, to be handed to onTimer.
    static constexpr UINT_PTR kTimerId = 0x4854;  // "HT"

    HoverTip() = default;
    HoverTip(const HoverTip&) = delete;
    HoverTip& operator=(const HoverTip&) = delete;

    // The tooltip window is owned by `owner` and ends with it; `picture` is
    // the control whose pointer leaving hides the tip.
    void create(HINSTANCE instance, HWND owner, HWND picture, TextOf textOf);

    // The offices now under the pointer, at `screen`; none hides the tip.
    void point(std::vector<std::size_t> offices, POINT screen);
    void hide();
    // The pointer left the picture (WM_MOUSELEAVE).
    void pointerLeft();
    void onTimer();

    HWND window() const { return tip_; }
    bool shown() const { return shown_; }
    const std::vector<std::size_t>& offices() const { return offices_; }

private:
    void show();
    void activate(bool on);

    HWND owner_ = nullptr;
    HWND picture_ = nullptr;
    HWND tip_ = nullptr;  // destroyed with its owner
    TextOf text_of_;
    std::vector<std::size_t> offices_;
    POINT at_{};
    bool pending_ = false;
    bool shown_ = false;
    bool was_shown_ = false;  // a tip just taken away comes back after the shorter reshow delay
    bool watching_leave_ = false;
    std::wstring text_;
};

}  // namespace mappa
