// The faces of the map window's controls at one scale: the layout's face of
// each kind, and the same sizes in a face that shows every script.
#pragma once

#include <windows.h>

#include <array>

#include "support/WinHandles.h"
#include "ui/MapLayout.h"
#include "ui/MapScale.h"

namespace mappa {

class ControlFonts {
public:
    // None, before the controls exist.
    ControlFonts() = default;
    // Throws when Windows cannot make them.
    explicit ControlFonts(const MapScale& scale);

    // The face for texts that the code page holds, or the face for any script.
    HFONT of(ControlFont font, bool textInCodePage = true) const;
    // Whether a control shows `face` as the face for any script of its kind.
    bool isScriptFace(ControlFont font, HFONT face) const;

private:
    std::array<FontHandle, 3> fonts_;         // by ControlFont: the layout's faces
    std::array<FontHandle, 3> script_fonts_;  // the same sizes in a face for every script
};

}  // namespace mappa
