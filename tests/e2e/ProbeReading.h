// What the probe reads of the running program: its controls through MSAA,
// the find dialog's list through the list view's messages, the tooltip.
// Each command prints what it read; 0 when it did what it says, 1 otherwise.
#pragma once

#include <string>

namespace mappa::probe {

// The focused control: name | role | value.
int FocusCommand();
// Every control of the map window: name | role | value.
int MsaaCommand();
// The default action of the map window's control with that accessible name.
int DoCommand(const std::wstring& name);
// The find dialog: "rows N selected I", then the first rows, cells joined by " | ".
int ListCommand();
// Double-clicks a row of the find dialog's list.
int DoubleClickRow(int row);
// The text of the shown tooltip of the map window.
int TooltipCommand();

}  // namespace mappa::probe
