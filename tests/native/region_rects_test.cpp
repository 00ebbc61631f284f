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

TEST(UnionOfRects, UnbandedRectanglesGiveTheBandedFormOfTheirCells) {
    // A banded list is returned as it is; these are not (touching in a band, out of order and far apart, bands
    // that should be one, overlapping bands, a ragged band, empty either way; written from the bottom up, in ten
    // runs of tops up and down, overlapping across blocks of columns) and are united.
    RegionRects zigzag;
    for (int i = 0; i < 20; ++i) zigzag.push_back({i, i % 2 ? 10 + i : i, i + 5, (i % 2 ? 10 + i : i) + 3});
    const std::vector<RegionRects> unbanded = {{{0, 0, 2, 1}, {2, 0, 4, 1}}, {{300, 0, 400, 1}, {0, 0, 2, 1}},
                                               {{2, 1, 4, 2}, {0, 0, 2, 1}},  // a band starting where one ended
                                               {{0, 0, 2, 1}, {0, 1, 2, 2}}, {{0, 0, 2, 2}, {0, 1, 3, 3}},
                                               {{0, 0, 2, 1}, {3, 0, 4, 2}}, {{2, 0, 2, 1}}, {{0, 1, 2, 1}},
                                               RepeatedRects(5, {20, 10, 26, 12}, {-3, -2, -1, -2}), zigzag,
                                               RepeatedRects(20, {0, 0, 21, 2}, {1, 1, 1, 1})};
    for (const RegionRects& rects : unbanded) {
        EXPECT_FALSE(IsBanded(rects)) << rects[0].left << "," << rects[0].bottom;
        EXPECT_EQ(CheckUnion(rects), "");
    }
}

// Shapes once costing the product of their parts: a tall band of 200 spans cut by thin bands in its first span,
// or in each span from the last up; nested rectangles; a staircase past a limit, refused.
TEST(UnionOfRects, AdversarialShapesGiveTheirUnionWithinTheBoundOfSteps) {
    const RegionRects band = RepeatedRects(200, {0, 0, 1, 400}, {2, 0, 2, 0});
    const RegionRects shapes[] = {RepeatedRects(200, {0, 0, 1, 1}, {0, 2, 0, 2}, band),
                                  RepeatedRects(200, {398, 398, 399, 399}, {-2, -2, -2, -2}, band),
                                  RepeatedRects(200, {0, 0, 400, 400}, {1, 1, -1, -1}),
                                  RepeatedRects(200, {0, 0, 1, 200}, {2, 1, 2, 0})};
    for (const RegionRects& shape : shapes) EXPECT_EQ(CheckUnion(shape), "");
    EXPECT_EQ(UnionOfRects(shapes[0]), band);
    EXPECT_EQ(UnionOfRects(shapes[1]), band);
    EXPECT_EQ(UnionOfRects(shapes[2]), (RegionRects{{0, 0, 400, 400}}));
    UnionStats stats;  // the staircase's 20,100 rectangles pass a limit of 2^14: refused, as soon as passed
    EXPECT_THROW(UnionOfRects(shapes[3], 1 << 14, &stats), RegionTooLarge);
    EXPECT_LE(static_cast<double>(stats.steps), StepBound(static_cast<double>(shapes[3].size()), 1 << 14));
}

// Each way the sweep has, on a shape that takes it: its union exact and within the bound. Among them the
// arrangements once costing a scan of every row left per row: one-pixel cells on every other row given from
// the bottom, touching rows with one far below.
TEST(UnionOfRects, EveryWayOfTheSweepGivesTheUnionWithinTheBound) {
    const int kMax = INT32_MAX, kMin = INT32_MIN;
    RegionRects zigzag, wide = RepeatedRects(2100, {0, 2, 1, 3}, {2, 1, 2, 1}), touching;
    for (int i = 0; i < 20; ++i) zigzag.push_back({i, i % 2 ? 10 + i : i, i + 5, (i % 2 ? 10 + i : i) + 3});
    wide = RepeatedRects(40, {0, 0, 50, 1}, {100, 0, 100, 0}, wide);  // > 4,096 columns, 40 starting on a row
    touching = RepeatedRects((1 << 14) - 1, {0, 0, 1, 1}, {0, 1, 0, 1}, {{0, (1 << 15) - 1, 1, 1 << 15}});
    const struct {
        RegionRects rects;
        SweepMode mode;
    } shapes[] = {
        {RepeatedRects(40, {390, 0, 395, 5}, {-10, 0, -10, 0}), SweepMode::kRankByMarks},
        {{{kMax - 1, kMax - 1, kMax, kMax}, {kMin, kMin, 0, 0}, {kMin, 0, kMax, 1}}, SweepMode::kRankBySort},
        {RepeatedRects(1 << 14, {0, 1 << 15, 1, (1 << 15) + 1}, {0, -2, 0, -2}), SweepMode::kStartsFromRuns},
        {touching, SweepMode::kRankByOffset},
        {zigzag, SweepMode::kStartsCountedByRow},
        {zigzag, SweepMode::kChangeOneByOne},
        {RepeatedRects(200, {0, 0, 1, 1}, {0, 2, 0, 2}, RepeatedRects(200, {0, 0, 1, 400}, {2, 0, 2, 0})),
         SweepMode::kChangeByLevels},
        {wide, SweepMode::kChangeByMarks},
    };
    for (const auto& shape : shapes) {
        UnionStats stats;
        EXPECT_EQ(CheckUnion(shape.rects, &stats), "") << static_cast<int>(shape.mode);
        EXPECT_TRUE(stats.modes >> static_cast<int>(shape.mode) & 1) << static_cast<int>(shape.mode);
    }
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
