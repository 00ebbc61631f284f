#include "picture/picture_size.h"

#include <gtest/gtest.h>

TEST(PictureSize, FileRouteRoundsExactHalvesToEven) {
    // 300 px at 96 dpi is 7937.5 HIMETRIC: neither 7937 nor 7938 gives exactly 300.
    EXPECT_EQ(HimetricToPixelsHalfEven(7938, 96), 300);  // 300.018...
    EXPECT_EQ(HimetricToPixelsHalfEven(7937, 96), 300);  // 299.980...
    // 127 HIMETRIC at 100 dpi is exactly 5.0; 381 at 100 dpi exactly 15.0.
    EXPECT_EQ(HimetricToPixelsHalfEven(127, 100), 5);
    // 2540 * k / 2540 halves: 1270 at 1 dpi is 0.5 -> 0, 3810 at 1 dpi is 1.5 -> 2.
    EXPECT_EQ(HimetricToPixelsHalfEven(1270, 1), 0);
    EXPECT_EQ(HimetricToPixelsHalfEven(3810, 1), 2);
    EXPECT_EQ(HimetricToPixelsHalfEven(6350, 1), 2);  // 2.5 -> 2
}

TEST(PictureSize, ResourceRouteRoundsHalvesAwayFromZeroAsMulDiv) {
    EXPECT_EQ(HimetricToPixelsMulDiv(1270, 1), 1);
    EXPECT_EQ(HimetricToPixelsMulDiv(3810, 1), 2);
    EXPECT_EQ(HimetricToPixelsMulDiv(6350, 1), 3);
    EXPECT_EQ(HimetricToPixelsMulDiv(-1270, 1), -1);
    // The product does not overflow 32 bits.
    EXPECT_EQ(HimetricToPixelsMulDiv(2000000000, 96), 75590551);
}
