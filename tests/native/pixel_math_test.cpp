#include "editor/pixel_math.h"

#include <gtest/gtest.h>

// The tinted icons' blend of each pixel (0xAARRGGBB) halfway toward a color (0x00BBGGRR).
TEST(PixelMath, HalfwayBlendsAverageEachChannelRoundingDownAndKeepTheTopByte) {
    const unsigned blends[][3] = {{0x12FF0001u, 0x00030201u, 0x12800102u}, {0xFFFFFFFFu, 0x00FFFFFFu, 0xFFFFFFFFu},
                                  {0, 0x00FFFFFFu, 0x007F7F7Fu},           {0, 0x000000FEu, 0x007F0000u},
                                  {0, 0x00FE0000u, 0x0000007Fu}};
    for (const auto& b : blends) EXPECT_EQ(BlendPixelHalfway(b[0], b[1]), b[2]) << std::hex << b[0] << " " << b[1];
}

// A dialog centered on its owner: halves round toward minus infinity, also for one larger than the owner.
TEST(PixelMath, CenteringRoundsTowardMinusInfinity) {
    EXPECT_EQ(CenteredStart(10, 400, 101), 159);
    EXPECT_EQ(CenteredStart(10, 401, 600), -90);
}
