#include "ui/MapPictureView.h"

#include <oleacc.h>

#include "support/Support2Win.h"

namespace mappa {

MapPictureView::MapPictureView(HINSTANCE instance, MapControls& controls, const MapScale& scale)
    : controls_(controls),
      scale_(scale),
      layout_(scale),
      drawing_(instance, scale, layout_),
      ring_(controls, scale, drawing_.picture(), layout_),
      pointer_(controls, drawing_.picture(), layout_),
      navigation_(layout_, drawing_.picture(), scale, [this](MapNavigation::Change change) { viewChanged(change); }),
      picker_(controls, layout_, pointer_, navigation_),
      input_(drawing_.picture(), navigation_, ring_, pointer_)
{
}

void MapPictureView::create(HWND window, MapPictureInput::Events events, std::function<void()> viewChanged)
{
    view_changed_ = std::move(viewChanged);
    input_.setEvents(std::move(events));
    pointer_.create(drawing_.instance(), window);
    picker_.create(window);
}

void MapPictureView::loadPicture()
{
    drawing_.loadWorldMap();
    const MapPicture& picture = drawing_.picture();
    MapViewport& viewport = layout_.viewport();
    if (viewport.width() == 0) viewport = MapViewport(picture.width(), picture.height());
    else viewport.resize(picture.width(), picture.height());
}

void MapPictureView::show(TMapFunc& table)
{
    table_ = &table;
    pointer_.setTable(&table);
    picker_.setTable(&table);
    table_->computePositions(picture().width(), picture().height());
    layout_.setOffices(&table.Locations);
    if (!layout_.viewport().wholeWorld()) drawing_.drawView(table_);
    else drawing_.drawMap(table_);
    picture().copyTo(table_->CleanMap);
}

void MapPictureView::rescale(int oldDpi)
{
    drawing_.rescale();
    pointer_.rescale(oldDpi, scale_.dpi());
    if (table_) {
        table_->computePositions(picture().width(), picture().height());
        layout_.regroup();
        if (!layout_.viewport().wholeWorld()) drawing_.drawView(table_);
        else drawing_.drawMap(table_);
        table_->CleanMap.reset();
        picture().copyTo(table_->CleanMap);
    }
    ring_.reproject();
}

void MapPictureView::drawMap() { drawing_.drawMap(table_); }

void MapPictureView::viewChanged(MapNavigation::Change change)
{
    // Another filter changes nothing on a picture without offices.
    if (change == MapNavigation::Change::Filter && !table_) return;
    layout_.place();
    pointer_.pictureRedrawn();
    if (table_) {
        drawing_.drawView(table_);
        picture().copyTo(table_->CleanMap);
    }
    ring_.place();
    InvalidateRect(controls_.handle(MapControl::Image1), nullptr, FALSE);
    if (view_changed_) view_changed_();
}

void MapPictureView::showSelected(const TLocation& location, std::optional<std::size_t> office)
{
    ring_.setOffice(office);
    // A zoomed view follows the selection: the office comes into view.
    navigation_.follow(location);
    ring_.ring(location);
    // The map tells a screen reader the selected office's name as its value.
    HWND map = controls_.handle(MapControl::Image1);
    SetWindowTextW(map, Utf8ToWide(location.Name).c_str());
    NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, map, OBJID_CLIENT, CHILDID_SELF);
}

}  // namespace mappa
