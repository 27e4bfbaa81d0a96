// The one way in which the program puts a procedure of its own in front of a
// control's: a table of its own, looked up once a message. The common
// controls' SetWindowSubclass looks up a window property for every message
// instead, under Wine a round trip to the server, and the country list takes
// one message per office as it is filled.
#pragma once

#include <windows.h>

#include <cstddef>

namespace mappa {

// What a procedure in front of a control is given: the control, its own
// context, and the procedures behind it.
class SubclassCall {
public:
    HWND window() const { return window_; }
    void* context() const { return context_; }
    // Hands the message on to the procedures behind this one, the control's own last.
    LRESULT next(UINT message, WPARAM wParam, LPARAM lParam) const;

private:
    friend LRESULT CALLBACK SubclassedWindowProc(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CallLayer(HWND, UINT, WPARAM, LPARAM, std::size_t);
    SubclassCall(HWND window, void* context, std::size_t below) : window_(window), context_(context), below_(below) {}
    HWND window_;
    void* context_;
    std::size_t below_;  // how many procedures lie behind this one, the control's own not counted
};

using SubclassProcedure = LRESULT (*)(const SubclassCall& call, UINT message, WPARAM wParam, LPARAM lParam);

// Puts `procedure` in front of the control's procedures for the rest of its
// life; it gets WM_NCDESTROY last, to free its context. False when the
// control's procedure could not be replaced. Window thread only.
bool SubclassWindow(HWND window, SubclassProcedure procedure, void* context);
// Whether `procedure` already stands in front of the control.
bool IsSubclassedBy(HWND window, SubclassProcedure procedure);

}  // namespace mappa
