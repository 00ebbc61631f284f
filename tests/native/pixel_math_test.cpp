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

TEST(FitToWorkArea, ComparesTheWorkAreaInThePlacementsCoordinates) {
    const Box shiftedWork = {90, 70, 1280, 1024};  // a taskbar on the left and one on the top
    const struct {
        Box window;
        Box work;
        int originX, originY;
        Box fitted;
    } cases[] = {
        // Workspace coordinates (Windows): (0, 0) is already the work area's corner.
        {{0, 0, 500, 400}, shiftedWork, 90, 70, {0, 0, 500, 400}},
        {{-5, -5, 495, 395}, shiftedWork, 90, 70, {0, 0, 500, 400}},
        {{900, 800, 1400, 1200}, shiftedWork, 90, 70, {690, 554, 1190, 954}},
        {{0, 0, 1700, 1300}, shiftedWork, 90, 70, {0, 0, 1190, 954}},
        // Screen coordinates (wine): the work area as it is.
        {{0, 0, 500, 400}, shiftedWork, 0, 0, {90, 70, 590, 470}},
        {{0, 0, 1700, 1300}, shiftedWork, 0, 0, {90, 70, 1280, 1024}},
    };
    for (const auto& c : cases) {
        const Box fitted = FitToWorkArea(c.window, c.work, c.originX, c.originY);
        EXPECT_EQ(fitted.left, c.fitted.left) << c.window.left << " " << c.originX;
        EXPECT_EQ(fitted.top, c.fitted.top) << c.window.left << " " << c.originX;
        EXPECT_EQ(fitted.right, c.fitted.right) << c.window.left << " " << c.originX;
        EXPECT_EQ(fitted.bottom, c.fitted.bottom) << c.window.left << " " << c.originX;
    }
}
