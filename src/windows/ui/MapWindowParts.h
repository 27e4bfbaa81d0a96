// The parts that the map window composes, each made after the parts that it
// refers to: the density, the controls, the office table once it is loaded,
// the picture, the controls' looks, the panels, the local time, the selection,
// the commands, the placement and the focus kept over a deactivation.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "mapdata/MapFunc.h"
#include "support/FocusReturn.h"
#include "ui/LocalTimePanel.h"
#include "ui/MapCommands.h"
#include "ui/MapControlPainting.h"
#include "ui/MapControls.h"
#include "ui/MapPanels.h"
#include "ui/MapPictureView.h"
#include "ui/MapScale.h"
#include "ui/MapSelection.h"
#include "ui/MapWindowHooks.h"
#include "ui/MapWindowPlacement.h"

namespace mappa {

struct MapWindowParts {
    using TableFactory = std::function<std::unique_ptr<TMapFunc>()>;

    // For the window of class `className` whose handle `window` holds; `hooks`
    // hears of the selection, `panelMouseMove` runs as the pointer moves over
    // the panel. The table factory defaults to loading the data file beside the executable.
    MapWindowParts(HINSTANCE instance, const char* className, const HWND& window, const MapWindowHooks& hooks,
                   std::function<void()> panelMouseMove, TableFactory tableFactory)
        : view(instance, controls, scale),
          painting(instance, controls, view, std::move(panelMouseMove)),
          selection(view, panels, localTime, hooks, table),
          commands(instance),
          placement(className, window),
          makeTable(tableFactory ? std::move(tableFactory) : [] { return std::make_unique<TMapFunc>(); })
    {
    }

    MapScale scale;
    MapControls controls;
    std::unique_ptr<TMapFunc> table;
    MapPictureView view;
    MapControlPainting painting;
    MapPanels panels{controls};
    LocalTimePanel localTime{controls};
    MapSelection selection;
    MapCommands commands;
    MapWindowPlacement placement;
    FocusReturn focus;
    TableFactory makeTable;
};

// Lays the map window out for display density `dpi` at the place `suggested`:
// controls, fonts, the picture with its markers and the ring.
void ChangeMapDensity(HWND window, MapWindowParts& parts, int dpi, const RECT& suggested);

// The outer size of the map window laid out for `scale`.
SIZE MapFrameSize(const MapScale& scale);

}  // namespace mappa
