#include "ui/MapAccessibility.h"

#include <oleacc.h>

#include <string>

#include "support/Support2Win.h"
#include "support/UiText.h"
#include "ui/AccessibleControl.h"
#include "ui/KeyboardLink.h"
#include "ui/MapTexts.h"

namespace mappa {
namespace {

long RoleOf(AccessibleRole role)
{
    switch (role) {
    case AccessibleRole::StaticText: return ROLE_SYSTEM_STATICTEXT;
    case AccessibleRole::Link: return ROLE_SYSTEM_LINK;
    case AccessibleRole::Graphic: return ROLE_SYSTEM_GRAPHIC;
    case AccessibleRole::ComboBox: return ROLE_SYSTEM_COMBOBOX;
    case AccessibleRole::Text: return ROLE_SYSTEM_TEXT;
    case AccessibleRole::PushButton: return ROLE_SYSTEM_PUSHBUTTON;
    case AccessibleRole::Pane: return ROLE_SYSTEM_PANE;
    }
    return ROLE_SYSTEM_CLIENT;
}

DWORD StateOf(AccessibleRole role)
{
    if (role == AccessibleRole::Link) return STATE_SYSTEM_LINKED;
    if (role == AccessibleRole::Text) return STATE_SYSTEM_READONLY;
    return 0;
}

// A label's text as a name: "Local Toll Free:" names "Local Toll Free".
std::wstring NameFromLabel(HWND label)
{
    std::wstring name = WideWindowText(label);
    while (!name.empty() && (name.back() == L':' || name.back() == L' ')) name.pop_back();
    return name;
}

}  // namespace

void MakeMapControlsAccessible(const MapControls& controls, std::function<std::wstring()> describeMap)
{
    for (const ControlLayout& layout : kMapControls) {
        HWND control = controls.handle(layout.id);
        if (!control) continue;
        AccessibleTraits traits;
        traits.role = RoleOf(layout.role);
        // Names are read when asked for, so that they follow the language.
        if (layout.labelledBy) {
            HWND label = controls.handle(*layout.labelledBy);
            traits.currentName = [label] { return NameFromLabel(label); };
        } else if (const unsigned name = TextIdsOf(layout.id).accessibleName) {
            traits.currentName = [name] { return UiText(name); };
        } else if (layout.accessibleName) {
            traits.name = layout.accessibleName;
        }
        traits.valueIsText = layout.valueIsText;
        traits.state = StateOf(layout.role);
        const bool link = layout.role == AccessibleRole::Link;
        traits.jumps = link;
        if (layout.id == MapControl::Image1) traits.description = describeMap;
        MakeAccessible(control, std::move(traits));
        if (link) MakeKeyboardLink(control);
    }
}

}  // namespace mappa
