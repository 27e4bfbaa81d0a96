// The map window's controls as its layout table lists them: created on the
// window, found by their names in the layout, with their fonts, their hints shown as tooltips and
// the colours of the shapes. Texts are UTF-8.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "ui/ControlFonts.h"
#include "ui/ControlPlacement.h"
#include "ui/MapLayout.h"
#include "ui/MapScale.h"

namespace mappa {

class MapControls {
public:
    MapControls() = default;

    // Creates every control of the layout on `window`, in the table's order,
    // then puts them into keyboard order. Controls that the program draws
    // itself are of `ownClass`; every control carries `userData`. Places and
    // fonts are those of `scale`.
    void create(HINSTANCE instance, HWND window, const char* ownClass, void* userData, const MapScale& scale);

    // Mirrors the window's layout for a language written right to left, or
    // undoes it: every control but the map's panel, which stays as it is.
    void setMirrored(bool mirrored);
    bool mirrored() const { return placement_.mirrored(); }

    // Lays every control out anew for another density: place, size and font.
    void setScale(const MapScale& scale);

    // Null before the controls exist.
    HWND handle(MapControl control) const;
    // The layout of one of the controls; null for any other window.
    const ControlLayout* layoutOf(HWND control) const;

    std::string hintOf(MapControl control) const;
    // Gives every control with a text or hint of the string tables those of
    // the current language, sizing the labels to their new texts.
    void retext();
    void setHint(HWND control, const std::string& hint);

    // Sets a control's text, in the face that can show it (see fontFor).
    void setText(HWND control, std::string_view text);
    // Gives a control the face for texts that the code page holds, or the
    // face for any script.
    void useFont(HWND control, bool textInCodePage);

    void setShapeColour(HWND shape, Rgb colour);
    // Draws a shape: a circle as large as fits, centred, on the face colour.
    void paintShape(HWND shape, HDC dc, HBRUSH face) const;

    // Sizes a control to its text in its own font.
    void fitToText(HWND control) const;
    // Whether `text` in the control's font fits its width.
    bool fits(HWND control, std::string_view text) const;

private:
    struct Control {
        const ControlLayout* layout;
        HWND handle;
        std::string hint;
        Rgb shapeColour;
        HFONT font;
        bool tipAdded;  // the tooltip has a tool for it
    };
    // The controls in the layout's order, each found by its name or its window.
    class Table {
    public:
        void reserve(std::size_t count) { items_.reserve(count); }
        void add(const Control& item) { items_.push_back(item); }
        // Null for a name beyond them.
        const Control* at(MapControl control) const;
        const Control* find(HWND control) const;
        Control* find(HWND control);
        std::vector<Control>::iterator begin() { return items_.begin(); }
        std::vector<Control>::iterator end() { return items_.end(); }
        std::vector<Control>::const_iterator begin() const { return items_.begin(); }
        std::vector<Control>::const_iterator end() const { return items_.end(); }

    private:
        std::vector<Control> items_;
    };

    SIZE textSize(HWND control, const std::wstring& text) const;
    void createFonts(const MapScale& scale);
    void place(const Control& item) const;

    HWND window_ = nullptr;
    ControlPlacement placement_;  // the scale, and whether mirrored
    HWND tooltip_ = nullptr;
    Table controls_;
    ControlFonts fonts_;
};

std::string WindowText(HWND window);

}  // namespace mappa
