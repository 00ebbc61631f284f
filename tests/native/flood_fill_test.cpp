#include "core/flood_fill.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const std::uint32_t kMask = 0x00302010, M = 0x00102030;  // COLORREF and DIB pixel

// The plain way, pixel by pixel from a queue: flooded pixels become the mask
// color, the rest another, for the exact mask's builder.
RegionRects PlainFloodRects(const std::vector<std::uint32_t>& pixels, int width, int height, int stride,
                            std::uint32_t tolerance, const FloodStarts& starts) {
    const MaskColorRange range(kMask, tolerance);
    std::vector<std::uint32_t> marked(static_cast<size_t>(width) * height, 0);
    std::vector<std::pair<int, int>> queue;
    auto visit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= width || y >= height || marked[y * width + x] == M ||
            !range.Matches(pixels[y * stride + x]))
            return;
        marked[y * width + x] = M;
        queue.push_back({x, y});
    };
    for (const FloodPoint& p : starts.points) visit(p.x, p.y);
    for (int x = 0; starts.border && x < width; ++x) visit(x, 0), visit(x, height - 1);
    for (int y = 0; starts.border && y < height; ++y) visit(0, y), visit(width - 1, y);
    while (!queue.empty()) {
        const auto [x, y] = queue.back();
        queue.pop_back();
        visit(x - 1, y), visit(x + 1, y), visit(x, y - 1), visit(x, y + 1);
    }
    return BuildRegionRects(marked.data(), width, height, width, kMask);
}

// Pictures of colors near the mask and far from it, one pixel to 140 wide (past two words of flooded bits),
// rows padded or not, some repeating the row above; tolerances, starts inside, outside and off the mask color,
// the border or not. First a diamond outline of one-pixel diagonal steps, the mask color inside and out.
TEST(BuildFloodRegionRects, GivesWhatAPixelByPixelFloodGivesOnRandomPictures) {
    std::mt19937 random(29);
    const std::uint32_t colors[] = {M, M, M, M + 0x050505, M + 0x000020, 0x00FFFFFF, 0};
    std::vector<std::uint32_t> diamond(41 * 41, M);
    for (int i = 0; i < 41 * 41; ++i) diamond[i] = std::abs(i % 41 - 20) + std::abs(i / 41 - 20) == 15 ? 0 : M;
    for (const FloodStarts& starts : {FloodStarts{{{0, 0}}, false}, FloodStarts{{{20, 20}}, false}, FloodStarts{{}, true}})
        EXPECT_EQ(BuildFloodRegionRects(diamond.data(), 41, 41, 41, kMask, 0, starts),
                  PlainFloodRects(diamond, 41, 41, 41, 0, starts));
    for (int round = 0; round < 600; ++round) {
        const int small = round % 3 == 0;
        const int width = 1 + random() % (small ? 3 : round % 3 == 1 ? 40 : 140);
        const int height = 1 + random() % (small ? 3 : 40), stride = width + (round % 5 == 0 ? 3 : 0);
        std::vector<std::uint32_t> pixels(static_cast<size_t>(stride) * height, M);  // padding of the mask color
        for (int y = 0; y < height; ++y) {
            const bool repeat = y && round % 2 && random() % 2;  // rows like the one above
            for (int x = 0; x < width; ++x)
                pixels[y * stride + x] = repeat ? pixels[(y - 1) * stride + x] : colors[random() % 7] | (random() % 2) << 24;
        }
        const std::uint32_t tolerance = round % 2 ? 0 : random() % 40;
        FloodStarts starts;
        starts.border = round % 4 == 1;
        for (int i = random() % 4; i > 0; --i)
            starts.points.push_back({static_cast<int>(random() % (width + 2)) - 1,
                                     static_cast<int>(random() % (height + 2)) - 1});
        EXPECT_EQ(BuildFloodRegionRects(pixels.data(), width, height, stride, kMask, tolerance, starts),
                  PlainFloodRects(pixels, width, height, stride, tolerance, starts))
            << "round " << round;
    }
}

// One-pixel corridors up and down through 4000 x 4000 pixels: the longest path and the most runs. Every mask
// pixel is reached; with one wall closed, the corridors past it stay in the region.
TEST(BuildFloodRegionRects, FloodsA4000SquareSerpentineWhole) {
    const int side = 4000;
    std::vector<std::uint32_t> pixels(static_cast<size_t>(side) * side, M);
    for (int x = 1; x < side; x += 2)
        for (int y = 0; y < side; ++y) pixels[static_cast<size_t>(y) * side + x] = y == (x / 2 % 2 ? 0 : side - 1) ? M : 0;
    const FloodStarts start{{{0, side - 1}}, false};
    EXPECT_EQ(BuildFloodRegionRects(pixels.data(), side, side, side, kMask, 0, start),
              BuildRegionRects(pixels.data(), side, side, side, kMask));
    pixels[static_cast<size_t>(side - 1) * side + 2001] = 0;  // the gap of the wall at x = 2001
    const RegionRects closed = BuildFloodRegionRects(pixels.data(), side, side, side, kMask, 0, start);
    for (int y = 0; y < side; ++y) std::fill_n(pixels.begin() + static_cast<size_t>(y) * side + 2001, side - 2001, 0);
    EXPECT_EQ(closed, BuildRegionRects(pixels.data(), side, side, side, kMask));
}

}  // namespace
