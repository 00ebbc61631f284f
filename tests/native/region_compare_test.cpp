#include "core/region_compare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <random>
#include <utility>

namespace {

// Which of A (bit 1) and B (bit 2) covers each pixel.
std::map<std::pair<int, int>, int> OwnersOf(const RegionRects& a, const RegionRects& b) {
    std::map<std::pair<int, int>, int> owners;
    for (int bit : {1, 2})
        for (const RegionRect& r : bit == 1 ? a : b)
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x) owners[{x, y}] |= bit;
    return owners;
}

// Bands of many narrow spans against bands of few wide ones, so both ways of
// intersecting a slab's spans run, and bands of one cut those of the other.
RegionRects RandomRegion(std::mt19937& random) {
    RegionRects rects;
    const bool narrow = random() % 2;
    for (int i = static_cast<int>(random() % (narrow ? 200 : 8)); i > 0; --i) {
        // Narrow spans stand on every third column only, so they never join.
        const int l = narrow ? static_cast<int>(random() % 27) * 3 - 4 : static_cast<int>(random() % 22) - 4;
        const int t = static_cast<int>(random() % 12) - 3, h = static_cast<int>(random() % 6);
        const int w = narrow ? 1 + static_cast<int>(random() % 2) : static_cast<int>(random() % 20);
        rects.push_back({l, t, l + w, t + h});
    }
    return UnionOfRects(rects);
}

TEST(CompareRegions, CountsAndBoundsThePixelsOfEachSideAloneAndTheRowsSayWhoCoversWhat) {
    std::mt19937 random(7);
    for (int round = 0; round < 400; ++round) {
        // Independent, the same, or one rectangle more: most spans then agree.
        const RegionRects a = RandomRegion(random), c = RandomRegion(random);
        RegionRects b = round % 3 ? a : c;
        if (round % 3 == 2 && !c.empty()) b.push_back(c[c.size() / 2]), b = UnionOfRects(b);
        std::uint64_t onlyA = 0, onlyB = 0;
        RegionRect box{INT_MAX, INT_MAX, INT_MIN, INT_MIN};
        const auto owners = OwnersOf(a, b);
        for (const auto& [cell, who] : owners) {
            if (who == 3) continue;
            (who == 1 ? onlyA : onlyB) += 1;
            box = {std::min(box.left, cell.first), std::min(box.top, cell.second),
                   std::max(box.right, cell.first + 1), std::max(box.bottom, cell.second + 1)};
        }
        const RegionComparison result = CompareRegions(a, b);
        ASSERT_EQ(result.onlyInA, onlyA) << round;
        ASSERT_EQ(result.onlyInB, onlyB) << round;
        ASSERT_EQ(result.differences, (onlyA + onlyB ? box : RegionRect{0, 0, 0, 0})) << round;
        // Rows from y = 0, x from 0: pixels above and left of (0, 0) are not there.
        CoverageRows rows(a, b, 40);
        std::uint8_t row[40];
        for (int y = 0; y < 16; ++y) {
            rows.NextRow(row);
            for (int x = 0; x < 40; ++x) {
                const auto found = owners.find({x, y});
                ASSERT_EQ(row[x], found == owners.end() ? 0 : found->second) << round << ": " << x << "," << y;
            }
        }
    }
    // A span cut at either end: the difference ends where the two part.
    EXPECT_EQ(CompareRegions({{0, 0, 9, 1}}, {{5, 0, 9, 1}}).differences, (RegionRect{0, 0, 5, 1}));
    EXPECT_EQ(CompareRegions({{0, 0, 5, 1}}, {{0, 0, 9, 1}}).differences, (RegionRect{5, 0, 9, 1}));
    // The whole plane against nothing: a count past 32 bits.
    const RegionComparison plane = CompareRegions({{INT_MIN, INT_MIN, INT_MAX, INT_MAX}}, {});
    EXPECT_EQ(plane.onlyInA, 0xFFFFFFFFull * 0xFFFFFFFFull);
    EXPECT_EQ(plane.differences, (RegionRect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}));
}

}  // namespace
