// Banded rectangles as a noisy picture gives them: one-row bands of scattered cells.
#ifndef PELLFORM_SCATTERED_RECTS_H
#define PELLFORM_SCATTERED_RECTS_H

#include <random>

#include "core/region_rects.h"

inline RegionRects ScatteredRects(std::size_t count) {
    RegionRects rects;
    std::mt19937 random(5);
    int y = 0;
    while (rects.size() < count) {
        int x = 0;
        for (int i = 0; i < 200 && rects.size() < count; ++i) {
            x += 1 + static_cast<int>(random() % 4);
            const int width = 1 + static_cast<int>(random() % 3);
            rects.push_back({x, y, x + width, y + 1});
            x += width;
        }
        ++y;
    }
    return rects;
}

#endif
