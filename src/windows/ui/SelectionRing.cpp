#include "ui/SelectionRing.h"

#include "support/WinError.h"
#include "ui/MapLogic.h"
#include "ui/PictureGeometry.h"

namespace mappa {

SelectionRing::SelectionRing(MapControls& controls, const MapScale& scale, const MapPicture& picture,
                             const MarkerLayout& layout)
    : controls_(controls), scale_(scale), picture_(picture), layout_(layout)
{
}

void SelectionRing::ring(const TLocation& location)
{
    ringed_ = location;
    place();
}

void SelectionRing::reproject()
{
    if (!ringed_) return;
    const MapPoint at = TMapFunc::projectLocation(*ringed_, picture_.width(), picture_.height());
    ringed_->MapX = at.x;
    ringed_->MapY = at.y;
    place();
}

void SelectionRing::overlayLocation(const TLocation& location, Rgb colour, int size)
{
    HWND overlay = controls_.handle(MapControl::Overlay);
    SetWindowPos(overlay, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(overlay, SW_HIDE);
    controls_.setShapeColour(overlay, colour);
    const int left = location.MapX - size / 2;
    const int top = location.MapY - size / 2;
    SetWindowPos(overlay, nullptr, left, top, size, size, SWP_NOZORDER | SWP_NOACTIVATE);
    RegionHandle ring(CreateEllipticRgn(0, 0, size + 1, size + 1));
    if (!ring) throw WindowsError(E_OUTOFMEMORY, "Cannot shape the selection ring");
    // Once set, the region belongs to the window.
    if (SetWindowRgn(overlay, ring.get(), FALSE)) ring.release();
    ShowWindow(overlay, SW_SHOWNA);
    InvalidateRect(overlay, nullptr, TRUE);
}

void SelectionRing::place()
{
    if (!ringed_) return;
    const int size = scale_.ringSizeFor(KindOfOffice(ringed_->OfficeType));
    const MapViewport& view = layout_.viewport();
    if (view.wholeWorld()) {
        overlayLocation(*ringed_, kRingColour, size);
        return;
    }
    MapPoint place = view.toPicture(LocationTable::projectLocation(
        *ringed_, picture_.width() * view.scale(), picture_.height() * view.scale()));
    // The ring marks the group that holds the office, when one does.
    int ring_size = size;
    if (office_)
        if (const auto holder = layout_.groups().holderOf(*office_, layout_.level());
            holder && holder->isGroup()) {
            place = layout_.markerPlace(*holder);
            ring_size = GroupDiscSize(scale_, holder->count) + scale_(6);
        }
    if (place.x < 0 || place.y < 0 || place.x >= picture_.width() || place.y >= picture_.height()) {
        ShowWindow(controls_.handle(MapControl::Overlay), SW_HIDE);
        return;
    }
    TLocation at = *ringed_;
    at.MapX = place.x;
    at.MapY = place.y;
    overlayLocation(at, kRingColour, ring_size);
}

std::optional<MapPoint> SelectionRing::where() const
{
    if (!ringed_) return std::nullopt;
    const MapViewport& view = layout_.viewport();
    const MapPoint place =
        view.wholeWorld()
            ? MapPoint{ringed_->MapX, ringed_->MapY}
            : view.toPicture(LocationTable::projectLocation(*ringed_, picture_.width() * view.scale(),
                                                                 picture_.height() * view.scale()));
    if (place.x < 0 || place.y < 0 || place.x >= picture_.width() || place.y >= picture_.height()) return std::nullopt;
    return place;
}

}  // namespace mappa
