#include "editor/pixel_math.h"

#include <gtest/gtest.h>

#include <cstring>

// Centering is seen through real boxes (EditorHelpersTest); fitting is seen on wine's screen coordinates
// only, so here it is in the workspace coordinates Windows places windows in.
TEST(PixelMath, HalfwayBlendsAndFittingToTheWorkAreaInWorkspaceCoordinates) {
    // Pixel 0xAARRGGBB, color 0x00BBGGRR: each channel averaged, rounded down, the top byte kept.
    const unsigned blends[][3] = {{0x12FF0001u, 0x00030201u, 0x12800102u}, {0xFFFFFFFFu, 0x00FFFFFFu, 0xFFFFFFFFu},
                                  {0, 0x00FFFFFFu, 0x007F7F7Fu},           {0, 0x000000FEu, 0x007F0000u},
                                  {0, 0x00FE0000u, 0x0000007Fu}};
    for (const auto& b : blends) EXPECT_EQ(BlendPixelHalfway(b[0], b[1]), b[2]) << std::hex << b[0] << " " << b[1];
    const Box work = {90, 70, 1280, 1024};  // taskbars on the left and on the top
    // Origin 90, 70: workspace coordinates (Windows); wine places windows in screen coordinates.
    const Box fits[][2] = {{{0, 0, 500, 400}, {0, 0, 500, 400}},           {{-5, -5, 495, 395}, {0, 0, 500, 400}},
                           {{900, 800, 1400, 1200}, {690, 554, 1190, 954}}, {{0, 0, 1700, 1300}, {0, 0, 1190, 954}}};
    for (const auto& fit : fits) {
        const Box fitted = FitToWorkArea(fit[0], work, 90, 70);
        EXPECT_EQ(std::memcmp(&fitted, &fit[1], sizeof fitted), 0) << fitted.left << "," << fitted.top << ","
                                                                   << fitted.right << "," << fitted.bottom;
    }
}
