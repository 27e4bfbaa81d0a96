// The map window's controls, in creation order, at 96 pixels per inch: one
// table, indexed by the controls' names, that holds each control's place,
// text, font, hint, keyboard order, notification and what a screen reader
// hears of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>

#include "localtime/LocalTimeTexts.h"
#include "ui/MapLogic.h"

namespace mappa {

enum class MapControl : std::uint8_t {
    lsName, lsPhone, lsFax, lsToll, lsEMail, lsWebLink, Label2, lsCountry, shKeySupport, Label1, lsWebLink2,
    ComboBox1, ldName, ldPhone, ldFax, ldToll, bCopy, bExit, ldEmail, Panel1, Image1, Overlay, ldInterToll,
    // Added to the design, in the free row below the e-mail address: the
    // selected office's local time and opening state.
    lsLocalTime, ldLocalTime
};
inline constexpr std::size_t kMapControlCount = static_cast<std::size_t>(MapControl::ldLocalTime) + 1;

enum class ControlKind { Label, Link, Shape, ComboBox, TextPanel, Button, Panel, Picture };
enum class ControlFont { Form, Link, Email };

// What sets a control apart from others of its kind.
enum ControlTrait : unsigned {
    kPlain = 0,
    kLinkStyle = 1,     // blue text and the hand cursor
    kStartsHidden = 2,  // hidden until the program shows it
};

// What a control tells its window, and so which of the window's handlers it runs.
enum class ControlEvent { None, Click, Selection };

// What a screen reader hears a control as. Links (the web links and the
// e-mail address) also take the focus and open from the keyboard; text
// panels are read-only.
enum class AccessibleRole { StaticText, Link, Graphic, ComboBox, Text, PushButton, Pane };

inline constexpr const wchar_t* kWorldMapName = L"World map";

struct ControlLayout {
    MapControl id;
    const char* name;  // as the design names it
    ControlKind kind;
    int left, top, width, height;  // width and height 0: sized to the text
    const char* text;
    const char* hint;
    ControlFont font;
    std::optional<MapControl> parent{};  // none: the window itself
    unsigned traits = kPlain;
    Rgb colour{};  // a shape's outline and fill
    ControlEvent event = ControlEvent::None;
    int tabPosition = -1;  // the place in keyboard order; -1: not in it
    AccessibleRole role = AccessibleRole::StaticText;
    std::optional<MapControl> labelledBy{};  // the label that names it; none: its own text
    const wchar_t* accessibleName = nullptr;  // a name of its own, when it has no label
    bool valueIsText = false;  // its text is its value, its name comes from elsewhere
};

inline constexpr int kClientWidth = 648;
inline constexpr int kClientHeight = 472;
inline constexpr int kDesignLeft = 273;
inline constexpr int kDesignTop = 159;
inline constexpr int kPictureWidth = 640;
inline constexpr int kPictureHeight = 320;

inline constexpr ControlLayout kMapControls[] = {
    {.id = MapControl::lsName, .name = "lsName", .kind = ControlKind::Label, .left = 8, .top = 362, .width = 0,
     .height = 0, .text = "Name:", .hint = nullptr, .font = ControlFont::Form, .role = AccessibleRole::StaticText},
    {.id = MapControl::lsPhone, .name = "lsPhone", .kind = ControlKind::Label, .left = 8, .top = 386, .width = 0,
     .height = 0, .text = "Phone:", .hint = nullptr, .font = ControlFont::Form, .role = AccessibleRole::StaticText},
    {.id = MapControl::lsFax, .name = "lsFax", .kind = ControlKind::Label, .left = 8, .top = 410, .width = 0,
     .height = 0, .text = "Fax:", .hint = nullptr, .font = ControlFont::Form, .role = AccessibleRole::StaticText},
    {.id = MapControl::lsToll, .name = "lsToll", .kind = ControlKind::Label, .left = 297, .top = 386, .width = 0,
     .height = 0, .text = "Local Toll Free:", .hint = nullptr, .font = ControlFont::Form,
     .role = AccessibleRole::StaticText},
    {.id = MapControl::lsEMail, .name = "lsEMail", .kind = ControlKind::Label, .left = 8, .top = 432, .width = 0,
     .height = 0, .text = "EMail:", .hint = nullptr, .font = ControlFont::Form, .role = AccessibleRole::StaticText},
    {.id = MapControl::lsWebLink, .name = "lsWebLink", .kind = ControlKind::Link, .left = 297, .top = 336,
     .width = 0, .height = 0, .text = "", .hint = "", .font = ControlFont::Link, .traits = kLinkStyle,
     .event = ControlEvent::Click, .role = AccessibleRole::Link},
    {.id = MapControl::Label2, .name = "Label2", .kind = ControlKind::Label, .left = 519, .top = 336, .width = 0,
     .height = 0, .text = "Support Offices", .hint = nullptr, .font = ControlFont::Form,
     .role = AccessibleRole::StaticText},
    {.id = MapControl::lsCountry, .name = "lsCountry", .kind = ControlKind::Label, .left = 8, .top = 336,
     .width = 0, .height = 0, .text = "Country:", .hint = nullptr, .font = ControlFont::Form,
     .role = AccessibleRole::StaticText},
    {.id = MapControl::shKeySupport, .name = "shKeySupport", .kind = ControlKind::Shape, .left = 632, .top = 332,
     .width = 10, .height = 25, .text = "", .hint = nullptr, .font = ControlFont::Form, .colour = kSupportColour,
     .role = AccessibleRole::Graphic, .labelledBy = MapControl::Label2},
    {.id = MapControl::Label1, .name = "Label1", .kind = ControlKind::Label, .left = 297, .top = 410, .width = 0,
     .height = 0, .text = "International Toll Free:", .hint = nullptr, .font = ControlFont::Form,
     .role = AccessibleRole::StaticText},
    {.id = MapControl::lsWebLink2, .name = "lsWebLink2", .kind = ControlKind::Link, .left = 297, .top = 362,
     .width = 0, .height = 0, .text = "", .hint = "", .font = ControlFont::Link, .traits = kLinkStyle,
     .event = ControlEvent::Click, .role = AccessibleRole::Link},
    {.id = MapControl::ComboBox1, .name = "ComboBox1", .kind = ControlKind::ComboBox, .left = 64, .top = 332,
     .width = 209, .height = 21, .text = "", .hint = "Please select a Country.", .font = ControlFont::Form,
     .event = ControlEvent::Selection, .tabPosition = 0, .role = AccessibleRole::ComboBox,
     .labelledBy = MapControl::lsCountry, .valueIsText = true},
    {.id = MapControl::ldName, .name = "ldName", .kind = ControlKind::TextPanel, .left = 64, .top = 360,
     .width = 209, .height = 17, .text = "", .hint = "Company Name.", .font = ControlFont::Form, .tabPosition = 1,
     .role = AccessibleRole::Text, .labelledBy = MapControl::lsName, .valueIsText = true},
    {.id = MapControl::ldPhone, .name = "ldPhone", .kind = ControlKind::TextPanel, .left = 64, .top = 384,
     .width = 209, .height = 17, .text = "", .hint = "Company Phone Number.", .font = ControlFont::Form,
     .tabPosition = 2, .role = AccessibleRole::Text, .labelledBy = MapControl::lsPhone, .valueIsText = true},
    {.id = MapControl::ldFax, .name = "ldFax", .kind = ControlKind::TextPanel, .left = 64, .top = 408, .width = 209,
     .height = 17, .text = "", .hint = "Company Fax Number.", .font = ControlFont::Form, .tabPosition = 3,
     .role = AccessibleRole::Text, .labelledBy = MapControl::lsFax, .valueIsText = true},
    {.id = MapControl::ldToll, .name = "ldToll", .kind = ControlKind::TextPanel, .left = 432, .top = 384,
     .width = 209, .height = 17, .text = "", .hint = "Company Toll Free Number.", .font = ControlFont::Form,
     .tabPosition = 4, .role = AccessibleRole::Text, .labelledBy = MapControl::lsToll, .valueIsText = true},
    {.id = MapControl::bCopy, .name = "bCopy", .kind = ControlKind::Button, .left = 488, .top = 438, .width = 75,
     .height = 25, .text = "Copy", .hint = "Copy contact details to Clipboard.", .font = ControlFont::Form,
     .event = ControlEvent::Click, .tabPosition = 5, .role = AccessibleRole::PushButton},
    {.id = MapControl::bExit, .name = "bExit", .kind = ControlKind::Button, .left = 568, .top = 438, .width = 75,
     .height = 25, .text = "Exit", .hint = "Exit Program", .font = ControlFont::Form, .event = ControlEvent::Click,
     .tabPosition = 6, .role = AccessibleRole::PushButton},
    {.id = MapControl::ldEmail, .name = "ldEmail", .kind = ControlKind::TextPanel, .left = 64, .top = 431,
     .width = 209, .height = 17, .text = "", .hint = "Click to EMail selected Office", .font = ControlFont::Email,
     .traits = kLinkStyle, .event = ControlEvent::Click, .tabPosition = 7, .role = AccessibleRole::Link,
     .labelledBy = MapControl::lsEMail, .valueIsText = true},
    {.id = MapControl::Panel1, .name = "Panel1", .kind = ControlKind::Panel, .left = 4, .top = 5, .width = 649,
     .height = 321, .text = "", .hint = nullptr, .font = ControlFont::Form, .tabPosition = 8,
     .role = AccessibleRole::Pane, .accessibleName = kWorldMapName},
    {.id = MapControl::Image1, .name = "Image1", .kind = ControlKind::Picture, .left = 0, .top = 0,
     .width = kPictureWidth, .height = kPictureHeight, .text = "", .hint = nullptr, .font = ControlFont::Form,
     .parent = MapControl::Panel1, .role = AccessibleRole::Graphic, .accessibleName = kWorldMapName,
     .valueIsText = true},
    {.id = MapControl::Overlay, .name = "Overlay", .kind = ControlKind::Shape, .left = 31, .top = 235, .width = 52,
     .height = 53, .text = "", .hint = nullptr, .font = ControlFont::Form, .parent = MapControl::Panel1,
     .traits = kStartsHidden, .role = AccessibleRole::Graphic, .accessibleName = L"Selected office"},
    {.id = MapControl::ldInterToll, .name = "ldInterToll", .kind = ControlKind::TextPanel, .left = 432, .top = 408,
     .width = 209, .height = 17, .text = "", .hint = "Company Toll Free Number.", .font = ControlFont::Form,
     .tabPosition = 9, .role = AccessibleRole::Text, .labelledBy = MapControl::Label1, .valueIsText = true},
    {.id = MapControl::lsLocalTime, .name = "lsLocalTime", .kind = ControlKind::Label, .left = 8, .top = 454,
     .width = 0, .height = 0, .text = texts::kLocalTimeLabel, .hint = nullptr, .font = ControlFont::Form,
     .role = AccessibleRole::StaticText},
    {.id = MapControl::ldLocalTime, .name = "ldLocalTime", .kind = ControlKind::TextPanel, .left = 76, .top = 452,
     .width = 407, .height = 17, .text = "", .hint = nullptr, .font = ControlFont::Form,
     .role = AccessibleRole::Text, .labelledBy = MapControl::lsLocalTime, .valueIsText = true},
};
static_assert(std::size(kMapControls) == kMapControlCount);

constexpr bool IndexedByControl()
{
    for (std::size_t i = 0; i < kMapControlCount; ++i)
        if (static_cast<std::size_t>(kMapControls[i].id) != i) return false;
    return true;
}
static_assert(IndexedByControl(), "the table's rows stand in the order of MapControl");

constexpr const ControlLayout& LayoutOf(MapControl control) { return kMapControls[static_cast<std::size_t>(control)]; }

inline constexpr int kWorldMapResource = 100;

}  // namespace mappa
