// The map window's controls, in creation order, at 96 pixels per inch.
#pragma once

#include "ui/MapLogic.h"

namespace mappa {

enum class ControlKind { Label, Link, Shape, ComboBox, TextPanel, Button, Panel, Picture };
enum class ControlFont { Form, Link, Email };

// What sets a control apart from others of its kind.
enum ControlTrait : unsigned {
    kPlain = 0,
    kLinkStyle = 1,     // blue text and the hand cursor
    kStartsHidden = 2,  // hidden until the program shows it
};

struct ControlLayout {
    const char* name;
    ControlKind kind;
    int left, top, width, height;  // width and height 0: sized to the text
    const char* text;
    const char* hint;
    ControlFont font;
    const char* parent;  // nullptr: the window itself
    unsigned traits = kPlain;
    Rgb colour{};  // a shape's outline and fill
};

inline constexpr int kClientWidth = 648;
inline constexpr int kClientHeight = 472;
inline constexpr int kDesignLeft = 273;
inline constexpr int kDesignTop = 159;
inline constexpr int kPictureWidth = 640;
inline constexpr int kPictureHeight = 320;

inline constexpr ControlLayout kMapControls[] = {
    {"lsName", ControlKind::Label, 8, 362, 0, 0, "Name:", nullptr, ControlFont::Form, nullptr},
    {"lsPhone", ControlKind::Label, 8, 386, 0, 0, "Phone:", nullptr, ControlFont::Form, nullptr},
    {"lsFax", ControlKind::Label, 8, 410, 0, 0, "Fax:", nullptr, ControlFont::Form, nullptr},
    {"lsToll", ControlKind::Label, 297, 386, 0, 0, "Local Toll Free:", nullptr, ControlFont::Form, nullptr},
    {"lsEMail", ControlKind::Label, 8, 432, 0, 0, "EMail:", nullptr, ControlFont::Form, nullptr},
    {"lsWebLink", ControlKind::Link, 297, 336, 0, 0, "", "", ControlFont::Link, nullptr, kLinkStyle},
    {"Label2", ControlKind::Label, 519, 336, 0, 0, "Support Offices", nullptr, ControlFont::Form, nullptr},
    {"lsCountry", ControlKind::Label, 8, 336, 0, 0, "Country:", nullptr, ControlFont::Form, nullptr},
    {"shKeySupport", ControlKind::Shape, 632, 332, 10, 25, "", nullptr, ControlFont::Form, nullptr, kPlain, kSupportColour},
    {"Label1", ControlKind::Label, 297, 410, 0, 0, "International Toll Free:", nullptr, ControlFont::Form, nullptr},
    {"lsWebLink2", ControlKind::Link, 297, 362, 0, 0, "", "", ControlFont::Link, nullptr, kLinkStyle},
    {"ComboBox1", ControlKind::ComboBox, 64, 332, 209, 21, "", "Please select a Country.", ControlFont::Form, nullptr},
    {"ldName", ControlKind::TextPanel, 64, 360, 209, 17, "", "Company Name.", ControlFont::Form, nullptr},
    {"ldPhone", ControlKind::TextPanel, 64, 384, 209, 17, "", "Company Phone Number.", ControlFont::Form, nullptr},
    {"ldFax", ControlKind::TextPanel, 64, 408, 209, 17, "", "Company Fax Number.", ControlFont::Form, nullptr},
    {"ldToll", ControlKind::TextPanel, 432, 384, 209, 17, "", "Company Toll Free Number.", ControlFont::Form, nullptr},
    {"bCopy", ControlKind::Button, 488, 438, 75, 25, "Copy", "Copy contact details to Clipboard.", ControlFont::Form, nullptr},
    {"bExit", ControlKind::Button, 568, 438, 75, 25, "Exit", "Exit Program", ControlFont::Form, nullptr},
    {"ldEmail", ControlKind::TextPanel, 64, 431, 209, 17, "", "Click to EMail selected Office", ControlFont::Email, nullptr,
     kLinkStyle},
    {"Panel1", ControlKind::Panel, 4, 5, 649, 321, "", nullptr, ControlFont::Form, nullptr},
    {"Image1", ControlKind::Picture, 0, 0, kPictureWidth, kPictureHeight, "", nullptr, ControlFont::Form, "Panel1"},
    {"Overlay", ControlKind::Shape, 31, 235, 52, 53, "", nullptr, ControlFont::Form, "Panel1", kStartsHidden},
    {"ldInterToll", ControlKind::TextPanel, 432, 408, 209, 17, "", "Company Toll Free Number.", ControlFont::Form, nullptr},
};

// Keyboard order of the controls that take part in it.
inline constexpr const char* kTabOrder[] = {"ComboBox1", "ldName", "ldPhone", "ldFax", "ldToll",
                                            "bCopy", "bExit", "ldEmail", "Panel1", "ldInterToll"};

inline constexpr int kWorldMapResource = 100;

}  // namespace mappa
