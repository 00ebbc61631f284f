#include "tests/support/naive_region.h"

HRGN NaiveRegion(HBITMAP picture, int width, int height, COLORREF mask) {
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, picture);
    HRGN accumulator = CreateRectRgn(0, 0, 0, 0);
    for (int y = 0; y <= height; ++y)
        for (int x = 0, start = -1; x <= width; ++x) {
            const bool opaque = GetPixel(memory, x, y) != mask && x < width;
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
