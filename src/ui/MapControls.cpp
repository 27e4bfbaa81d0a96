#include "ui/MapControls.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <iterator>

#include "support/WinError.h"
#include "ui/MapPicture.h"

namespace mappa {
namespace {

HFONT MakeFont(int height, const char* face, bool bold, bool underline)
{
    return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

struct WindowKind {
    const char* windowClass;  // null: the program's own class
    DWORD style;
};

WindowKind KindOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label: return {WC_STATICA, SS_LEFT | SS_NOPREFIX};
    case ControlKind::Link: return {WC_STATICA, SS_LEFT | SS_NOPREFIX | SS_NOTIFY};
    case ControlKind::TextPanel: return {WC_STATICA, SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY | SS_SUNKEN};
    case ControlKind::ComboBox: return {WC_COMBOBOXA, CBS_DROPDOWNLIST | CBS_SORT | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP};
    case ControlKind::Button: return {WC_BUTTONA, BS_PUSHBUTTON | WS_TABSTOP};
    case ControlKind::Panel: return {nullptr, WS_CLIPCHILDREN};
    case ControlKind::Picture: return {nullptr, WS_CLIPSIBLINGS};
    case ControlKind::Shape: return {nullptr, WS_CLIPSIBLINGS};
    }
    return {nullptr, 0};
}

}  // namespace

std::string WindowText(HWND window)
{
    std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(GetWindowTextA(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void MapControls::createFonts(const MapScale& scale)
{
    std::array<FontHandle, 3> fonts;
    fonts[static_cast<std::size_t>(ControlFont::Form)].reset(MakeFont(scale(-11), scale.sansSerifFace(), false, false));
    fonts[static_cast<std::size_t>(ControlFont::Link)].reset(MakeFont(scale(-15), "Arial", true, true));
    fonts[static_cast<std::size_t>(ControlFont::Email)].reset(MakeFont(scale(-12), scale.sansSerifFace(), false, true));
    for (const FontHandle& font : fonts)
        if (!font) throw WindowsError(E_OUTOFMEMORY, "Cannot create the map window's fonts");
    // The controls still use the old fonts: those go once every control has its new one.
    fonts_.swap(fonts);
    for (const Control& item : controls_)
        SendMessageW(item.handle, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(*item.layout)), FALSE);
    scale_ = scale;
}

HFONT MapControls::fontOf(const ControlLayout& layout) const { return fonts_[static_cast<std::size_t>(layout.font)].get(); }

void MapControls::create(HINSTANCE instance, HWND window, const char* ownClass, void* userData, const MapScale& scale)
{
    window_ = window;
    createFonts(scale);
    tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, instance,
                               nullptr);
    controls_.reserve(std::size(kMapControls));
    for (const ControlLayout& layout : kMapControls) {
        HWND parent = layout.parent ? handle(layout.parent) : window;
        const WindowKind kind = KindOf(layout.kind);
        DWORD style = WS_CHILD | kind.style;
        if (!(layout.traits & kStartsHidden)) style |= WS_VISIBLE;

        const ControlBounds bounds = boundsOf(layout);
        HWND control = CreateWindowExA(0, kind.windowClass ? kind.windowClass : ownClass, layout.text, style, bounds.left,
                                       bounds.top, bounds.width, bounds.height, parent, nullptr, instance, nullptr);
        if (!control) throw WindowsError(HRESULT_FROM_WIN32(GetLastError()), "Cannot create the map window");
        SetWindowLongPtrA(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(userData));
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(layout)), FALSE);
        controls_.push_back({&layout, control, layout.hint ? layout.hint : "", layout.colour});
        if (layout.width == 0) fitToText(control);
        // The country list gets its tooltip once it is filled: the tooltip
        // watches every message the list receives.
        if (layout.hint && layout.kind != ControlKind::ComboBox) setHint(control, layout.hint);
    }

    // Keyboard order follows window order: put the controls in it.
    HWND previous = HWND_TOP;
    for (const char* name : kTabOrder) {
        HWND control = handle(name);
        SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = control;
    }
}

void MapControls::setScale(const MapScale& scale)
{
    createFonts(scale);
    for (const Control& item : controls_) place(item);
}

ControlBounds MapControls::boundsOf(const ControlLayout& layout) const
{
    ControlBounds bounds = scale_.bounds(layout);
    // The drop-down list of the combo box needs room below its edit part.
    if (layout.kind == ControlKind::ComboBox) bounds.height = scale_(300);
    return bounds;
}

void MapControls::place(const Control& item) const
{
    const ControlBounds bounds = boundsOf(*item.layout);
    SetWindowPos(item.handle, nullptr, bounds.left, bounds.top, bounds.width, bounds.height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (item.layout->width == 0) fitToText(item.handle);
}

const MapControls::Control* MapControls::find(HWND control) const
{
    for (const Control& item : controls_)
        if (item.handle == control) return &item;
    return nullptr;
}

HWND MapControls::handle(const char* name) const
{
    for (const Control& item : controls_)
        if (std::strcmp(item.layout->name, name) == 0) return item.handle;
    return nullptr;
}

const ControlLayout* MapControls::layoutOf(HWND control) const
{
    const Control* item = find(control);
    return item ? item->layout : nullptr;
}

std::string MapControls::hintOf(const char* name) const
{
    for (const Control& item : controls_)
        if (std::strcmp(item.layout->name, name) == 0) return item.hint;
    return {};
}

void MapControls::setHint(HWND control, const std::string& hint)
{
    for (Control& item : controls_)
        if (item.handle == control) item.hint = hint;
    TTTOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<char*>(hint.c_str());
    if (!SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool)) || hint.empty())
        SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void MapControls::setShapeColour(HWND shape, Rgb colour)
{
    for (Control& item : controls_)
        if (item.handle == shape) item.shapeColour = colour;
}

void MapControls::paintShape(HWND shape, HDC dc, HBRUSH face) const
{
    const Control* item = find(shape);
    if (!item) return;
    RECT bounds{};
    GetClientRect(shape, &bounds);
    FillRect(dc, &bounds, face);
    const int diameter = std::min(bounds.right, bounds.bottom);
    const int left = (bounds.right - diameter) / 2;
    const int top = (bounds.bottom - diameter) / 2;
    const PenHandle pen(CreatePen(PS_SOLID, 1, ToColorRef(item->shapeColour)));
    const BrushHandle brush(CreateSolidBrush(ToColorRef(item->shapeColour)));
    const ScopedSelect select_pen(dc, pen.get());
    const ScopedSelect select_brush(dc, brush.get());
    Ellipse(dc, left, top, left + diameter, top + diameter);
}

void MapControls::fitToText(HWND control) const
{
    const Control* item = find(control);
    if (!item) return;
    const std::string text = WindowText(control);
    SIZE size{};
    {
        WindowDc dc(control);
        dc.select(fontOf(*item->layout));
        GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    }
    SetWindowPos(control, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace mappa
