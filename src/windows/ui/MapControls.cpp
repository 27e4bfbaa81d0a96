#include "ui/MapControls.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "support/Support2Win.h"
#include "support/UiText.h"
#include "support/WinError.h"
#include "ui/MapControlKinds.h"
#include "ui/MapPicture.h"
#include "ui/MapTexts.h"

namespace mappa {

std::string WindowText(HWND window) { return WideToUtf8(WideWindowText(window)); }

void MapControls::createFonts(const MapScale& scale)
{
    const bool design = scale.drawsBitmapFaces();
    std::array<FontHandle, 3> fonts, script_fonts;
    for (std::size_t i = 0; i < std::size(kFontFaces); ++i) {
        const FontFaces& faces = kFontFaces[i];
        fonts[i].reset(MakeFont(scale(faces.height), design ? faces.layoutFace : faces.scriptFace, faces.bold, faces.underline));
        script_fonts[i].reset(MakeFont(scale(faces.height), faces.scriptFace, faces.bold, faces.underline));
        if (!fonts[i] || !script_fonts[i]) throw WindowsError(E_OUTOFMEMORY, "Cannot create the map window's fonts");
    }
    // Each control keeps the kind of face it has; the old fonts go once every
    // control has its new one.
    for (Control& item : controls_) {
        const auto index = static_cast<std::size_t>(item.layout->font);
        const bool script = item.font != fonts_[index].get() && item.font == script_fonts_[index].get();
        item.font = (script ? script_fonts : fonts)[index].get();
        SendMessageW(item.handle, WM_SETFONT, reinterpret_cast<WPARAM>(item.font), FALSE);
    }
    fonts_.swap(fonts);
    script_fonts_.swap(script_fonts);
    scale_ = scale;
}

HFONT MapControls::fontOf(const ControlLayout& layout, bool textInCodePage) const
{
    const auto index = static_cast<std::size_t>(layout.font);
    return (textInCodePage ? fonts_ : script_fonts_)[index].get();
}

void MapControls::create(HINSTANCE instance, HWND window, const char* ownClass, void* userData, const MapScale& scale)
{
    window_ = window;
    createFonts(scale);
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, instance,
                               nullptr);
    const std::wstring own_class = Utf8ToWide(ownClass);
    controls_.reserve(std::size(kMapControls));
    for (const ControlLayout& layout : kMapControls) {
        HWND parent = layout.parent ? handle(*layout.parent) : window;
        const WindowKind kind = KindOf(layout.kind);
        DWORD style = WS_CHILD | kind.style;
        if (!(layout.traits & kStartsHidden)) style |= WS_VISIBLE;
        // Links take the focus too; Tab goes into the panel to its picture.
        if (layout.traits & kLinkStyle) style |= WS_TABSTOP;
        const DWORD extended = layout.kind == ControlKind::Panel ? WS_EX_CONTROLPARENT : 0;

        const ControlBounds bounds = boundsOf(layout);
        const std::wstring text = Utf8ToWide(textOf(layout));
        HWND control = CreateWindowExW(extended, kind.windowClass ? kind.windowClass : own_class.c_str(), text.c_str(),
                                       style, bounds.left, bounds.top, bounds.width, bounds.height, parent, nullptr,
                                       instance, nullptr);
        if (!control) throw WindowsError(HRESULT_FROM_WIN32(GetLastError()), "Cannot create the map window");
        SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(userData));
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fontOf(layout)), FALSE);
        const std::string hint = hintOf(layout);
        controls_.push_back({&layout, control, hint, layout.colour, fontOf(layout), false});
        if (!FitsAnsiCodePage(text)) useFont(control, false);
        if (layout.width == 0) fitToText(control);
        // The country list gets its tooltip once it is filled: the tooltip
        // watches every message the list receives.
        if (layout.hint && layout.kind != ControlKind::ComboBox) setHint(control, hint);
    }

    // Keyboard order follows window order: put the controls in it.
    std::vector<const Control*> in_order;
    for (const Control& item : controls_)
        if (item.layout->tabPosition >= 0) in_order.push_back(&item);
    std::sort(in_order.begin(), in_order.end(),
              [](const Control* a, const Control* b) { return a->layout->tabPosition < b->layout->tabPosition; });
    HWND previous = HWND_TOP;
    for (const Control* item : in_order) {
        SetWindowPos(item->handle, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = item->handle;
    }
}

std::string MapControls::textOf(const ControlLayout& layout)
{
    const unsigned id = TextIdsOf(layout.id).text;
    return id ? UiTextUtf8(id) : layout.text;
}

std::string MapControls::hintOf(const ControlLayout& layout)
{
    const unsigned id = TextIdsOf(layout.id).hint;
    return id ? UiTextUtf8(id) : layout.hint ? layout.hint : "";
}

void MapControls::retext()
{
    for (Control& item : controls_) {
        const ControlLayout& layout = *item.layout;
        if (TextIdsOf(layout.id).text) {
            setText(item.handle, textOf(layout));
            if (layout.width == 0) fitToText(item.handle);
        }
        if (TextIdsOf(layout.id).hint) {
            item.hint = hintOf(layout);
            if (item.tipAdded) setHint(item.handle, item.hint);
        }
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

void MapControls::setMirrored(bool mirrored)
{
    if (mirrored == mirrored_) return;
    mirrored_ = mirrored;
    const auto lay_out = [mirrored](HWND window) {
        const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
        SetWindowLongPtrW(window, GWL_EXSTYLE, mirrored ? style | WS_EX_LAYOUTRTL : style & ~WS_EX_LAYOUTRTL);
    };
    lay_out(window_);
    // The map's panel, and the picture and ring in it, keep their layout: the
    // world is not mirrored.
    for (const Control& item : controls_)
        if (!item.layout->parent && item.layout->kind != ControlKind::Panel) lay_out(item.handle);
    for (const Control& item : controls_) place(item);
}

void MapControls::place(const Control& item) const
{
    ControlBounds bounds = boundsOf(*item.layout);
    if (mirrored_ && item.layout->kind == ControlKind::Panel) {
        // Placed from the mirrored window's right edge, so that it stays where it is.
        RECT client{};
        GetClientRect(window_, &client);
        bounds.left = client.right - bounds.left - bounds.width;
    }
    SetWindowPos(item.handle, nullptr, bounds.left, bounds.top, bounds.width, bounds.height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (item.layout->width == 0) fitToText(item.handle);
}

const MapControls::Control* MapControls::find(HWND control) const
{
    for (const Control& item : controls_)
        if (item.handle == control) return &item;
    return nullptr;
}

MapControls::Control* MapControls::find(HWND control)
{
    return const_cast<Control*>(static_cast<const MapControls*>(this)->find(control));
}

HWND MapControls::handle(MapControl control) const
{
    const auto index = static_cast<std::size_t>(control);
    return index < controls_.size() ? controls_[index].handle : nullptr;
}

const ControlLayout* MapControls::layoutOf(HWND control) const
{
    const Control* item = find(control);
    return item ? item->layout : nullptr;
}

std::string MapControls::hintOf(MapControl control) const
{
    const auto index = static_cast<std::size_t>(control);
    return index < controls_.size() ? controls_[index].hint : std::string();
}

void MapControls::setHint(HWND control, const std::string& hint)
{
    Control* item = find(control);
    if (item) item->hint = hint;
    std::wstring text = Utf8ToWide(hint);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text.data();
    // TTM_UPDATETIPTEXTW tells nothing of whether the tool exists, and the tooltip
    // takes a second tool for the same control without complaint: we remember it.
    const bool known = item && item->tipAdded;
    SendMessageW(tooltip_, known ? TTM_UPDATETIPTEXTW : TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    if (item) item->tipAdded = true;
}

void MapControls::setText(HWND control, std::string_view text)
{
    const std::wstring wide = Utf8ToWide(text);
    useFont(control, FitsAnsiCodePage(wide));
    SetWindowTextW(control, wide.c_str());
}

void MapControls::useFont(HWND control, bool textInCodePage)
{
    Control* item = find(control);
    if (!item) return;
    HFONT font = fontOf(*item->layout, textInCodePage);
    if (font == item->font) return;
    item->font = font;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
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

SIZE MapControls::textSize(HWND control, const std::wstring& text) const
{
    SIZE size{};
    const Control* item = find(control);
    if (!item) return size;
    WindowDc dc(control);
    dc.select(item->font);
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

void MapControls::fitToText(HWND control) const
{
    if (!find(control)) return;
    const SIZE size = textSize(control, WideWindowText(control));
    SetWindowPos(control, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool MapControls::fits(HWND control, std::string_view text) const
{
    RECT client{};
    GetClientRect(control, &client);
    return textSize(control, Utf8ToWide(text)).cx <= client.right;
}

}  // namespace mappa
