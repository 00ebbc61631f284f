// The tool's pictures on Windows: the add-in's picture loading, its bitmap read
// back as pixels.
#include "platform/picture_decoding.h"

#include "platform/picture_loading.h"
#include "platform/win_handles.h"

bool DecodePictureFile(const NativePath& path, std::uint32_t background, PicturePixels& picture) {
    AlphaPlane alpha;
    OwnedBitmap bitmap(LoadPictureFileWithAlpha(path.c_str(), background, &alpha));
    BITMAP size{};
    if (!bitmap || !GetObjectA(bitmap.get(), sizeof size, &size)) return false;
    if (alpha.values && (alpha.width != size.bmWidth || alpha.height != size.bmHeight)) return false;
    WindowDc screen(nullptr);
    if (!screen) return false;
    picture.width = size.bmWidth;
    picture.height = size.bmHeight;
    const std::size_t count = static_cast<std::size_t>(size.bmWidth) * static_cast<std::size_t>(size.bmHeight);
    picture.colors.assign(count, 0);
    BITMAPINFO info{};
    // Top-down: row 0 is the picture's top. The pixels are those GetPixel reports.
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.bmWidth, -size.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    if (GetDIBits(screen.get(), bitmap.get(), 0, static_cast<UINT>(size.bmHeight), picture.colors.data(), &info,
                  DIB_RGB_COLORS) != size.bmHeight)
        return false;
    for (std::uint32_t& color : picture.colors) color &= 0xFFFFFF;
    picture.alpha.clear();
    if (alpha.values) picture.alpha.assign(alpha.values.get(), alpha.values.get() + count);
    return true;
}
