#include "ui/MapPicture.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

#include "support/WinError.h"
#include "ui/WorldMapPicture.h"

namespace mappa {
namespace {

// A 32-bit top-down bitmap of the given size, its pixels at `bits`.
HBITMAP CreateTopDown32(int width, int height, void** bits)
{
    const BITMAPINFO header = TopDown32(width, height);
    return CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, bits, nullptr, 0);
}

// The guide line's pen: dotted, white. One pixel wide it is the cosmetic
// dotted pen; wider, the system's dotted pattern at that width.
HPEN CreateGuidePen(int width)
{
    if (width <= 1) return CreatePen(PS_DOT, 1, ToColorRef(kGuideLineColour));
    const LOGBRUSH brush{BS_SOLID, ToColorRef(kGuideLineColour), 0};
    return ExtCreatePen(PS_GEOMETRIC | PS_DOT | PS_ENDCAP_FLAT, static_cast<DWORD>(width), &brush, 0, nullptr);
}

}  // namespace

MarkerStamp::MarkerStamp(Rgb colour, int size, int outline)
    : MarkerStamp(size, [&](HDC dc, int centre) {
          const int half = (size < 0 ? 0 : size) / 2;
          const int width = outline < 1 ? 1 : outline;
          const BrushHandle brush(CreateSolidBrush(ToColorRef(colour)));
          const PenHandle wide_pen(width > 1 ? CreatePen(PS_INSIDEFRAME, width, RGB(0, 0, 0)) : nullptr);
          if (!brush || (width > 1 && !wide_pen)) throw WindowsError(E_OUTOFMEMORY, "Cannot draw the map markers");
          const ScopedSelect select_brush(dc, brush.get());
          const ScopedSelect select_pen(dc, wide_pen ? static_cast<HGDIOBJ>(wide_pen.get()) : GetStockObject(BLACK_PEN));
          Ellipse(dc, centre - half, centre - half, centre + half, centre + half);
      })
{
    colour_ = colour;
    outline_ = outline < 1 ? 1 : outline;
}

MarkerStamp::MarkerStamp(int size, const std::function<void(HDC dc, int centre)>& draw)
    : size_(size < 0 ? 0 : size)
{
    // The drawing is made twice, over two different grounds; the pixels that
    // come out the same both times are the ones it paints.
    const int side = 2 * size_ + 3;
    const int centre = size_ + 1;
    void* bits = nullptr;
    const BitmapHandle bitmap(CreateTopDown32(side, side, &bits));
    const MemoryDcHandle dc(CreateCompatibleDC(nullptr));
    if (!bitmap || !dc) throw WindowsError(E_OUTOFMEMORY, "Cannot draw the map markers");
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    const std::size_t count = static_cast<std::size_t>(side) * static_cast<std::size_t>(side);

    const ScopedSelect select_bitmap(dc.get(), bitmap.get());
    SetROP2(dc.get(), R2_COPYPEN);
    const auto drawOver = [&](COLORREF ground) {
        const BrushHandle fill(CreateSolidBrush(ground));
        const RECT all{0, 0, side, side};
        FillRect(dc.get(), &all, fill.get());
        const int saved = SaveDC(dc.get());
        draw(dc.get(), centre);
        RestoreDC(dc.get(), saved);
        GdiFlush();
        return std::vector<std::uint32_t>(pixels, pixels + count);
    };
    const std::vector<std::uint32_t> first = drawOver(RGB(0x12, 0x34, 0x56));
    const std::vector<std::uint32_t> second = drawOver(RGB(0xED, 0xCB, 0xA9));
    for (std::size_t i = 0; i < count; ++i) {
        if (first[i] != second[i]) continue;
        const int dx = static_cast<int>(i % static_cast<std::size_t>(side)) - centre;
        const int dy = static_cast<int>(i / static_cast<std::size_t>(side)) - centre;
        if (runs_.empty() || runs_.back().dy != dy || runs_.back().dx + static_cast<int>(runs_.back().length) != dx)
            runs_.push_back({dx, dy, values_.size(), 0});
        values_.push_back(first[i]);
        ++runs_.back().length;
    }
}

MapPicture::~MapPicture() { release(); }

void MapPicture::stamp(const MarkerStamp& marker, int x, int y)
{
    GdiFlush();  // drawing through the device context lands first
    for (const MarkerStamp::Run& run : marker.runs_) {
        const long long py = static_cast<long long>(y) + run.dy;
        if (py < 0 || py >= height_) continue;
        // The part of the run that lies inside the picture.
        const long long start = static_cast<long long>(x) + run.dx;
        const long long from = std::max(start, 0LL);
        const long long to = std::min(start + static_cast<long long>(run.length), static_cast<long long>(width_));
        if (from >= to) continue;
        const std::uint32_t* values = marker.values_.data() + run.first + static_cast<std::size_t>(from - start);
        std::copy(values, values + (to - from),
                  bits_ + static_cast<std::size_t>(py) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(from));
    }
}

void MapPicture::release()
{
    // The bitmap leaves the device context before either goes.
    if (dc_) SelectObject(dc_.get(), original_bitmap_);
    dc_.reset();
    bitmap_.reset();
    guide_pen_.reset();
    bits_ = nullptr;
    width_ = height_ = 0;
}

void MapPicture::loadResource(HINSTANCE instance, int resourceId)
{
    release();
    const BitmapHandle source(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!source) throw WindowsError(HRESULT_FROM_WIN32(GetLastError()), "Cannot load the map picture");
    BITMAP info{};
    GetObjectW(source.get(), sizeof info, &info);

    void* bits = nullptr;
    BitmapHandle picture(CreateTopDown32(info.bmWidth, info.bmHeight, &bits));
    MemoryDcHandle dc(CreateCompatibleDC(nullptr));
    PenHandle guide_pen(CreateGuidePen(1));
    if (!picture || !dc || !guide_pen) throw WindowsError(E_OUTOFMEMORY, "Cannot create the map picture");

    const MemoryDcHandle source_dc(CreateCompatibleDC(nullptr));
    {
        const ScopedSelect select_source(source_dc.get(), source.get());
        const ScopedSelect select_target(dc.get(), picture.get());
        BitBlt(dc.get(), 0, 0, info.bmWidth, info.bmHeight, source_dc.get(), 0, 0, SRCCOPY);
    }

    width_ = info.bmWidth;
    height_ = info.bmHeight;
    bits_ = static_cast<std::uint32_t*>(bits);
    bitmap_ = std::move(picture);
    dc_ = std::move(dc);
    guide_pen_ = std::move(guide_pen);
    original_bitmap_ = SelectObject(dc_.get(), bitmap_.get());
}

void MapPicture::loadWorldMap(HINSTANCE instance, int width, int height, int lineWidth)
{
    BitmapHandle picture = MakeWorldMapPicture(instance, width, height);
    DIBSECTION section{};
    MemoryDcHandle dc(CreateCompatibleDC(nullptr));
    PenHandle guide_pen(CreateGuidePen(lineWidth));
    if (!dc || !guide_pen || GetObjectW(picture.get(), sizeof section, &section) != sizeof section)
        throw WindowsError(E_OUTOFMEMORY, "Cannot create the map picture");
    release();
    width_ = width;
    height_ = height;
    bits_ = static_cast<std::uint32_t*>(section.dsBm.bmBits);
    bitmap_ = std::move(picture);
    dc_ = std::move(dc);
    guide_pen_ = std::move(guide_pen);
    original_bitmap_ = SelectObject(dc_.get(), bitmap_.get());
}

Rgb MapPicture::pixel(int x, int y) const
{
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return {};
    GdiFlush();
    const std::uint32_t value = bits_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
    return {static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
}

void MapPicture::copyTo(BitmapHandle& target) const
{
    if (!target) target.reset(CreateCompatibleBitmap(dc_.get(), width_, height_));
    if (!target) throw WindowsError(E_OUTOFMEMORY, "Cannot create the clean map");
    const MemoryDcHandle target_dc(CreateCompatibleDC(dc_.get()));
    const ScopedSelect select(target_dc.get(), target.get());
    BitBlt(target_dc.get(), 0, 0, width_, height_, dc_.get(), 0, 0, SRCCOPY);
}

void MapPicture::copyFrom(const BitmapHandle& source)
{
    if (!source) return;
    const MemoryDcHandle source_dc(CreateCompatibleDC(dc_.get()));
    const ScopedSelect select(source_dc.get(), source.get());
    BitBlt(dc_.get(), 0, 0, width_, height_, source_dc.get(), 0, 0, SRCCOPY);
}

void MapPicture::drawGuideLine(const GuideLine* erase, const GuideLine& line)
{
    HDC dc = dc_.get();
    const ScopedSelect select(dc, guide_pen_.get());
    SetROP2(dc, R2_XORPEN);
    SetBkMode(dc, TRANSPARENT);
    if (erase) {
        MoveToEx(dc, erase->from.x, erase->from.y, nullptr);
        LineTo(dc, erase->to.x, erase->to.y);
    }
    MoveToEx(dc, line.from.x, line.from.y, nullptr);
    LineTo(dc, line.to.x, line.to.y);
    SetROP2(dc, R2_COPYPEN);
}

void MapPicture::paint(HDC target) const { BitBlt(target, 0, 0, width_, height_, dc_.get(), 0, 0, SRCCOPY); }

}  // namespace mappa
