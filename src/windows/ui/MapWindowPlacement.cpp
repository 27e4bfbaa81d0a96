#include "ui/MapWindowPlacement.h"

namespace mappa {

MapWindowPlacement::MapWindowPlacement(const char* className, const HWND& window)
    : class_name_(className),
      window_(window),
      restore_([](const PlacementWindow& placement) { RestorePlacement(placement, true); }),
      save_([](const PlacementWindow& placement) { SavePlacement(placement); })
{
}

void MapWindowPlacement::setHooks(Hook restore, Hook save)
{
    restore_ = std::move(restore);
    save_ = std::move(save);
}

PlacementWindow MapWindowPlacement::window() const
{
    PlacementWindow placement;
    placement.handle = window_;
    placement.className = class_name_;
    placement.border = BorderStyle::Single;
    placement.perMonitorDensity = true;
    return placement;
}

void MapWindowPlacement::restore() const
{
    if (restore_) restore_(window());
}

void MapWindowPlacement::save() const
{
    if (save_) save_(window());
}

}  // namespace mappa
