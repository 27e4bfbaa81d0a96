// The map window's country list and the panels that show the selected
// office's contact details and the company's web links.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "mapdata/MapFunc.h"
#include "ui/MapControls.h"
#include "ui/MapLogic.h"

namespace mappa {

class MapPanels {
public:
    explicit MapPanels(MapControls& controls) : controls_(controls) {}

    // One entry per office's country, in the user's collation.
    void fillCountryList(const TMapFunc& table);
    void showLinks(const TMapFunc& table);
    // The office's details in the panels, and its country as the list's choice.
    void showContact(const TLocation& location);
    // The country chosen in the list; empty when none is.
    std::string chosenCountry() const;
    // What the panels and the list show, as Copy takes it.
    ContactFields shown() const;

private:
    std::string textOf(MapControl id) const;

    MapControls& controls_;
    std::vector<std::string> countries_;  // the country list's entries, in its order
};

}  // namespace mappa
