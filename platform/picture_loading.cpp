#include "platform/picture_loading.h"

#include <cstring>

#include "platform/win_handles.h"
#include "platform/com_owners.h"
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

static HBITMAP LoadWithOle(LPOLESTR path, COLORREF background) {
    ComPtr<IPicture> picture;
    if (FAILED(OleLoadPicturePath(path, nullptr, 0, 0, IID_IPicture, picture.outVoid()))) return nullptr;
    return DrawOnBackground(picture.get(), background);
}

HBITMAP LoadPictureFileWithAlpha(const char* path, COLORREF background, AlphaPlane* alpha) {
    if (alpha) *alpha = AlphaPlane{};
    ComScope com;
    const int length = lstrlenA(path);
    CoTaskBuffer widePath(2 * (static_cast<SIZE_T>(length) + 1));
    if (!widePath.get()) return nullptr;
    auto* wide = static_cast<LPOLESTR>(widePath.get());
    if (!MultiByteToWideChar(CP_ACP, 0, path, -1, wide, length + 1)) return nullptr;
    // GIF, JPEG and BMP stay with the OLE picture object, which decoded them
    // before the imaging component was used at all; what it cannot decode gets
    // a second chance there.
    const PictureRoute route = ChoosePictureRoute(path);
    if (route == PictureRoute::Refused) return nullptr;
    if (route == PictureRoute::ImagingFirst) {
        if (HBITMAP bitmap = DecodePictureWithWic(wide, background, alpha)) return bitmap;
    }
    if (HBITMAP bitmap = LoadWithOle(wide, background)) return bitmap;
    return route == PictureRoute::OleFirst ? DecodePictureWithWic(wide, background, alpha) : nullptr;
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
    ComScope com;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block) return nullptr;
    {
        GlobalLockGuard locked(block);
        if (!locked.get()) {
            GlobalFree(block);
            return nullptr;
        }
        std::memcpy(locked.get(), data, size);
    }
    ComPtr<IStream> stream;
    // From here the stream owns the block and frees it when released.
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, stream.out()))) {
        GlobalFree(block);
        return nullptr;
    }
    ComPtr<IPicture> picture;
    // Run mode FALSE: Wine's picture object created in run mode does not own its
    // bitmap and never deletes it (one leaked bitmap per load); on Windows the
    // flag only keeps the original bytes until the picture is released.
    OleLoadPicture(stream.get(), 0, FALSE, IID_IPicture, picture.outVoid());
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
