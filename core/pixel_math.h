// Pixel and placement arithmetic of the editor, kept free of Windows so it can be
// checked on its own.
#ifndef PELLFORM_PIXEL_MATH_H
#define PELLFORM_PIXEL_MATH_H

#include <cstdint>

// Blends a 32-bit DIB pixel (0xAARRGGBB) halfway toward a COLORREF (0x00BBGGRR):
// each of red, green and blue becomes the average of the two bytes, rounded down.
// The top byte of the pixel stays as it is.
constexpr std::uint32_t BlendPixelHalfway(std::uint32_t pixel, std::uint32_t color) {
    const std::uint32_t red = ((pixel >> 16 & 0xFF) + (color & 0xFF)) >> 1;
    const std::uint32_t green = ((pixel >> 8 & 0xFF) + (color >> 8 & 0xFF)) >> 1;
    const std::uint32_t blue = ((pixel & 0xFF) + (color >> 16 & 0xFF)) >> 1;
    return (pixel & 0xFF000000u) | red << 16 | green << 8 | blue;
}

// Start of a window of extent `inner` centered over [outerStart, outerStart + outer).
// The halving is an arithmetic shift, so a window larger than its owner starts
// half the difference before the owner, rounded toward minus infinity.
constexpr int CenteredStart(int outerStart, int outer, int inner) {
    return outerStart + ((outer - inner) >> 1);
}

// A rectangle, left and top inclusive, right and bottom exclusive.
struct Box {
    int left, top, right, bottom;
};

// Fits a window's normal position into the work area. The position is in the
// placement's coordinates, which start at (originX, originY) on the screen; the
// work area is in screen coordinates and is converted first. The window is
// shifted right and down, then left and up, to lie inside; one larger than the
// work area ends flush with its left and top and is cut to its size.
constexpr Box FitToWorkArea(Box window, Box work, int originX, int originY) {
    work = {work.left - originX, work.top - originY, work.right - originX, work.bottom - originY};
    auto shift = [&](int dx, int dy) {
        window = {window.left + dx, window.top + dy, window.right + dx, window.bottom + dy};
    };
    if (window.left < work.left) shift(work.left - window.left, 0);
    if (window.top < work.top) shift(0, work.top - window.top);
    if (window.right > work.right) shift(work.right - window.right, 0);
    if (window.bottom > work.bottom) shift(0, work.bottom - window.bottom);
    if (window.left < work.left) window.left = work.left;
    if (window.top < work.top) window.top = work.top;
    return window;
}

#endif
