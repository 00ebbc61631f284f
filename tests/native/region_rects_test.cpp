#include "core/region_rects.h"

#include <gtest/gtest.h>

#include "core/region_data.h"
#include "core/region_sweep.h"
#include "tests/support/union_check.h"

namespace {

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

// A banded list is returned as it is; these are not (touching in a band, out of order and far apart, a band
// starting where one ended, bands that should be one, overlapping bands, a ragged band, empty either way, bands
// from the bottom up; written from the bottom up, overlapping across blocks of columns), nor shapes once costing
// the product of their parts (a tall band of 200 spans cut by thin bands in its first span, or in each span from
// the last up; nested rectangles) or a scan of the rows left per row (one-pixel cells on every other row from the
// bottom, one at the top overlapping; touching rows, one far below), nor one for each other way of the sweep.
// Each union is exact and within the bound, the shape's way taken. A staircase past a limit is refused as soon
// as it passes it.
TEST(UnionOfRects, EveryWayOfTheSweepGivesTheUnionWithinTheBound) {
    const std::vector<RegionRects> unbanded = {{{0, 0, 2, 1}, {2, 0, 4, 1}}, {{300, 0, 400, 1}, {0, 0, 2, 1}},
                                               {{2, 1, 4, 2}, {0, 0, 2, 1}}, {{0, 0, 2, 1}, {0, 1, 2, 2}},
                                               {{0, 0, 2, 2}, {0, 1, 3, 3}}, {{0, 0, 2, 1}, {3, 0, 4, 2}},
                                               {{2, 0, 2, 1}}, {{0, 1, 2, 1}},
                                               {{0, 2, 1, 3}, {2, 2, 3, 3}, {0, 0, 3, 1}},
                                               RepeatedRects(5, {20, 10, 26, 12}, {-3, -2, -1, -2}),
                                               RepeatedRects(20, {0, 0, 21, 2}, {1, 1, 1, 1})};
    const int kMax = INT32_MAX, kMin = INT32_MIN, kRows = 1 << 14;
    const RegionRects band = RepeatedRects(200, {0, 0, 1, 400}, {2, 0, 2, 0});
    RegionRects zigzag;  // in twenty runs of tops
    for (int i = 0; i < 20; ++i) zigzag.push_back({i, i % 2 ? 10 + i : i, i + 5, (i % 2 ? 10 + i : i) + 3});
    const struct {
        RegionRects rects;
        SweepMode mode;
    } shapes[] = {
        {RepeatedRects(200, {0, 0, 1, 1}, {0, 2, 0, 2}, band), SweepMode::kChangeByLevels},
        {RepeatedRects(200, {398, 398, 399, 399}, {-2, -2, -2, -2}, band), SweepMode::kStartsFromRuns},
        {RepeatedRects(200, {0, 0, 400, 400}, {1, 1, -1, -1}), SweepMode::kChangeOneByOne},
        {RepeatedRects(kRows, {0, 2 * kRows, 1, 2 * kRows + 1}, {0, -2, 0, -2}, {{0, 0, 1, 2}}),
         SweepMode::kStartsFromRuns},
        {RepeatedRects(kRows - 1, {0, 0, 1, 1}, {0, 1, 0, 1}, {{0, 2 * kRows - 1, 1, 2 * kRows}}),
         SweepMode::kRankByOffset},
        {RepeatedRects(40, {390, 0, 395, 5}, {-10, 0, -10, 0}), SweepMode::kRankByMarks},
        {{{kMax - 1, kMax - 1, kMax, kMax}, {kMin, kMin, 0, 0}, {kMin, 0, kMax, 1}}, SweepMode::kRankBySort},
        {zigzag, SweepMode::kStartsCountedByRow},
        {RepeatedRects(40, {0, 0, 50, 1}, {100, 0, 100, 0}, RepeatedRects(2100, {0, 2, 1, 3}, {2, 1, 2, 1})),
         SweepMode::kChangeByMarks},  // more than 4,096 columns, 40 rectangles starting on one row
    };
    for (const RegionRects& rects : unbanded) EXPECT_EQ(CheckUnion(rects), "") << rects[0].left << "," << rects[0].top;
    for (const auto& shape : shapes) {
        UnionStats stats;
        EXPECT_FALSE(IsBanded(shape.rects)) << static_cast<int>(shape.mode);
        EXPECT_EQ(CheckUnion(shape.rects, &stats), "") << static_cast<int>(shape.mode);
        EXPECT_TRUE(stats.modes >> static_cast<int>(shape.mode) & 1) << static_cast<int>(shape.mode);
    }
    EXPECT_EQ(UnionOfRects(shapes[0].rects), band);
    EXPECT_EQ(UnionOfRects(shapes[1].rects), band);
    EXPECT_EQ(UnionOfRects(shapes[2].rects), (RegionRects{{0, 0, 400, 400}}));
    UnionStats stats;  // the staircase's 20,100 rectangles pass a limit of 2^14
    const RegionRects stairs = RepeatedRects(200, {0, 0, 1, 200}, {2, 1, 2, 0});
    EXPECT_THROW(UnionOfRects(stairs, 1 << 14, &stats), RegionTooLarge);
    EXPECT_LE(static_cast<double>(stats.steps), StepBound(static_cast<double>(stairs.size()), 1 << 14));
}

TEST(DecodeRegionData, ACountWhoseSizePasses32BitsIsRefused) {
    // 2^28 + 1 rectangles claim 16 bytes once their size is cut to 32 bits.
    for (std::uint32_t count : {0x10000001u, 1u, 2u}) {
        RegionHeader header;
        header.nCount = count;
        std::vector<std::uint8_t> file = EncodeRegionData(header, {{0, 0, 1, 1}});
        RegionRects rects;
        EXPECT_EQ(DecodeRegionData(file.data(), file.size(), rects), count == 1) << count;
        EXPECT_EQ(rects.size(), count == 1 ? 1u : 0u);
    }
}

}  // namespace
