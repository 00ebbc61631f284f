#include "core/region_rects.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <set>
#include <utility>

#include "tests/support/repeated_rects.h"

namespace {

std::set<std::pair<int, int>> CellsOf(const RegionRects& rects) {
    std::set<std::pair<int, int>> cells;
    for (const RegionRect& r : rects)
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) cells.insert({x, y});
    return cells;
}

// The mask 0x00BBGGRR = 0x00123456 as the DIB pixel 0x00RRGGBB.
const std::uint32_t kMask = 0x00123456, M = 0x00563412;

TEST(BuildRegionRects, RunsIgnoreThePixelsTopByteAndTheStrideSkipsPadding) {
    // Runs start after mask pixels and end at the right edge; a pixel's top byte is not compared.
    const std::uint32_t runs[] = {M, 1, 2, 0xFF000007u, M | 0xAB000000u, 3};
    const RegionRects expected = {{1, 0, 3, 1}, {0, 1, 1, 2}, {2, 1, 3, 2}, {0, 2, 3, 3}};
    EXPECT_EQ(BuildRegionRects(runs, 3, 2, 3, kMask), expected);
    const std::uint32_t masks[] = {M, M, M, M};  // a mask with a top byte matches nothing
    EXPECT_EQ(BuildRegionRects(masks, 2, 2, 2, 0xFFFFFFFF), (RegionRects{{0, 0, 2, 3}}));
    const std::uint32_t padded[] = {1, 99, M, 99, 1, 99};
    EXPECT_EQ(BuildRegionRects(padded, 1, 3, 2, kMask), (RegionRects{{0, 0, 1, 1}, {0, 2, 1, 4}}));
}

TEST(UnionOfRects, RandomRectanglesGiveTheirCellsBandedAndTouchingSpansJoin) {
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        RegionRects input;
        for (int i = static_cast<int>(random() % 12); i > 0; --i) {
            const int l = static_cast<int>(random() % 20) - 5, t = static_cast<int>(random() % 20) - 5;
            input.push_back({l, t, l + static_cast<int>(random() % 9) - 1, t + static_cast<int>(random() % 9) - 1});
        }
        const RegionRects result = UnionOfRects(input);
        ASSERT_TRUE(IsBanded(result)) << round;
        ASSERT_EQ(CellsOf(result), CellsOf(input)) << round;  // empty and inverted ones have none
    }
    // Touching spans of a band join; touching bands with the same spans, given out of order, become one.
    EXPECT_EQ(UnionOfRects({{0, 0, 4, 1}, {4, 0, 5, 1}}), (RegionRects{{0, 0, 5, 1}}));
    EXPECT_EQ(UnionOfRects({{0, 1, 5, 2}, {0, 0, 5, 1}}), (RegionRects{{0, 0, 5, 2}}));
    // What a union takes as already banded it returns as it is. Touching in a band, out of order, bands that
    // should be one, overlapping bands, a ragged band, empty either way: none of these is.
    const std::vector<RegionRects> unbanded = {{{0, 0, 2, 1}, {2, 0, 4, 1}}, {{3, 0, 4, 1}, {0, 0, 2, 1}},
                                               {{0, 0, 2, 1}, {0, 1, 2, 2}}, {{0, 0, 2, 2}, {0, 1, 3, 3}},
                                               {{0, 0, 2, 1}, {3, 0, 4, 2}}, {{2, 0, 2, 1}}, {{0, 1, 2, 1}}};
    for (const RegionRects& rects : unbanded) EXPECT_FALSE(IsBanded(rects)) << rects[0].left << "," << rects[0].bottom;
}

// Shapes that once cost the product of their parts, N = M = 1024: a tall band
// of N spans with M thin bands inside its first span, or one in each span from
// the last one up and given bottom up; nested rectangles; a staircase whose
// union passes the limit, refused. Each costs at most 12 (n + k + 1)(log2(n + 1) + 4)
// steps for n given and k made (the limit, when refused).
TEST(UnionOfRects, AdversarialShapesGiveTheirUnionInSizeTimesLogSteps) {
    const int N = 1024, M = 1024;
    const std::size_t limit = 1 << 14;
    const RegionRects band = RepeatedRects(N, {0, 0, 1, 2 * M}, {2, 0, 2, 0});
    const struct {
        const char* name;
        RegionRects given;
        RegionRects expected;  // none: refused
    } shapes[] = {
        {"thin bands", JoinedRects(band, RepeatedRects(M, {0, 0, 1, 1}, {0, 2, 0, 2})), band},
        {"comb", JoinedRects(band, RepeatedRects(M, {2 * N - 2, 2 * M - 2, 2 * N - 1, 2 * M - 1}, {-2, -2, -2, -2})),
         band},
        {"nested", RepeatedRects(M, {0, 0, 2 * M, 2 * M}, {1, 1, -1, -1}), {{0, 0, 2 * M, 2 * M}}},
        {"staircase", RepeatedRects(N, {0, 0, 1, N}, {2, 1, 2, 0}), {}},
    };
    for (const auto& shape : shapes) {
        UnionStats stats;
        if (shape.expected.empty())
            EXPECT_THROW(UnionOfRects(shape.given, limit, &stats), RegionTooLarge) << shape.name;
        else
            EXPECT_EQ(UnionOfRects(shape.given, limit, &stats), shape.expected) << shape.name;
        const double n = static_cast<double>(shape.given.size());
        const double k = static_cast<double>(shape.expected.empty() ? limit : shape.expected.size());
        EXPECT_LE(static_cast<double>(stats.steps), 12 * (n + k + 1) * (std::log2(n + 1) + 4)) << shape.name;
    }
}

}  // namespace
