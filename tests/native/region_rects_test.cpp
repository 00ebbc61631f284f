#include "region/region_rects.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <utility>

namespace {

using Cells = std::set<std::pair<int, int>>;

Cells CellsOf(const RegionRects& rects) {
    Cells cells;
    for (const RegionRect& r : rects)
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) cells.insert({x, y});
    return cells;
}

// COLORREF 0x00BBGGRR as the DIB pixel 0x00RRGGBB.
std::uint32_t Dib(std::uint32_t colorref) {
    return (colorref & 0xFF) << 16 | (colorref & 0xFF00) | (colorref >> 16 & 0xFF);
}

const std::uint32_t kMask = 0x00123456;

TEST(BuildRegionRects, AllMaskGivesOnlyTheStripAndNoMaskOneRectangle) {
    std::vector<std::uint32_t> pixels(6 * 4, Dib(kMask));
    EXPECT_EQ(BuildRegionRects(pixels.data(), 6, 4, 6, kMask), (RegionRects{{0, 4, 6, 5}}));
    std::vector<std::uint32_t> other(6 * 4, 0x00FFFFFF);
    EXPECT_EQ(BuildRegionRects(other.data(), 6, 4, 6, kMask), (RegionRects{{0, 0, 6, 5}}));
}

TEST(BuildRegionRects, RunsStartAfterMaskPixelsEndAtTheRightEdgeAndSkipTheTopByte) {
    // Row 0: mask, x, x; row 1: x, mask, x (top byte set, still not the mask).
    std::vector<std::uint32_t> pixels = {Dib(kMask), 1, 2, 0xFF000000u | 7, Dib(kMask) | 0xAB000000u, 3};
    EXPECT_EQ(BuildRegionRects(pixels.data(), 3, 2, 3, kMask),
              (RegionRects{{1, 0, 3, 1}, {0, 1, 1, 2}, {2, 1, 3, 2}, {0, 2, 3, 3}}));
}

TEST(BuildRegionRects, IdenticalRowsFormOneBandAndAFullLastRowMergesWithTheStrip) {
    std::vector<std::uint32_t> pixels = {
        1, Dib(kMask), 1,  //
        1, Dib(kMask), 1,  //
        1, 1, 1,           //
    };
    EXPECT_EQ(BuildRegionRects(pixels.data(), 3, 3, 3, kMask), (RegionRects{{0, 0, 1, 2}, {2, 0, 3, 2}, {0, 2, 3, 4}}));
}

TEST(BuildRegionRects, AMaskWithATopByteMatchesNothing) {
    std::vector<std::uint32_t> pixels(4, Dib(kMask));
    EXPECT_EQ(BuildRegionRects(pixels.data(), 2, 2, 2, 0xFFFFFFFF), (RegionRects{{0, 0, 2, 3}}));
}

TEST(BuildRegionRects, StrideSkipsPaddingAndWidthOneWorks) {
    std::vector<std::uint32_t> pixels = {1, 99, Dib(kMask), 99, 1, 99};
    EXPECT_EQ(BuildRegionRects(pixels.data(), 1, 3, 2, kMask), (RegionRects{{0, 0, 1, 1}, {0, 2, 1, 4}}));
}

TEST(BuildRegionRects, RandomPicturesGiveTheirCellsInBandedForm) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        const int width = 1 + static_cast<int>(random() % 17), height = 1 + static_cast<int>(random() % 13);
        const int noise = static_cast<int>(random() % 101);
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
        Cells expected;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const bool mask = static_cast<int>(random() % 100) >= noise;
                pixels[static_cast<std::size_t>(y) * width + x] = mask ? Dib(kMask) : random() % 3;
                if (!mask) expected.insert({x, y});
            }
        for (int x = 0; x < width; ++x) expected.insert({x, height});
        RegionRects rects = BuildRegionRects(pixels.data(), width, height, width, kMask);
        ASSERT_TRUE(IsBanded(rects)) << round;
        ASSERT_EQ(CellsOf(rects), expected) << round;
        // The union of the one-row runs, made another way, is the same list.
        RegionRects rows;
        for (const RegionRect& r : rects)
            for (int y = r.top; y < r.bottom; ++y) rows.push_back({r.left, y, r.right, y + 1});
        std::shuffle(rows.begin(), rows.end(), random);
        ASSERT_EQ(UnionOfRects(rows), rects) << round;
    }
}

TEST(UnionOfRects, OverlappingTouchingEmptyAndInvertedRectangles) {
    RegionRects input = {{0, 0, 4, 4}, {2, 2, 6, 6}, {4, 0, 5, 1}, {9, 9, 9, 12}, {5, 5, 3, 7}, {0, 6, 6, 7}};
    RegionRects result = UnionOfRects(input);
    EXPECT_TRUE(IsBanded(result));
    Cells expected = CellsOf({{0, 0, 4, 4}, {2, 2, 6, 6}, {4, 0, 5, 1}, {0, 6, 6, 7}});
    EXPECT_EQ(CellsOf(result), expected);
    EXPECT_EQ(result.front(), (RegionRect{0, 0, 5, 1}));  // touching spans joined
    EXPECT_TRUE(UnionOfRects({{3, 3, 3, 8}, {1, 5, 0, 9}}).empty());
}

TEST(UnionOfRects, RandomRectanglesAgreeWithTheirCells) {
    std::mt19937 random(11);
    for (int round = 0; round < 300; ++round) {
        RegionRects input;
        const int count = static_cast<int>(random() % 12);
        for (int i = 0; i < count; ++i) {
            const int l = static_cast<int>(random() % 20) - 5, t = static_cast<int>(random() % 20) - 5;
            input.push_back({l, t, l + static_cast<int>(random() % 9) - 1, t + static_cast<int>(random() % 9) - 1});
        }
        RegionRects result = UnionOfRects(input);
        ASSERT_TRUE(IsBanded(result)) << round;
        RegionRects valid;
        for (const RegionRect& r : input)
            if (r.left < r.right && r.top < r.bottom) valid.push_back(r);
        ASSERT_EQ(CellsOf(result), CellsOf(valid)) << round;
    }
}

// Rectangle i = (2i, i, 2i + 1, n + i): every row its own band of up to n
// spans, n * n rectangles in all from a file of 16 n bytes.
RegionRects Staircase(int n) {
    RegionRects rects;
    for (int i = 0; i < n; ++i) rects.push_back({2 * i, i, 2 * i + 1, n + i});
    return rects;
}

TEST(UnionOfRects, StopsAtTheLimitWhileMerging) {
    EXPECT_EQ(UnionOfRects(Staircase(1024)).size(), kMaxRegionRects);
    EXPECT_EQ(UnionOfRects(Staircase(10), 100).size(), 100u);
    for (int n : {1025, 12000}) EXPECT_THROW(UnionOfRects(Staircase(n)), RegionTooLarge) << n;
    EXPECT_THROW(UnionOfRects(Staircase(10), 99), RegionTooLarge);
    EXPECT_THROW(UnionOfRects(RegionRects(kMaxRegionRects + 1, {0, 0, 1, 1})), RegionTooLarge);
}

TEST(BuildRegionRects, StopsAtTheLimit) {
    // A checkerboard 2048 wide: 1024 rectangles a row, a band a row, plus the strip.
    const int width = 2048;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * 1024);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = (i + i / width) % 2 ? Dib(kMask) : 0;
    EXPECT_EQ(BuildRegionRects(pixels.data(), width, 1023, width, kMask).size(), 1023u * 1024 + 1);
    EXPECT_THROW(BuildRegionRects(pixels.data(), width, 1024, width, kMask), RegionTooLarge);
}

TEST(IsBanded, RejectsWhatARegionNeverReports) {
    EXPECT_TRUE(IsBanded({}));
    EXPECT_TRUE(IsBanded({{0, 0, 2, 1}, {3, 0, 4, 1}, {0, 1, 4, 2}}));
    EXPECT_FALSE(IsBanded({{0, 0, 2, 1}, {2, 0, 4, 1}}));              // touching in a band
    EXPECT_FALSE(IsBanded({{3, 0, 4, 1}, {0, 0, 2, 1}}));              // out of order
    EXPECT_FALSE(IsBanded({{0, 0, 2, 1}, {0, 1, 2, 2}}));              // bands that should be one
    EXPECT_FALSE(IsBanded({{0, 0, 2, 2}, {0, 1, 3, 3}}));              // overlapping bands
    EXPECT_FALSE(IsBanded({{0, 0, 2, 1}, {3, 0, 4, 2}}));              // ragged band
    EXPECT_FALSE(IsBanded({{2, 0, 2, 1}}));                            // empty
}

}  // namespace
