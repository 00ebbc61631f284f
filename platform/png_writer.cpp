#include "platform/png_writer.h"

#include <wincodec.h>

#include <algorithm>
#include <memory>
#include <new>

#include "core/no_throw.h"
#include "platform/com_owners.h"
#include "platform/region_file_io.h"
#include "platform/win_handles.h"

namespace {

// The encoded file, in a stream on memory the stream owns.
HRESULT EncodePng(IStream* stream, UINT width, UINT height, const PngRowFiller& fillRow) {
    ComPtr<IWICImagingFactory> factory;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  factory.outVoid());
    ComPtr<IWICBitmapEncoder> encoder;
    if (SUCCEEDED(hr)) hr = factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.out());
    if (SUCCEEDED(hr)) hr = encoder->Initialize(stream, WICBitmapEncoderNoCache);
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> options;
    if (SUCCEEDED(hr)) hr = encoder->CreateNewFrame(frame.out(), options.out());
    if (SUCCEEDED(hr)) hr = frame->Initialize(options.get());
    if (SUCCEEDED(hr)) hr = frame->SetSize(width, height);
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    if (SUCCEEDED(hr)) hr = frame->SetPixelFormat(&format);
    // An encoder may offer a nearby format instead: only BGRA keeps the alpha as given.
    if (SUCCEEDED(hr) && format != GUID_WICPixelFormat32bppBGRA) hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    if (FAILED(hr)) return hr;
    const UINT stripRows = std::max(1u, std::min(height, (1u << 16) / width));
    std::unique_ptr<std::uint32_t[]> strip(new (std::nothrow) std::uint32_t[static_cast<size_t>(width) * stripRows]);
    if (!strip) return E_OUTOFMEMORY;
    for (UINT top = 0; top < height && SUCCEEDED(hr); top += stripRows) {
        const UINT rows = std::min(stripRows, height - top);
        for (UINT row = 0; row < rows; ++row) fillRow(top + row, strip.get() + static_cast<size_t>(row) * width);
        hr = frame->WritePixels(rows, width * 4, width * rows * 4, reinterpret_cast<BYTE*>(strip.get()));
    }
    if (SUCCEEDED(hr)) hr = frame->Commit();
    if (SUCCEEDED(hr)) hr = encoder->Commit();
    return hr;
}

}  // namespace

bool WritePngFile(const wchar_t* path, UINT width, UINT height, const PngRowFiller& fillRow) {
    if (width == 0 || height == 0) return false;
    ComScope com;
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.out())) ||
        FAILED(ResultOrFailure<HRESULT>(E_OUTOFMEMORY,
                                        [&] { return EncodePng(stream.get(), width, height, fillRow); })))
        return false;
    STATSTG status{};
    HGLOBAL memory = nullptr;
    if (FAILED(stream->Stat(&status, STATFLAG_NONAME)) || status.cbSize.QuadPart > MAXDWORD ||
        FAILED(GetHGlobalFromStream(stream.get(), &memory)))
        return false;
    GlobalLockGuard locked(memory);
    wchar_t tempPath[MAX_PATH] = L"";
    return locked.get() &&
           WriteFileAtomically(path, locked.get(), static_cast<size_t>(status.cbSize.QuadPart), tempPath);
}

bool WritePngFile(const NativePath& path, std::uint32_t width, std::uint32_t height, const PngRowFiller& fillRow) {
    return WritePngFile(path.c_str(), width, height, fillRow);
}
