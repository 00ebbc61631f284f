#include "platform/picture_wic.h"

#include <wincodec.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "platform/win_handles.h"
#include "platform/com_owners.h"

namespace {

// A hostile header may claim any size: larger pictures are refused before the
// decoder is asked for a single pixel.
constexpr UINT kMaxSide = 1 << 16;
constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 26;
// Every image of an icon is decoded to be measured; a directory may list many.
constexpr UINT kMaxIconImages = 256;

bool AcceptableSize(UINT width, UINT height) {
    return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
           std::uint64_t{width} * height <= kMaxPixels;
}

// The first frame, or for an icon its largest image. Of images of the same
// size the later one is taken, as icon files usually list the deeper color
// formats of a size after the shallower ones.
HRESULT ChooseFrame(IWICBitmapDecoder* decoder, ComPtr<IWICBitmapFrameDecode>& frame) {
    GUID container{};
    UINT count = 0;
    if (FAILED(decoder->GetContainerFormat(&container)) || container != GUID_ContainerFormatIco ||
        FAILED(decoder->GetFrameCount(&count)) || count < 2)
        return decoder->GetFrame(0, frame.out());
    std::uint64_t largest = 0;
    for (UINT index = 0; index < std::min(count, kMaxIconImages); ++index) {
        ComPtr<IWICBitmapFrameDecode> candidate;
        UINT width = 0, height = 0;
        if (FAILED(decoder->GetFrame(index, candidate.out())) || FAILED(candidate->GetSize(&width, &height)))
            continue;
        const std::uint64_t area = std::uint64_t{width} * height;
        if (area >= largest && area > 0) {
            largest = area;
            frame = std::move(candidate);
        }
    }
    return frame ? S_OK : E_FAIL;
}

// The frame as 32-bit BGRA, straight if the component converts to it, else
// premultiplied.
HRESULT ConvertToBgra(IWICImagingFactory* factory, IWICBitmapFrameDecode* frame,
                      ComPtr<IWICBitmapSource>& source, bool& premultiplied) {
    WICPixelFormatGUID format{};
    if (FAILED(frame->GetPixelFormat(&format))) return E_FAIL;
    if (format == GUID_WICPixelFormat32bppBGRA || format == GUID_WICPixelFormat32bppPBGRA) {
        premultiplied = format == GUID_WICPixelFormat32bppPBGRA;
        return frame->QueryInterface(__uuidof(IWICBitmapSource), source.outVoid());
    }
    for (const GUID* target : {&GUID_WICPixelFormat32bppBGRA, &GUID_WICPixelFormat32bppPBGRA}) {
        ComPtr<IWICFormatConverter> converter;
        if (FAILED(factory->CreateFormatConverter(converter.out()))) return E_FAIL;
        if (FAILED(converter->Initialize(frame, *target, WICBitmapDitherTypeNone, nullptr, 0.0,
                                         WICBitmapPaletteTypeCustom)))
            continue;
        premultiplied = target == &GUID_WICPixelFormat32bppPBGRA;
        return converter->QueryInterface(__uuidof(IWICBitmapSource), source.outVoid());
    }
    return E_FAIL;
}

// Composes the pixels over the background into a new screen-format bitmap,
// strip by strip, so memory beyond the bitmap stays small whatever its size.
HBITMAP ComposeOnBackground(IWICBitmapSource* source, UINT width, UINT height, bool premultiplied,
                            COLORREF background, AlphaPlane* alpha) {
    WindowDc screen(nullptr);
    if (!screen) return nullptr;
    OwnedBitmap bitmap(CreateCompatibleBitmap(screen.get(), static_cast<int>(width), static_cast<int>(height)));
    if (!bitmap) return nullptr;
    const UINT stripRows = std::max(1u, std::min(height, (1u << 16) / width));
    const size_t stripPixels = static_cast<size_t>(width) * stripRows;
    std::unique_ptr<std::uint32_t[]> decoded(new (std::nothrow) std::uint32_t[stripPixels]);
    std::unique_ptr<std::uint32_t[]> composed(new (std::nothrow) std::uint32_t[stripPixels]);
    std::unique_ptr<BYTE[]> alphaValues;
    if (alpha) alphaValues.reset(new (std::nothrow) BYTE[static_cast<size_t>(width) * height]);
    if (!decoded || !composed || (alpha && !alphaValues)) return nullptr;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = static_cast<LONG>(height);  // bottom-up: scan lines count from the bottom
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    const unsigned backRed = GetRValue(background), backGreen = GetGValue(background), backBlue = GetBValue(background);
    const auto blend = premultiplied ? BlendPremultipliedChannel : BlendChannel;
    for (UINT top = 0; top < height; top += stripRows) {
        const UINT rows = std::min(stripRows, height - top);
        const WICRect rect = {0, static_cast<INT>(top), static_cast<INT>(width), static_cast<INT>(rows)};
        if (FAILED(source->CopyPixels(&rect, width * 4, width * rows * 4, reinterpret_cast<BYTE*>(decoded.get()))))
            return nullptr;
        for (UINT row = 0; row < rows; ++row) {
            const std::uint32_t* in = decoded.get() + static_cast<size_t>(row) * width;
            std::uint32_t* out = composed.get() + static_cast<size_t>(rows - 1 - row) * width;
            BYTE* alphaRow = alphaValues ? alphaValues.get() + static_cast<size_t>(top + row) * width : nullptr;
            for (UINT x = 0; x < width; ++x) {
                const std::uint32_t pixel = in[x];
                const unsigned a = pixel >> 24, red = pixel >> 16 & 0xFF, green = pixel >> 8 & 0xFF, blue = pixel & 0xFF;
                if (alphaRow) alphaRow[x] = static_cast<BYTE>(a);
                out[x] = std::uint32_t{blend(red, backRed, a)} << 16 | std::uint32_t{blend(green, backGreen, a)} << 8 |
                         blend(blue, backBlue, a);
            }
        }
        if (SetDIBits(screen.get(), bitmap.get(), height - top - rows, rows, composed.get(), &info, DIB_RGB_COLORS) !=
            static_cast<int>(rows))
            return nullptr;
    }
    if (alpha) {
        alpha->width = static_cast<int>(width);
        alpha->height = static_cast<int>(height);
        alpha->values = std::move(alphaValues);
    }
    return bitmap.release();
}

}  // namespace

PictureRoute ChoosePictureRoute(const wchar_t* path) {
    OwnedFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    // The signature, then for a PNG its header chunk: length, "IHDR", width, height.
    BYTE start[24] = {};
    DWORD read = 0;
    if (!file || !ReadFile(file.get(), start, sizeof start, &read, nullptr) || read < 4) return PictureRoute::OleFirst;
    static const BYTE kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    static const BYTE kTiffIntel[4] = {'I', 'I', 42, 0};
    static const BYTE kTiffMotorola[4] = {'M', 'M', 0, 42};
    static const BYTE kIcon[4] = {0, 0, 1, 0};
    if (read >= 8 && std::memcmp(start, kPng, 8) == 0) {
        auto bigEndian = [&](int at) {
            return static_cast<UINT>(start[at]) << 24 | start[at + 1] << 16 | start[at + 2] << 8 | start[at + 3];
        };
        if (read == sizeof start && std::memcmp(start + 12, "IHDR", 4) == 0 &&
            !AcceptableSize(bigEndian(16), bigEndian(20)))
            return PictureRoute::Refused;
        return PictureRoute::ImagingFirst;
    }
    return std::memcmp(start, kTiffIntel, 4) == 0 || std::memcmp(start, kTiffMotorola, 4) == 0 ||
                   std::memcmp(start, kIcon, 4) == 0
               ? PictureRoute::ImagingFirst
               : PictureRoute::OleFirst;
}

HBITMAP DecodePictureWithWic(const wchar_t* path, COLORREF background, AlphaPlane* alpha) {
    if (alpha) *alpha = AlphaPlane{};
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                factory.outVoid())))
        return nullptr;
    ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(factory->CreateDecoderFromFilename(path, nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  decoder.out())))
        return nullptr;
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(ChooseFrame(decoder.get(), frame))) return nullptr;
    UINT width = 0, height = 0;
    if (FAILED(frame->GetSize(&width, &height)) || !AcceptableSize(width, height)) return nullptr;
    ComPtr<IWICBitmapSource> source;
    bool premultiplied = false;
    if (FAILED(ConvertToBgra(factory.get(), frame.get(), source, premultiplied))) return nullptr;
    return ComposeOnBackground(source.get(), width, height, premultiplied, background, alpha);
}
