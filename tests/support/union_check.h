// Rectangles from any bytes, and a union checked against the cells they cover:
// what the union fuzzer runs on any input and the unit tests on theirs.
#ifndef PELLFORM_UNION_CHECK_H
#define PELLFORM_UNION_CHECK_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "core/region_rects.h"

// `count` rectangles after `rects`: the i-th is `first` with i times `step` added to each field.
inline RegionRects RepeatedRects(int count, RegionRect first, RegionRect step, RegionRects rects = {}) {
    for (int i = 0; i < count; ++i)
        rects.push_back({first.left + i * step.left, first.top + i * step.top, first.right + i * step.right,
                         first.bottom + i * step.bottom});
    return rects;
}

// Records of 13 bytes: a count byte c, a first rectangle (four 16-bit fields)
// and a step (four signed bytes) make c + 1 rectangles, kept within -64..448.
inline RegionRects DecodeRects(const std::uint8_t* data, std::size_t size) {
    RegionRects rects;
    for (const std::uint8_t* p = data; p + 13 <= data + size && rects.size() < 8192; p += 13) {
        const auto field = [p](int i) { return (p[1 + 2 * i] | p[2 + 2 * i] << 8) % 513 - 64; };
        const auto step = [p](int i) { return static_cast<int>(static_cast<std::int8_t>(p[9 + i])); };
        const auto at = [&](int i, int n) { return std::clamp(field(i) + n * step(i), -64, 448); };
        for (int n = 0; n <= p[0]; ++n) rects.push_back({at(0, n), at(1, n), at(2, n), at(3, n)});
    }
    return rects;
}

// The cells covered, plainly, on a grid over -64..449: each row's starts and ends summed.
inline std::vector<std::uint8_t> CellsOf(const RegionRects& rects) {
    constexpr int kLow = -64, kSide = 514;  // a column past any rectangle ends every row at 0
    std::vector<int> marks(kSide * kSide);
    for (const RegionRect& r : rects)
        for (int y = r.top; y < r.bottom && r.left < r.right; ++y)
            ++marks[(y - kLow) * kSide + r.left - kLow], --marks[(y - kLow) * kSide + r.right - kLow];
    std::vector<std::uint8_t> cells(marks.size());
    int count = 0;
    for (std::size_t i = 0; i < marks.size(); ++i) cells[i] = (count += marks[i]) > 0;
    return cells;
}

// The bound on a union's steps for n rectangles given and k made.
inline double StepBound(double n, double k) { return 12 * (n + k + 1) * (std::log2(n + 1) + 4); }

// What is wrong with the union of `rects` (within the grid: fewer rectangles
// than the limit), or nothing: banded, their cells exactly, StepBound steps at most.
inline std::string CheckUnion(const RegionRects& rects) {
    UnionStats stats;
    const RegionRects made = UnionOfRects(rects, kMaxRegionRects, &stats);
    const double bound = StepBound(static_cast<double>(rects.size()), static_cast<double>(made.size()));
    char fault[128] = "";
    if (!IsBanded(made) || CellsOf(made) != CellsOf(rects) || static_cast<double>(stats.steps) > bound)
        std::snprintf(fault, sizeof fault, "%zu rectangles into %zu in %llu steps, bound %.0f", rects.size(),
                      made.size(), static_cast<unsigned long long>(stats.steps), bound);
    return fault;
}

#endif
