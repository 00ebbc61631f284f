#include "core/pixel_math.h"

#include <gtest/gtest.h>

// The tinted icons' blend of each pixel (0xAARRGGBB) halfway toward a color (0x00BBGGRR).
TEST(PixelMath, HalfwayBlendsAverageEachChannelRoundingDownAndKeepTheTopByte) {
    const unsigned blends[][3] = {{0x12FF0001u, 0x00030201u, 0x12800102u}, {0xFFFFFFFFu, 0x00FFFFFFu, 0xFFFFFFFFu},
                                  {0, 0x00FFFFFFu, 0x007F7F7Fu},           {0, 0x000000FEu, 0x007F0000u},
                                  {0, 0x00FE0000u, 0x0000007Fu}};
    for (const auto& b : blends) EXPECT_EQ(BlendPixelHalfway(b[0], b[1]), b[2]) << std::hex << b[0] << " " << b[1];
}

// Centering rounds halves toward minus infinity, also for a box larger than its owner. Fitting works in the
// placement's coordinates (origin 90, 70: Windows with taskbars on the left and on the top); wine places
// windows in screen coordinates, so only here is the conversion seen.
TEST(PixelMath, CenteringRoundsDownAndFittingUsesThePlacementsCoordinates) {
    EXPECT_EQ(std::make_pair(CenteredStart(10, 400, 101), CenteredStart(10, 401, 600)), std::make_pair(159, -90));
    const Box moved = FitToWorkArea({900, 800, 1400, 1200}, {90, 70, 1280, 1024}, 90, 70);
    EXPECT_EQ(std::make_tuple(moved.left, moved.top, moved.right, moved.bottom), std::make_tuple(690, 554, 1190, 954));
    const Box cut = FitToWorkArea({0, 0, 1700, 1300}, {90, 70, 1280, 1024}, 90, 70);
    EXPECT_EQ(std::make_tuple(cut.left, cut.top, cut.right, cut.bottom), std::make_tuple(0, 0, 1190, 954));
}
