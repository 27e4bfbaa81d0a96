// Owners of the Windows things the program holds: each releases what it
// holds when it goes out of scope, however the scope is left.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <vector>

#include "support/UniqueHandle.h"

namespace mappa {

namespace release {
// Fonts, pens, brushes, regions and bitmaps alike, each under its own handle type.
template <typename Object>
void GdiObject(Object object)
{
    DeleteObject(object);
}
inline void MemoryDc(HDC dc) { DeleteDC(dc); }
inline void Key(HKEY key) { RegCloseKey(key); }
inline void Bstr(BSTR text) { SysFreeString(text); }
inline void Module(HMODULE module) { FreeLibrary(module); }
inline void Kernel(HANDLE handle) { CloseHandle(handle); }
inline void Global(HGLOBAL memory) { GlobalFree(memory); }
}  // namespace release

using FontHandle = UniqueHandle<HFONT, &release::GdiObject<HFONT>>;
using PenHandle = UniqueHandle<HPEN, &release::GdiObject<HPEN>>;
using BrushHandle = UniqueHandle<HBRUSH, &release::GdiObject<HBRUSH>>;
using RegionHandle = UniqueHandle<HRGN, &release::GdiObject<HRGN>>;
using BitmapHandle = UniqueHandle<HBITMAP, &release::GdiObject<HBITMAP>>;
// A device context from CreateCompatibleDC.
using MemoryDcHandle = UniqueHandle<HDC, &release::MemoryDc>;
using KeyHandle = UniqueHandle<HKEY, &release::Key>;
using BstrHandle = UniqueHandle<BSTR, &release::Bstr>;
// A module from LoadLibrary.
using ModuleHandle = UniqueHandle<HMODULE, &release::Module>;
// A kernel object; CreateFile's INVALID_HANDLE_VALUE must be turned into null first.
using KernelHandle = UniqueHandle<HANDLE, &release::Kernel>;
// Movable global memory that nobody else has taken over yet.
using GlobalHandle = UniqueHandle<HGLOBAL, &release::Global>;

// Selects a GDI object into a device context for the life of the scope.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~ScopedSelect() { SelectObject(dc_, previous_); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A window's device context (GetDC; the screen's for a null window). What is
// selected into it through select() is selected back out, last first, before
// the context goes back to the system.
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc()
    {
        for (auto previous = previous_.rbegin(); previous != previous_.rend(); ++previous) SelectObject(dc_, *previous);
        if (dc_) ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

    void select(HGDIOBJ object)
    {
        if (dc_) previous_.push_back(SelectObject(dc_, object));
    }

private:
    HWND window_;
    HDC dc_;
    std::vector<HGDIOBJ> previous_;
};

// The device context of a WM_PAINT, from BeginPaint to EndPaint.
class PaintDc {
public:
    explicit PaintDc(HWND window) : window_(window), dc_(BeginPaint(window, &paint_)) {}
    ~PaintDc() { EndPaint(window_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    HDC get() const { return dc_; }

private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// Locked global memory, unlocked at the end of the scope; null when the lock failed.
class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL memory) : memory_(memory), data_(GlobalLock(memory)) {}
    ~GlobalLockScope()
    {
        if (data_) GlobalUnlock(memory_);
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;

    void* data() const { return data_; }

private:
    HGLOBAL memory_;
    void* data_;
};

}  // namespace mappa
