// The window class, style and font of each kind of control in the map
// window: what the window makes its controls of.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "ui/MapLayout.h"

namespace mappa {

inline HFONT MakeFont(int height, const wchar_t* face, bool bold, bool underline)
{
    return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, underline, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

// The faces of the layout and, for text that the system's code page does not
// hold, a face that shows every script. "MS Sans Serif" is a bitmap face with
// the glyphs of one code page, and Windows links no other font to a bitmap
// face; "Microsoft Sans Serif" is its TrueType successor, of the same design,
// with Greek, Cyrillic, Arabic and Hebrew of its own and the system's CJK
// fonts linked to it (FontLink\SystemLink). "Arial" is TrueType, with those
// four scripts of its own, and holds only fixed texts here.
struct FontFaces {
    int height;
    bool bold, underline;
    const wchar_t* layoutFace;
    const wchar_t* scriptFace;
};

inline constexpr FontFaces kFontFaces[] = {
    {-11, false, false, L"MS Sans Serif", L"Microsoft Sans Serif"},  // ControlFont::Form
    {-15, true, true, L"Arial", L"Arial"},                            // ControlFont::Link
    {-12, false, true, L"MS Sans Serif", L"Microsoft Sans Serif"},  // ControlFont::Email
};

struct WindowKind {
    const wchar_t* windowClass;  // null: the program's own class
    DWORD style;
};

inline WindowKind KindOf(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label: return {WC_STATICW, SS_LEFT | SS_NOPREFIX};
    case ControlKind::Link: return {WC_STATICW, SS_LEFT | SS_NOPREFIX | SS_NOTIFY};
    case ControlKind::TextPanel: return {WC_STATICW, SS_LEFTNOWORDWRAP | SS_NOPREFIX | SS_NOTIFY | SS_SUNKEN};
    case ControlKind::ComboBox: return {WC_COMBOBOXW, CBS_DROPDOWNLIST | CBS_SORT | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP};
    case ControlKind::Button: return {WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP};
    case ControlKind::Panel: return {nullptr, WS_CLIPCHILDREN};
    // The picture is the map that the keyboard reaches, inside its panel.
    case ControlKind::Picture: return {nullptr, WS_CLIPSIBLINGS | WS_TABSTOP};
    case ControlKind::Shape: return {nullptr, WS_CLIPSIBLINGS};
    }
    return {nullptr, 0};
}

}  // namespace mappa
