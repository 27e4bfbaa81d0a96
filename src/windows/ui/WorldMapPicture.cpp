#include "ui/WorldMapPicture.h"

#include <wincodec.h>
#include <wrl/client.h>

#include <cstdint>
#include <limits>
#include <span>
#include <stdexcept>
#include <vector>

#include "support/WinError.h"
#include "ui/MapLayout.h"
#include "ui/PictureScaling.h"

namespace mappa {
namespace {

using Microsoft::WRL::ComPtr;

// COM for the length of a decode. The window's thread already has its
// apartment; this keeps the picture usable from any thread.
class ComForThisThread {
public:
    ComForThisThread() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComForThisThread()
    {
        if (SUCCEEDED(result_)) CoUninitialize();
    }
    ComForThisThread(const ComForThisThread&) = delete;
    ComForThisThread& operator=(const ComForThisThread&) = delete;

private:
    HRESULT result_;  // RPC_E_CHANGED_MODE: the thread is in the multithreaded apartment, which serves too
};

std::span<const BYTE> ResourceBytes(HINSTANCE instance, int id, LPCWSTR type)
{
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(id), type);
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) {
        const DWORD error = GetLastError();
        throw WindowsError(error ? HRESULT_FROM_WIN32(error) : E_FAIL, "Cannot find the map picture");
    }
    return {static_cast<const BYTE*>(data), SizeofResource(instance, found)};
}

// Decodes an image resource (PNG or any other format the system's imaging
// component reads) into 32-bit pixels.
Image DecodeImageResource(HINSTANCE instance, int id)
{
    const std::span<const BYTE> bytes = ResourceBytes(instance, id, MAKEINTRESOURCEW(10));  // RCDATA
    const ComForThisThread com;
    constexpr const char* kWhat = "Cannot decode the map picture";
    ComPtr<IWICImagingFactory> factory;
    ThrowIfFailed(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory)),
                  kWhat);
    ComPtr<IWICStream> stream;
    ThrowIfFailed(factory->CreateStream(&stream), kWhat);
    // The stream only reads: resources are read-only memory.
    ThrowIfFailed(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())),
                  kWhat);
    ComPtr<IWICBitmapDecoder> decoder;
    ThrowIfFailed(factory->CreateDecoderFromStream(stream.Get(), nullptr, WICDecodeMetadataCacheOnDemand, &decoder),
                  kWhat);
    ComPtr<IWICBitmapFrameDecode> frame;
    ThrowIfFailed(decoder->GetFrame(0, &frame), kWhat);
    ComPtr<IWICFormatConverter> converter;
    ThrowIfFailed(factory->CreateFormatConverter(&converter), kWhat);
    ThrowIfFailed(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr,
                                        0.0, WICBitmapPaletteTypeCustom),
                  kWhat);
    UINT width = 0, height = 0;
    ThrowIfFailed(converter->GetSize(&width, &height), kWhat);
    if (width == 0 || height == 0 || width > 16384 || height > 16384) throw WindowsError(E_FAIL, kWhat);

    Image image{static_cast<int>(width), static_cast<int>(height),
                std::vector<std::uint32_t>(static_cast<std::size_t>(width) * height)};
    ThrowIfFailed(converter->CopyPixels(nullptr, width * 4, static_cast<UINT>(image.pixels.size() * 4),
                                        reinterpret_cast<BYTE*>(image.pixels.data())),
                  kWhat);
    return image;
}

// A 32-bit top-down DIB section and its pixels.
BitmapHandle CreatePicture(int width, int height, std::span<std::uint32_t>& pixels)
{
    // Refused before asking for memory that the size arithmetic cannot describe.
    const long long count = static_cast<long long>(width) * height;
    if (count > std::numeric_limits<LONG>::max() / 4) throw WindowsError(E_OUTOFMEMORY, "The map picture is too large");
    const BITMAPINFO header = TopDown32(width, height);
    void* bits = nullptr;
    BitmapHandle bitmap(CreateDIBSection(nullptr, &header, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap || !bits) throw WindowsError(E_OUTOFMEMORY, "Cannot create the map picture");
    pixels = {static_cast<std::uint32_t*>(bits), static_cast<std::size_t>(count)};
    return bitmap;
}

// The 8-bit bitmap resource with its palette colours, as the window has always shown it.
void CopyDesignBitmap(HINSTANCE instance, int width, int height, std::span<std::uint32_t> pixels)
{
    const BitmapHandle source(static_cast<HBITMAP>(
        LoadImageW(instance, MAKEINTRESOURCEW(kWorldMapResource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!source) throw WindowsError(HRESULT_FROM_WIN32(GetLastError()), "Cannot load the map picture");
    const MemoryDcHandle dc(CreateCompatibleDC(nullptr));
    BITMAPINFO header = TopDown32(width, height);
    if (!dc || GetDIBits(dc.get(), source.get(), 0, static_cast<UINT>(height), pixels.data(), &header, DIB_RGB_COLORS) != height)
        throw WindowsError(E_FAIL, "Cannot load the map picture");
}

}  // namespace

BITMAPINFO TopDown32(int width, int height)
{
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = width;
    header.bmiHeader.biHeight = -height;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    return header;
}

Image LargeWorldMap(HINSTANCE instance) { return DecodeImageResource(instance, kLargeWorldMapResource); }

std::span<const std::uint8_t> WorldVectorBytes(HINSTANCE instance)
{
    return ResourceBytes(instance, kWorldVectorsResource, MAKEINTRESOURCEW(10));  // RCDATA
}

BitmapHandle MakeWorldMapPicture(HINSTANCE instance, int width, int height)
{
    if (width <= 0 || height <= 0) throw std::invalid_argument("The map picture needs a positive size");
    std::span<std::uint32_t> pixels;
    BitmapHandle picture = CreatePicture(width, height, pixels);
    if (width == 640 && height == 320) {
        CopyDesignBitmap(instance, width, height, pixels);
        return picture;
    }
    const Image large = DecodeImageResource(instance, kLargeWorldMapResource);
    ScaleByAreaAverage(large.pixels, large.width, large.height, pixels, width, height);
    return picture;
}

}  // namespace mappa
