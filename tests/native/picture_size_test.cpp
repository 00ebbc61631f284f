#include "core/picture_size.h"

#include <gtest/gtest.h>

// HIMETRIC to pixels: exact halves go to even on the file route, away from zero
// (as MulDiv) on the resource route. 300 px at 96 dpi is 7937.5.
TEST(PictureSize, HalvesRoundToEvenOnTheFileRouteAndAwayFromZeroOnTheResourceRoute) {
    const int cases[][4] = {{7938, 96, 300, 300}, {7937, 96, 300, 300}, {127, 100, 5, 5}, {6350, 1, 2, 3}};
    for (const auto& c : cases) {
        EXPECT_EQ(HimetricToPixelsHalfEven(c[0], c[1]), c[2]) << c[0] << " at " << c[1];
        EXPECT_EQ(HimetricToPixelsMulDiv(c[0], c[1]), c[3]) << c[0] << " at " << c[1];
    }
    EXPECT_EQ(HimetricToPixelsMulDiv(2000000000, 96), 75590551);  // no 32-bit overflow
}
