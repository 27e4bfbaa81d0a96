// What the office map needs from the map window, which the automation layer
// does not know: the offices, the selection, and showing an office as a click
// on its marker does. The application links the two at start-up.
#pragma once

#include <cstddef>
#include <optional>

#include "mapdata/LocationTable.h"

namespace mappa {

class OfficeMapHost {
public:
    virtual ~OfficeMapHost() = default;
    // The offices of the map window; null while it has none.
    virtual const LocationSlots* offices() const = 0;
    virtual std::optional<std::size_t> selectedOffice() const = 0;
    // Shows office `index` as a click on its marker does.
    virtual void showOffice(std::size_t index) = 0;
    // Opens the find dialog with `text` typed in.
    virtual void findOffices(const std::string& text) = 0;
};

// Null until the application sets it, and again when the window is gone.
void SetOfficeMapHost(OfficeMapHost* host);
OfficeMapHost* CurrentOfficeMapHost();

// The map window tells every office map's clients: an office was selected
// (by the user or a client), the window is closing.
void NotifyOfficeSelected(std::size_t index);
void NotifyMapClosing();

}  // namespace mappa
