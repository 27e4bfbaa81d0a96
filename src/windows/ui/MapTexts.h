// Which of the string tables' texts each control of the map window shows:
// its text, its hint and the name a screen reader hears. 0: none from the
// tables (the control shows the data file's text, or has no hint).
#pragma once

#include "support/UiTextIds.h"
#include "ui/MapLayout.h"

namespace mappa {

struct ControlTextIds {
    unsigned text = 0, hint = 0, accessibleName = 0;
};

constexpr ControlTextIds TextIdsOf(MapControl control)
{
    switch (control) {
    case MapControl::lsName: return {IDS_LABEL_NAME};
    case MapControl::lsPhone: return {IDS_LABEL_PHONE};
    case MapControl::lsFax: return {IDS_LABEL_FAX};
    case MapControl::lsToll: return {IDS_LABEL_LOCAL_TOLL};
    case MapControl::lsEMail: return {IDS_LABEL_EMAIL};
    case MapControl::Label2: return {IDS_LEGEND_SUPPORT};
    case MapControl::lsCountry: return {IDS_LABEL_COUNTRY};
    case MapControl::Label1: return {IDS_LABEL_INTERNATIONAL_TOLL};
    case MapControl::lsLocalTime: return {IDS_LABEL_LOCAL_TIME};
    case MapControl::ComboBox1: return {0, IDS_HINT_COUNTRY};
    case MapControl::ldName: return {0, IDS_HINT_NAME};
    case MapControl::ldPhone: return {0, IDS_HINT_PHONE};
    case MapControl::ldFax: return {0, IDS_HINT_FAX};
    case MapControl::ldToll: return {0, IDS_HINT_TOLL};
    case MapControl::ldInterToll: return {0, IDS_HINT_TOLL};
    case MapControl::bCopy: return {IDS_BUTTON_COPY, IDS_HINT_COPY};
    case MapControl::bExit: return {IDS_BUTTON_EXIT, IDS_HINT_EXIT};
    case MapControl::ldEmail: return {0, IDS_HINT_EMAIL};
    case MapControl::Panel1: return {0, 0, IDS_ACCESSIBLE_WORLD_MAP};
    case MapControl::Image1: return {0, 0, IDS_ACCESSIBLE_WORLD_MAP};
    case MapControl::Overlay: return {0, 0, IDS_ACCESSIBLE_SELECTED_OFFICE};
    default: return {};
    }
}

}  // namespace mappa
