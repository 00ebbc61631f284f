#include "platform/picture_wic.h"

#include <wincodec.h>

#include <algorithm>
#include <cstdint>
#include <utility>
#include <new>

#include "platform/win_handles.h"
#include "platform/com_owners.h"
#include "core/picture_header.h"

namespace {

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
    for (UINT top = 0; top < height; top += stripRows) {
        const UINT rows = std::min(stripRows, height - top);
        const WICRect rect = {0, static_cast<INT>(top), static_cast<INT>(width), static_cast<INT>(rows)};
        if (FAILED(source->CopyPixels(&rect, width * 4, width * rows * 4, reinterpret_cast<BYTE*>(decoded.get()))))
            return nullptr;
        for (UINT row = 0; row < rows; ++row)
            ComposePixelRow(decoded.get() + static_cast<size_t>(row) * width, width, premultiplied, background,
                            composed.get() + static_cast<size_t>(rows - 1 - row) * width,
                            alphaValues ? alphaValues.get() + static_cast<size_t>(top + row) * width : nullptr);
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

HBITMAP DecodePictureWithWic(IStream* stream, UINT frameIndex, COLORREF background, AlphaPlane* alpha) {
    if (alpha) *alpha = AlphaPlane{};
    ComPtr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                factory.outVoid())))
        return nullptr;
    const LARGE_INTEGER start{};
    ComPtr<IWICBitmapDecoder> decoder;
    if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr)) ||
        FAILED(factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, decoder.out())))
        return nullptr;
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(decoder->GetFrame(frameIndex, frame.out()))) return nullptr;
    // The headers were checked, but a format they do not cover may reach here
    // too: its size is checked before a single pixel is asked for.
    UINT width = 0, height = 0;
    if (FAILED(frame->GetSize(&width, &height)) || !PictureSizeAcceptable(width, height)) return nullptr;
    ComPtr<IWICBitmapSource> source;
    bool premultiplied = false;
    if (FAILED(ConvertToBgra(factory.get(), frame.get(), source, premultiplied))) return nullptr;
    return ComposeOnBackground(source.get(), width, height, premultiplied, background, alpha);
}
