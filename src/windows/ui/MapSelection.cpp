#include "ui/MapSelection.h"

namespace mappa {

void MapSelection::select(std::size_t index)
{
    if (!table_ || index >= table_->Locations.dataCount()) return;
    selected_ = index;
    show(ToLocation(table_->Locations[index]), index);
    if (hooks_.onOfficeSelected) hooks_.onOfficeSelected(index);
}

void MapSelection::choose(const TLocation& location, std::optional<std::size_t> found)
{
    selected_.reset();
    if (found && table_ && *found < table_->Locations.dataCount()) selected_ = *found;
    show(location, selected_);
    if (selected_ && hooks_.onOfficeSelected) hooks_.onOfficeSelected(*selected_);
}

void MapSelection::show(const TLocation& location, std::optional<std::size_t> index)
{
    view_.showSelected(location, index);
    panels_.showContact(location);
    local_time_.show(location, index, table_.get());
}

}  // namespace mappa
