// Rectangles from any bytes, and a union checked against the cells they cover:
// what the union fuzzers run on any input and the unit tests on theirs.
#ifndef PELLFORM_UNION_CHECK_H
#define PELLFORM_UNION_CHECK_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "core/region_rects.h"

// `count` rectangles after `rects`: the i-th is `first` with i times `step` added to each field.
inline RegionRects RepeatedRects(int count, RegionRect first, RegionRect step, RegionRects rects = {}) {
    for (int i = 0; i < count; ++i)
        rects.push_back({first.left + i * step.left, first.top + i * step.top, first.right + i * step.right,
                         first.bottom + i * step.bottom});
    return rects;
}

// A byte s, then records of 13 bytes: a count byte c, a first rectangle (four
// signed 16-bit fields) and a step (four signed bytes) make (c % 16 + 1) x
// 2^(c / 16) rectangles, the n-th the first plus n steps, every field times
// 2^(s % 17) and kept within 32 bits: any rows and columns, many close or
// touching. A byte left over orders them: as made, reversed or shuffled. At
// most `most` rectangles, each record's `grow` times as many.
inline RegionRects DecodeRects(const std::uint8_t* data, std::size_t size, std::size_t most = 1 << 12,
                               long long grow = 1) {
    RegionRects rects;
    if (size == 0) return rects;
    const int shift = data[0] % 17;
    const std::uint8_t* end = data + size;
    const std::uint8_t* p = data + 1;
    for (; p + 13 <= end && rects.size() < most; p += 13) {
        const auto field = [p](int i) { return static_cast<std::int16_t>(p[1 + 2 * i] | p[2 + 2 * i] << 8); };
        const auto at = [&](int i, long long n) {
            const long long value = (field(i) + n * static_cast<std::int8_t>(p[9 + i])) * (1LL << shift);
            return static_cast<std::int32_t>(std::clamp<long long>(value, INT32_MIN, INT32_MAX));
        };
        const long long count = ((p[0] % 16 + 1LL) << (p[0] / 16)) * grow;
        for (long long n = 0; n < count && rects.size() < most; ++n)
            rects.push_back({at(0, n), at(1, n), at(2, n), at(3, n)});
    }
    if (p < end && end[-1] % 3 == 1) std::reverse(rects.begin(), rects.end());
    if (p < end && end[-1] % 3 == 2) std::shuffle(rects.begin(), rects.end(), std::minstd_rand(end[-1]));
    return rects;
}

// Whether two lists of rectangles cover the same cells, counted plainly on the
// grid of the distinct x and y of both (any coordinates cost only their
// number): row by row, each rectangle adds one to its columns where it starts
// and takes it away where it ends; columns covered by one list alone are counted.
inline bool SameCells(const RegionRects& a, const RegionRects& b) {
    using Change = std::pair<const RegionRect*, int>;  // a rectangle and its list
    std::vector<Change> given;
    std::vector<std::int32_t> xs, ys;
    for (int side = 0; side < 2; ++side)
        for (const RegionRect& r : side ? b : a)
            if (r.left < r.right && r.top < r.bottom) {
                given.push_back({&r, side});
                xs.insert(xs.end(), {r.left, r.right});
                ys.insert(ys.end(), {r.top, r.bottom});
            }
    for (std::vector<std::int32_t>* values : {&xs, &ys}) {
        std::sort(values->begin(), values->end());
        values->erase(std::unique(values->begin(), values->end()), values->end());
    }
    const auto rank = [](const std::vector<std::int32_t>& values, std::int32_t v) {
        return static_cast<std::size_t>(std::lower_bound(values.begin(), values.end(), v) - values.begin());
    };
    std::vector<std::vector<Change>> changes(ys.size());  // at the rows where they start or end
    for (const Change& change : given)
        for (std::int32_t y : {change.first->top, change.first->bottom}) changes[rank(ys, y)].push_back(change);
    std::vector<int> counts[2] = {std::vector<int>(xs.size()), std::vector<int>(xs.size())};
    long long differing = 0;
    for (std::size_t y = 0; y < ys.size() && differing == 0; ++y)
        for (const auto& [r, side] : changes[y])
            for (std::size_t x = rank(xs, r->left), right = rank(xs, r->right); x < right; ++x) {
                const bool was = (counts[0][x] > 0) != (counts[1][x] > 0);
                counts[side][x] += r->top == ys[y] ? 1 : -1;
                differing += ((counts[0][x] > 0) != (counts[1][x] > 0)) - was;
            }
    return differing == 0;
}

// The bound on a union's steps for n rectangles given and k made.
inline double StepBound(double n, double k) { return 12 * (n + k + 1) * (std::log2(n + 1) + 4); }

// What is wrong with the union of `rects`, or nothing: banded, their cells
// exactly (when `cells`: counting takes seconds past 2^16 made), StepBound
// steps at most; one refused past `limit` is bound as if it made the limit's.
inline std::string CheckUnion(const RegionRects& rects, UnionStats* stats = nullptr, double* ratio = nullptr,
                              std::size_t limit = kMaxRegionRects, bool cells = true) {
    UnionStats counted;
    RegionRects made;
    bool refused = false;
    try {
        made = UnionOfRects(rects, limit, &counted);
    } catch (const RegionTooLarge&) {
        refused = true;
    }
    const std::size_t k = refused ? limit : made.size();
    const double steps = static_cast<double>(counted.steps);
    const double bound = StepBound(static_cast<double>(rects.size()), static_cast<double>(k));
    if (stats) *stats = counted;
    if (ratio) *ratio = steps / bound;
    char fault[128] = "";
    if ((!refused && !IsBanded(made)) || (cells && !refused && k <= std::size_t{1} << 16 && !SameCells(made, rects)) ||
        steps > bound)
        std::snprintf(fault, sizeof fault, "%zu rectangles into %zu in %.0f steps, %.2f of the bound", rects.size(), k,
                      steps, steps / bound);
    return fault;
}

#endif
