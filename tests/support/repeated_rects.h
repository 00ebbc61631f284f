// Rectangles made by repeating a step: how the shapes that once made unions
// slow are written, in the unit tests, the fuzzer and the benchmarks.
#ifndef PELLFORM_REPEATED_RECTS_H
#define PELLFORM_REPEATED_RECTS_H

#include "core/region_rects.h"

// `count` rectangles: the i-th is `first` with i times `step` added to each field.
inline RegionRects RepeatedRects(int count, RegionRect first, RegionRect step) {
    RegionRects rects;
    for (int i = 0; i < count; ++i)
        rects.push_back({first.left + i * step.left, first.top + i * step.top, first.right + i * step.right,
                         first.bottom + i * step.bottom});
    return rects;
}

inline RegionRects JoinedRects(RegionRects a, const RegionRects& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

#endif
