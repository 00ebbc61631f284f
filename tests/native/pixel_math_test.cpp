#include "editor/pixel_math.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(PixelMath, HalfwayBlendsCenteringAndFittingToTheWorkArea) {
    // Pixel 0xAARRGGBB, color 0x00BBGGRR: each channel averaged, rounded down, the top byte kept.
    const unsigned blends[][3] = {{0x12FF0001u, 0x00030201u, 0x12800102u}, {0xFFFFFFFFu, 0x00FFFFFFu, 0xFFFFFFFFu},
                                  {0, 0x00FFFFFFu, 0x007F7F7Fu},           {0, 0x000000FEu, 0x007F0000u},
                                  {0, 0x00FE0000u, 0x0000007Fu}};
    for (const auto& b : blends) EXPECT_EQ(BlendPixelHalfway(b[0], b[1]), b[2]) << std::hex << b[0] << " " << b[1];
    // Larger than the owner: before it by half the difference, rounded toward minus infinity.
    const int centers[][4] = {{100, 400, 200, 200}, {100, 401, 200, 200}, {100, 200, 301, 49}, {-10, 0, 1, -11}};
    for (const auto& c : centers) EXPECT_EQ(CenteredStart(c[0], c[1], c[2]), c[3]) << c[1] << " " << c[2];
    const Box work = {90, 70, 1280, 1024};  // taskbars on the left and on the top
    // Origin 90, 70: workspace coordinates (Windows); 0, 0: screen coordinates (Wine).
    const Box fits[][2] = {{{0, 0, 500, 400}, {0, 0, 500, 400}},           {{-5, -5, 495, 395}, {0, 0, 500, 400}},
                           {{900, 800, 1400, 1200}, {690, 554, 1190, 954}}, {{0, 0, 1700, 1300}, {0, 0, 1190, 954}},
                           {{0, 0, 500, 400}, {90, 70, 590, 470}},         {{0, 0, 1700, 1300}, {90, 70, 1280, 1024}}};
    for (int i = 0; i < 6; ++i) {
        const Box fitted = FitToWorkArea(fits[i][0], work, i < 4 ? 90 : 0, i < 4 ? 70 : 0);
        EXPECT_EQ(std::memcmp(&fitted, &fits[i][1], sizeof fitted), 0) << i << ": " << fitted.left << "," << fitted.top
                                                                      << "," << fitted.right << "," << fitted.bottom;
    }
}
