#include "tests/support/naive_region.h"

HRGN NaiveRegion(HBITMAP picture, int width, int height, COLORREF mask) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HGDIOBJ previous = SelectObject(memory, picture);
    HRGN accumulator = nullptr;
    for (int y = 0; y <= height; ++y) {
        bool inRun = false;
        int start = 0;
        for (int x = 0; x <= width; ++x) {
            const COLORREF c = GetPixel(memory, x, y);
            if (c == mask || x >= width) {
                if (!inRun) continue;
                inRun = false;
                HRGN run = CreateRectRgn(start, y, x, y + 1);
                if (!accumulator) accumulator = run;
                else {
                    CombineRgn(accumulator, accumulator, run, RGN_OR);
                    DeleteObject(run);
                }
            } else if (!inRun) {
                inRun = true;
                start = x;
            }
        }
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    return accumulator;
}
