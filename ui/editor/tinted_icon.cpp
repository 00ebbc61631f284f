// The caption icons: the editor icon blended toward a caption color.
#include <windows.h>

#include <vector>

#include "platform/win_handles.h"
#include "ui/editor/editor_state.h"
#include "core/pixel_math.h"

static bool TintBitmap(HBITMAP bitmap, int width, int height, COLORREF color) {
    WindowDc screen(nullptr);
    if (!screen) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * static_cast<size_t>(height));
    if (GetDIBits(screen.get(), bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS) != height) return false;
    for (DWORD& pixel : pixels) pixel = BlendPixelHalfway(pixel, color);
    return SetDIBits(screen.get(), bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS) == height;
}

HICON MakeTintedIcon(HINSTANCE module, int iconId, COLORREF color) {
    OwnedIcon source(static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(iconId), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
    if (!source) return nullptr;
    ICONINFO info{};
    if (!GetIconInfo(source.get(), &info)) return nullptr;
    // GetIconInfo hands out copies of both bitmaps; they are ours to release.
    OwnedBitmap mask(info.hbmMask);
    OwnedBitmap colorPlane(info.hbmColor);
    BITMAP description{};
    if (!colorPlane || !GetObjectA(colorPlane.get(), sizeof description, &description)) return nullptr;
    if (!TintBitmap(colorPlane.get(), description.bmWidth, description.bmHeight, color)) return nullptr;
    return CreateIconIndirect(&info);
}
