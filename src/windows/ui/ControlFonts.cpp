#include "ui/ControlFonts.h"

#include <iterator>

#include "support/WinError.h"
#include "ui/MapControlKinds.h"

namespace mappa {

ControlFonts::ControlFonts(const MapScale& scale)
{
    const bool design = scale.drawsBitmapFaces();
    for (std::size_t i = 0; i < std::size(kFontFaces); ++i) {
        const FontFaces& faces = kFontFaces[i];
        fonts_[i].reset(MakeFont(scale(faces.height), design ? faces.layoutFace : faces.scriptFace, faces.bold, faces.underline));
        script_fonts_[i].reset(MakeFont(scale(faces.height), faces.scriptFace, faces.bold, faces.underline));
        if (!fonts_[i] || !script_fonts_[i]) throw WindowsError(E_OUTOFMEMORY, "Cannot create the map window's fonts");
    }
}

HFONT ControlFonts::of(ControlFont font, bool textInCodePage) const
{
    const auto index = static_cast<std::size_t>(font);
    return (textInCodePage ? fonts_ : script_fonts_)[index].get();
}

bool ControlFonts::isScriptFace(ControlFont font, HFONT face) const
{
    const auto index = static_cast<std::size_t>(font);
    return face != fonts_[index].get() && face == script_fonts_[index].get();
}

}  // namespace mappa
