#include "platform/picture_loading.h"

#include <cstring>

#include "platform/win_handles.h"
#include "platform/com_owners.h"
#include "core/picture_header.h"
#include "platform/resource_bytes.h"
#include "core/picture_size.h"

namespace {

struct Extent {
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
};

Extent ReadExtent(IPicture* picture) {
    Extent extent;
    picture->get_Width(&extent.width);
    picture->get_Height(&extent.height);
    return extent;
}

// HIMETRIC's y axis runs upward: starting at the bottom edge with a negative
// height draws the picture upright.
HRESULT RenderUpright(IPicture* picture, HDC target, int width, int height, const Extent& extent) {
    return picture->Render(target, 0, 0, width, height, 0, extent.height, extent.width, -extent.height, nullptr);
}

HBITMAP DrawOnBackground(IPicture* picture, COLORREF background) {
    WindowDc screen(GetDesktopWindow());
    if (!screen) return nullptr;
    OwnedMemoryDc memory(CreateCompatibleDC(screen.get()));
    if (!memory) return nullptr;
    const Extent extent = ReadExtent(picture);
    const int width = HimetricToPixelsHalfEven(extent.width, GetDeviceCaps(memory.get(), LOGPIXELSX));
    const int height = HimetricToPixelsHalfEven(extent.height, GetDeviceCaps(memory.get(), LOGPIXELSY));
    // Metafiles are bounded here, by the size they would be drawn at, before
    // any bitmap is made.
    if (!PictureSizeAcceptable(width, height)) return nullptr;

    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    OwnedBitmap bitmap(CreateDIBitmap(screen.get(), &header, 0, nullptr, nullptr, DIB_RGB_COLORS));
    if (!bitmap) return nullptr;
    {
        Selection selected(memory.get(), bitmap.get());
        if (!selected) return nullptr;
        RECT area = {0, 0, width, height};
        OwnedBrush brush(CreateSolidBrush(background));
        if (brush) FillRect(memory.get(), &area, brush.get());
        if (FAILED(RenderUpright(picture, memory.get(), width, height, extent))) return nullptr;
    }
    return bitmap.release();
}

}  // namespace

HBITMAP LoadPictureFile(const char* path, COLORREF background) {
    return LoadPictureFileWithAlpha(path, background, nullptr);
}

// The whole file in a movable block that a stream can take over, read once,
// its size checked before anything is allocated for it.
static OwnedGlobal ReadPictureFile(const wchar_t* path, DWORD& size) {
    OwnedFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER length{};
    if (!file || !GetFileSizeEx(file.get(), &length) || length.QuadPart <= 0 ||
        static_cast<ULONGLONG>(length.QuadPart) > kMaxPictureFileBytes)
        return OwnedGlobal();
    size = static_cast<DWORD>(length.QuadPart);
    OwnedGlobal block(GlobalAlloc(GMEM_MOVEABLE, size));
    GlobalLockGuard locked(block.get());
    auto* bytes = static_cast<BYTE*>(locked.get());
    if (!bytes) return OwnedGlobal();
    for (DWORD done = 0, read = 0; done < size; done += read)
        if (!ReadFile(file.get(), bytes + done, size - done, &read, nullptr) || read == 0) return OwnedGlobal();
    return block;
}

// A stream over the file's bytes once their headers passed; the decoders read
// those same bytes, never the file again. Empty when a header is malformed or
// claims more pixels than the limit.
static ComPtr<IStream> OpenCheckedPicture(const wchar_t* path, PictureHeader& header) {
    DWORD size = 0;
    OwnedGlobal block = ReadPictureFile(path, size);
    if (!block) return ComPtr<IStream>();
    {
        GlobalLockGuard locked(block.get());
        if (!locked.get()) return ComPtr<IStream>();
        header = CheckPictureHeader(static_cast<const std::uint8_t*>(locked.get()), size);
    }
    ComPtr<IStream> stream;
    if (header.verdict == HeaderVerdict::TooLarge || header.verdict == HeaderVerdict::Malformed ||
        FAILED(CreateStreamOnHGlobal(block.get(), TRUE, stream.out())))
        return ComPtr<IStream>();
    block.release();  // the stream's now
    // The block may be larger than asked for: the stream ends where the file does.
    ULARGE_INTEGER length{};
    length.QuadPart = size;
    if (FAILED(stream->SetSize(length))) return ComPtr<IStream>();
    return stream;
}

// Run mode FALSE: Wine's picture object created in run mode does not own its
// bitmap and never deletes it (one leaked bitmap per load); on Windows the flag
// only keeps the original bytes until the picture is released.
static ComPtr<IPicture> LoadOlePicture(IStream* stream) {
    ComPtr<IPicture> picture;
    const LARGE_INTEGER start{};
    if (SUCCEEDED(stream->Seek(start, STREAM_SEEK_SET, nullptr)))
        OleLoadPicture(stream, 0, FALSE, IID_IPicture, picture.outVoid());
    return picture;
}

HBITMAP LoadPictureFileWithAlpha(const char* path, COLORREF background, AlphaPlane* alpha) {
    if (alpha) *alpha = AlphaPlane{};
    // The editor's names come from its file dialogs, so they fit MAX_PATH.
    wchar_t wide[MAX_PATH];
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH)) return nullptr;
    return LoadPictureFileWithAlpha(wide, background, alpha);
}

HBITMAP LoadPictureFileWithAlpha(const wchar_t* path, COLORREF background, AlphaPlane* alpha) {
    if (alpha) *alpha = AlphaPlane{};
    ComScope com;
    PictureHeader header;
    const ComPtr<IStream> stream = OpenCheckedPicture(path, header);
    if (!stream) return nullptr;
    // GIF, JPEG and BMP stay with the OLE picture object, which decoded them
    // before the imaging component was used at all; what it cannot decode gets
    // a second chance there. PNG, TIFF and icons go to the imaging component
    // first, so they decode the same whether or not the OLE object knows them.
    // Bytes no check knows never meet the OLE object, which would sniff them
    // as a format of its own unchecked: the imaging component alone may take
    // them, through a frame whose size it checks before any pixel.
    const bool imagingFirst = header.format == PictureFormat::Png || header.format == PictureFormat::Tiff ||
                              header.format == PictureFormat::Icon;
    const UINT frame = header.format == PictureFormat::Icon ? static_cast<UINT>(header.iconImage) : 0;
    if (header.format == PictureFormat::Unknown) return DecodePictureWithWic(stream.get(), 0, background, alpha);
    if (imagingFirst) {
        if (HBITMAP bitmap = DecodePictureWithWic(stream.get(), frame, background, alpha)) return bitmap;
    }
    const ComPtr<IPicture> picture = LoadOlePicture(stream.get());
    if (picture) {
        if (HBITMAP bitmap = DrawOnBackground(picture.get(), background)) return bitmap;
    }
    return imagingFirst ? nullptr : DecodePictureWithWic(stream.get(), frame, background, alpha);
}

HBITMAP LoadPictureResource(HMODULE module, LPCSTR name) {
    const ResourceBytes bytes = FindResourceBytes(module, name, "IMAGE");
    if (bytes.size == 0 || !bytes.data) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    return LoadPictureMemory(bytes.data, bytes.size);
}

// The last-error code a failure sets must survive the cleanup that follows it.
class LastErrorKeeper {
public:
    ~LastErrorKeeper() { SetLastError(code_); }
    void Keep() { code_ = GetLastError(); }

private:
    DWORD code_ = GetLastError();
};

HBITMAP LoadPictureMemory(const void* data, DWORD size) {
    LastErrorKeeper lastError;
    const PictureHeader header = CheckPictureHeader(static_cast<const std::uint8_t*>(data), size);
    // This route has only the OLE picture object, which takes no unknown bytes.
    if (header.verdict == HeaderVerdict::TooLarge || header.verdict == HeaderVerdict::Malformed ||
        header.format == PictureFormat::Unknown) {
        SetLastError(ERROR_INVALID_PARAMETER);  // as for bytes that do not decode
        lastError.Keep();
        return nullptr;
    }
    ComScope com;
    OwnedGlobal block(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!block) return nullptr;
    {
        GlobalLockGuard locked(block.get());
        if (!locked.get()) return nullptr;
        std::memcpy(locked.get(), data, size);
    }
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block.get(), TRUE, stream.out()))) return nullptr;
    // From here the stream owns the block and frees it when released.
    block.release();
    const ComPtr<IPicture> picture = LoadOlePicture(stream.get());
    HBITMAP bitmap = PictureToBitmap(picture.get());
    lastError.Keep();
    return bitmap;
}

static HBITMAP DrawPicture(IPicture* picture, HRESULT& drawn) {
    WindowDc screen(nullptr);
    if (!screen) return nullptr;
    OwnedMemoryDc memory(CreateCompatibleDC(screen.get()));
    if (!memory) return nullptr;
    const Extent extent = ReadExtent(picture);
    const int width = HimetricToPixelsMulDiv(extent.width, GetDeviceCaps(screen.get(), LOGPIXELSX));
    const int height = HimetricToPixelsMulDiv(extent.height, GetDeviceCaps(screen.get(), LOGPIXELSY));
    if (!PictureSizeAcceptable(width, height)) {
        drawn = E_OUTOFMEMORY;
        return nullptr;
    }
    OwnedBitmap bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    if (!bitmap) return nullptr;
    {
        Selection selected(memory.get(), bitmap.get());
        if (!selected) return nullptr;
        drawn = RenderUpright(picture, memory.get(), width, height, extent);
    }
    return SUCCEEDED(drawn) ? bitmap.release() : nullptr;
}

HBITMAP PictureToBitmap(IPicture* picture) {
    if (!picture) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HRESULT drawn = S_OK;
    HBITMAP bitmap = DrawPicture(picture, drawn);
    if (FAILED(drawn)) SetLastError(static_cast<DWORD>(drawn));
    return bitmap;
}
