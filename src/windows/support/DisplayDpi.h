// Display density for a program that is aware of each monitor's density, on
// every Windows from 7 on: the functions that tell a window's or a monitor's
// density came with Windows 8.1 and 10, so they are looked up at run time,
// and where they are missing the system's density stands for every monitor.
#pragma once

#include <windows.h>

namespace mappa {

// The density of the screen as a whole (LOGPIXELSY of the screen).
int SystemDpi();

// The density that a window is laid out for: that of its monitor.
int WindowDpi(HWND window);

// The density of the monitor that holds the larger part of `place` (the
// nearest monitor when none holds any of it).
int DpiAt(const RECT& place);

// The outer size of a window of that style around a client area of
// `clientWidth` x `clientHeight`, with the frame it has at `dpi`.
SIZE FrameSize(int clientWidth, int clientHeight, DWORD style, DWORD extendedStyle, int dpi);

// WM_DPICHANGED and WM_GETDPISCALEDSIZE, which older headers lack.
inline constexpr UINT kDpiChangedMessage = 0x02E0;
inline constexpr UINT kGetDpiScaledSizeMessage = 0x02E4;

}  // namespace mappa
