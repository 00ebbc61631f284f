#include "tests/support/naive_region.h"

#include <cstdlib>

static bool IsMasked(COLORREF color, COLORREF mask, int tolerance) {
    auto within = [&](int shift) { return std::abs(int(color >> shift & 0xFF) - int(mask >> shift & 0xFF)) <= tolerance; };
    return tolerance == 0 || (color | mask) >> 24 ? color == mask : within(0) && within(8) && within(16);
}

HRGN NaiveRegion(HBITMAP picture, int width, int height, COLORREF mask, int tolerance) {
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, picture);
    HRGN accumulator = CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y <= height; ++y)
        for (int x = 0, start = -1; x <= width; ++x) {
            const bool opaque = !IsMasked(GetPixel(memory, x, y), mask, tolerance) && x < width;
            if (opaque && start < 0) start = x;
            if (opaque || start < 0) continue;
            HRGN run = CreateRectRgn(start, y, x, y + 1);
            CombineRgn(accumulator, accumulator, run, RGN_OR);
            DeleteObject(run);
            start = -1;
        }
    SelectObject(memory, previous);
    DeleteDC(memory);
    return accumulator;
}
