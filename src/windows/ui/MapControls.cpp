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

namespace {

// The control's text and hint in the language in use.
std::string TextOf(const ControlLayout& layout)
{
    const unsigned id = TextIdsOf(layout.id).text;
    return id ? UiTextUtf8(id) : layout.text;
}

std::string HintOf(const ControlLayout& layout)
{
    const unsigned id = TextIdsOf(layout.id).hint;
    return id ? UiTextUtf8(id) : layout.hint ? layout.hint : "";
}

}  // namespace

std::string WindowText(HWND window) { return WideToUtf8(WideWindowText(window)); }

void MapControls::createFonts(const MapScale& scale)
{
    ControlFonts fonts(scale);
    // Each control keeps the kind of face it has; the old fonts go once every
    // control has its new one.
    for (Control& item : controls_) {
        const bool script = fonts_.isScriptFace(item.layout->font, item.font);
        item.font = fonts.of(item.layout->font, !script);
        SendMessageW(item.handle, WM_SETFONT, reinterpret_cast<WPARAM>(item.font), FALSE);
    }
    std::swap(fonts_, fonts);
    placement_.setScale(scale);
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

        const ControlBounds bounds = placement_.boundsOf(layout);
        const std::wstring text = Utf8ToWide(TextOf(layout));
        HWND control = CreateWindowExW(extended, kind.windowClass ? kind.windowClass : own_class.c_str(), text.c_str(),
                                       style, bounds.left, bounds.top, bounds.width, bounds.height, parent, nullptr,
                                       instance, nullptr);
        if (!control) throw WindowsError(HRESULT_FROM_WIN32(GetLastError()), "Cannot create the map window");
        SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(userData));
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.of(layout.font)), FALSE);
        const std::string hint = HintOf(layout);
        controls_.add({&layout, control, hint, layout.colour, fonts_.of(layout.font), false});
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

void MapControls::retext()
{
    for (Control& item : controls_) {
        const ControlLayout& layout = *item.layout;
        if (TextIdsOf(layout.id).text) {
            setText(item.handle, TextOf(layout));
            if (layout.width == 0) fitToText(item.handle);
        }
        if (TextIdsOf(layout.id).hint) {
            item.hint = HintOf(layout);
            if (item.tipAdded) setHint(item.handle, item.hint);
        }
    }
}

void MapControls::setScale(const MapScale& scale)
{
    createFonts(scale);
    for (const Control& item : controls_) place(item);
}

void MapControls::setMirrored(bool mirrored)
{
    if (mirrored == placement_.mirrored()) return;
    placement_.setMirrored(mirrored);
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
    const ControlBounds bounds = placement_.boundsIn(*item.layout, window_);
    SetWindowPos(item.handle, nullptr, bounds.left, bounds.top, bounds.width, bounds.height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (item.layout->width == 0) fitToText(item.handle);
}

const MapControls::Control* MapControls::Table::at(MapControl control) const
{
    const auto index = static_cast<std::size_t>(control);
    return index < items_.size() ? &items_[index] : nullptr;
}

const MapControls::Control* MapControls::Table::find(HWND control) const
{
    for (const Control& item : items_)
        if (item.handle == control) return &item;
    return nullptr;
}

MapControls::Control* MapControls::Table::find(HWND control)
{
    return const_cast<Control*>(static_cast<const Table*>(this)->find(control));
}

HWND MapControls::handle(MapControl control) const
{
    const Control* item = controls_.at(control);
    return item ? item->handle : nullptr;
}

const ControlLayout* MapControls::layoutOf(HWND control) const
{
    const Control* item = controls_.find(control);
    return item ? item->layout : nullptr;
}

std::string MapControls::hintOf(MapControl control) const
{
    const Control* item = controls_.at(control);
    return item ? item->hint : std::string();
}

void MapControls::setHint(HWND control, const std::string& hint)
{
    Control* item = controls_.find(control);
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
    Control* item = controls_.find(control);
    if (!item) return;
    HFONT font = fonts_.of(item->layout->font, textInCodePage);
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
    const Control* item = controls_.find(shape);
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
    const Control* item = controls_.find(control);
    if (!item) return size;
    WindowDc dc(control);
    dc.select(item->font);
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

void MapControls::fitToText(HWND control) const
{
    if (!controls_.find(control)) return;
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
