#include "editor/pixel_math.h"

#include <gtest/gtest.h>

TEST(BlendPixelHalfway, AveragesEachChannelRoundingDownAndKeepsTopByte) {
    // pixel 0xAARRGGBB, colour 0x00BBGGRR
    EXPECT_EQ(BlendPixelHalfway(0x12FF0001u, 0x00030201u), 0x12800102u);  // (FF+01)/2, (00+02)/2, (01+03)/2
    EXPECT_EQ(BlendPixelHalfway(0xFFFFFFFFu, 0x00FFFFFFu), 0xFFFFFFFFu);  // no 8-bit overflow
    EXPECT_EQ(BlendPixelHalfway(0x00000000u, 0x00FFFFFFu), 0x007F7F7Fu);
    // red comes from the colour's low byte, blue from its third byte
    EXPECT_EQ(BlendPixelHalfway(0x00000000u, 0x000000FEu), 0x007F0000u);
    EXPECT_EQ(BlendPixelHalfway(0x00000000u, 0x00FE0000u), 0x0000007Fu);
}

TEST(CenteredStart, CentresAndShiftsTowardMinusInfinity) {
    EXPECT_EQ(CenteredStart(100, 400, 200), 200);
    EXPECT_EQ(CenteredStart(100, 401, 200), 200);
    // larger than the owner: before the owner by half the difference, rounded down
    EXPECT_EQ(CenteredStart(100, 200, 301), 49);
    EXPECT_EQ(CenteredStart(-10, 0, 1), -11);
}
