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

// Start of a window of extent `inner` centred over [outerStart, outerStart + outer).
// The halving is an arithmetic shift, so a window larger than its owner starts
// half the difference before the owner, rounded toward minus infinity.
constexpr int CenteredStart(int outerStart, int outer, int inner) {
    return outerStart + ((outer - inner) >> 1);
}

#endif
