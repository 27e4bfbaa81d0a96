#include "ui/MapAccessibility.h"

#include <oleacc.h>

#include <iterator>
#include <string>

#include "support/Support2Win.h"
#include "ui/AccessibleControl.h"
#include "ui/KeyboardLink.h"

namespace mappa {
namespace {

struct ControlAccess {
    const char* control;
    long role;
    const char* labelledBy;  // the label that names the control; null: the control's own text
    const wchar_t* name;     // a name of its own, when neither
    bool valueIsText;
    DWORD state;
    bool link;
};

constexpr DWORD kReadOnly = STATE_SYSTEM_READONLY;
constexpr DWORD kLinked = STATE_SYSTEM_LINKED;

constexpr ControlAccess kAccess[] = {
    {"lsName", ROLE_SYSTEM_STATICTEXT, nullptr, nullptr, false, 0, false},
    {"lsPhone", ROLE_SYSTEM_STATICTEXT, nullptr, nullptr, false, 0, false},
    {"lsFax", ROLE_SYSTEM_STATICTEXT, nullptr, nullptr, false, 0, false},
    {"lsToll", ROLE_SYSTEM_STATICTEXT, nullptr, nullptr, false, 0, false},
    {"lsEMail", ROLE_SYSTEM_STATICTEXT, nullptr, nullptr, false, 0, false},
    {"lsWebLink", ROLE_SYSTEM_LINK, nullptr, nullptr, false, kLinked, true},
    {"Label2", ROLE_SYSTEM_STATICTEXT, nullptr, nullptr, false, 0, false},
    {"lsCountry", ROLE_SYSTEM_STATICTEXT, nullptr, nullptr, false, 0, false},
    {"shKeySupport", ROLE_SYSTEM_GRAPHIC, "Label2", nullptr, false, 0, false},
    {"Label1", ROLE_SYSTEM_STATICTEXT, nullptr, nullptr, false, 0, false},
    {"lsWebLink2", ROLE_SYSTEM_LINK, nullptr, nullptr, false, kLinked, true},
    {"ComboBox1", ROLE_SYSTEM_COMBOBOX, "lsCountry", nullptr, true, 0, false},
    {"ldName", ROLE_SYSTEM_TEXT, "lsName", nullptr, true, kReadOnly, false},
    {"ldPhone", ROLE_SYSTEM_TEXT, "lsPhone", nullptr, true, kReadOnly, false},
    {"ldFax", ROLE_SYSTEM_TEXT, "lsFax", nullptr, true, kReadOnly, false},
    {"ldToll", ROLE_SYSTEM_TEXT, "lsToll", nullptr, true, kReadOnly, false},
    {"bCopy", ROLE_SYSTEM_PUSHBUTTON, nullptr, nullptr, false, 0, false},
    {"bExit", ROLE_SYSTEM_PUSHBUTTON, nullptr, nullptr, false, 0, false},
    {"ldEmail", ROLE_SYSTEM_LINK, "lsEMail", nullptr, true, kLinked, true},
    {"Panel1", ROLE_SYSTEM_PANE, nullptr, kWorldMapName, false, 0, false},
    // The picture is the map that takes the focus; its text is the selected office's name.
    {"Image1", ROLE_SYSTEM_GRAPHIC, nullptr, kWorldMapName, true, 0, false},
    {"Overlay", ROLE_SYSTEM_GRAPHIC, nullptr, L"Selected office", false, 0, false},
    {"ldInterToll", ROLE_SYSTEM_TEXT, "Label1", nullptr, true, kReadOnly, false},
};

// A label's text as a name: "Local Toll Free:" names "Local Toll Free".
std::wstring NameFromLabel(HWND label)
{
    std::wstring name = WideWindowText(label);
    while (!name.empty() && (name.back() == L':' || name.back() == L' ')) name.pop_back();
    return name;
}

}  // namespace

void MakeMapControlsAccessible(const MapControls& controls)
{
    for (const ControlAccess& access : kAccess) {
        HWND control = controls.handle(access.control);
        if (!control) continue;
        AccessibleTraits traits;
        traits.role = access.role;
        if (access.labelledBy) traits.name = NameFromLabel(controls.handle(access.labelledBy));
        else if (access.name) traits.name = access.name;
        traits.valueIsText = access.valueIsText;
        traits.state = access.state;
        traits.jumps = access.link;
        MakeAccessible(control, std::move(traits));
        if (access.link) MakeKeyboardLink(control);
    }
}

}  // namespace mappa
