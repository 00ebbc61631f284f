// The core's BMP and icon decoders against the pictures
// scripts/make_picture_fixtures.py writes (its Pattern, Index and EveryAlpha).
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/bmp_decoder.h"
#include "core/picture_header.h"

namespace {

const std::uint32_t kPalette[16] = {0xF0F0F0, 0x000000, 0xFF0000, 0x0080FF, 0x11C821, 0xFAFA05, 0x5A3C1E, 0x808080,
                                    0xFFFFFF, 0x0707C8, 0xC80707, 0x010203, 0x3C005A, 0x005A3C, 0x214263, 0x634221};
constexpr std::uint32_t kBlack = 0xFF000000;

int Index(int x, int y, int count) { return (x + y) % 4 ? (x * 3 + y * 5 + x * y) % count : 0; }
std::uint32_t Alpha(int x, int y) { return std::vector<std::uint32_t>{0, 255, 128, 1, 254, 64, 200}[(x + 3 * y) % 7]; }

std::vector<std::uint8_t> Fixture(const std::string& name) {
    std::ifstream file(std::string(PELLFORM_TEST_DATA_DIR) + "/wic/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// A channel cut to `bits` and widened again as the platform widens bit fields.
std::uint32_t Widened(std::uint32_t color, int red, int green, int blue) {
    const auto channel = [](std::uint32_t value, int bits) {
        value = value >> (8 - bits) << (8 - bits);
        return (value | value >> bits) & 0xFF;
    };
    return channel(color >> 16 & 0xFF, red) << 16 | channel(color >> 8 & 0xFF, green) << 8 | channel(color & 0xFF, blue);
}

TEST(BmpDecoderTest, EveryDepthAndLayoutGivesThePatternOpaque) {
    struct Case {
        const char* name;
        int colors, red, green, blue;
    };
    for (const Case& c : {Case{"bmp1.bmp", 2, 8, 8, 8}, {"bmp4.bmp", 16, 8, 8, 8}, {"bmp8.bmp", 16, 8, 8, 8},
                          {"bmp8_few_colors.bmp", 5, 8, 8, 8}, {"bmp8_core.bmp", 16, 8, 8, 8},
                          {"bmp16.bmp", 16, 5, 5, 5}, {"bmp16_565.bmp", 16, 5, 6, 5}, {"bmp24.bmp", 16, 8, 8, 8},
                          {"bmp24_top_down.bmp", 16, 8, 8, 8}, {"bmp32.bmp", 16, 8, 8, 8},
                          {"bmp32_fields.bmp", 16, 8, 8, 8}, {"bmp32_v5_alpha.bmp", 16, 8, 8, 8}}) {
        const std::vector<std::uint8_t> bytes = Fixture(c.name);
        DecodedPicture picture;
        ASSERT_TRUE(DecodeBmp(bytes.data(), bytes.size(), picture)) << c.name;
        ASSERT_EQ(13, picture.width) << c.name;
        ASSERT_EQ(9, picture.height) << c.name;
        int wrong = 0;
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 13; ++x)
                wrong += picture.pixels[y * 13 + x] != (kBlack | Widened(kPalette[Index(x, y, c.colors)], c.red, c.green, c.blue));
        EXPECT_EQ(0, wrong) << c.name;
    }
}

TEST(BmpDecoderTest, RunLengthsPlaceRunsAbsoluteStretchesAndDeltasLeavingSkippedPixelsBlack) {
    const std::vector<std::uint8_t> bytes = Fixture("bmp8_rle.bmp");
    DecodedPicture picture;
    ASSERT_TRUE(DecodeBmp(bytes.data(), bytes.size(), picture));
    const auto row = [&](int y) { return std::vector<std::uint32_t>(&picture.pixels[y * 13], &picture.pixels[y * 13 + 13]); };
    const std::uint32_t b = kBlack, p0 = kBlack | kPalette[0], p3 = kBlack | kPalette[3], p5 = kBlack | kPalette[5];
    EXPECT_EQ(std::vector<std::uint32_t>({p0, p0, p0, p0, p0, p3, p3, p3, p3, p3, p3, p3, p3}), row(8));
    EXPECT_EQ(std::vector<std::uint32_t>(13, b), row(5));  // the delta steps over the rest of this row
    EXPECT_EQ(std::vector<std::uint32_t>({b, b, b, b, p5, p5, p5, b, b, b, b, b, b}), row(4));
    EXPECT_EQ(std::vector<std::uint32_t>({kBlack | kPalette[1], kBlack | kPalette[2], kBlack | kPalette[3],
                                          kBlack | kPalette[4], b, b, b, b, b, b, b, b, b}),
              row(2));  // an absolute stretch, then the row ends early
}

TEST(BmpDecoderTest, SidesUpToTheLimitAndRowsThatAreAllThere) {
    for (const std::int32_t width : {32768, 32769}) {
        std::vector<std::uint8_t> bytes(54 + static_cast<std::size_t>(width) * 3 + 4, 0);
        const auto put = [&](std::size_t at, std::uint32_t value) {
            for (int b = 0; b < 4; ++b) bytes[at + b] = value >> (8 * b) & 0xFF;
        };
        bytes[0] = 'B', bytes[1] = 'M';
        put(10, 54), put(14, 40), put(18, static_cast<std::uint32_t>(width)), put(22, 1), put(26, 24 << 16 | 1);
        DecodedPicture picture;
        EXPECT_EQ(width == 32768, DecodeBmp(bytes.data(), bytes.size(), picture)) << width;
        bytes.resize(54 + static_cast<std::size_t>(width) * 3 - 1);  // the row one byte short
        EXPECT_FALSE(DecodeBmp(bytes.data(), bytes.size(), picture)) << width;
    }
}

TEST(IconDecoderTest, TheMaskOrTheAlphaDecidesAndAPngImageIsHandedOn) {
    struct Case {
        const char* name;
        bool byAlpha;
    };
    for (const Case& c : {Case{"icon8.ico", false}, {"icon32_no_alpha.ico", false}, {"icon32_alpha.ico", true}}) {
        const std::vector<std::uint8_t> bytes = Fixture(c.name);
        const PictureHeader header = CheckPictureHeader(bytes.data(), bytes.size());
        DecodedPicture picture;
        const std::uint8_t* png = nullptr;
        std::size_t pngSize = 0;
        ASSERT_TRUE(DecodeIconImage(bytes.data(), bytes.size(), header.iconImage, picture, png, pngSize)) << c.name;
        ASSERT_EQ(16, picture.width) << c.name;
        ASSERT_EQ(16, picture.height) << c.name;
        int wrong = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const std::uint32_t color = c.byAlpha || std::string(c.name) == "icon32_no_alpha.ico"
                                                ? 0 : kPalette[Index(x, y, 16)];
                const bool masked = (x * 7 + y * 3) % 5 == 0;
                const std::uint32_t expected = c.byAlpha ? Alpha(x, y) << 24 : masked ? 0 : kBlack;
                wrong += (picture.pixels[y * 16 + x] & 0xFF000000) != expected ||
                         (color && !masked && (picture.pixels[y * 16 + x] & 0xFFFFFF) != color);
            }
        EXPECT_EQ(0, wrong) << c.name;
    }
    const std::vector<std::uint8_t> bytes = Fixture("icon_png.ico");
    const PictureHeader header = CheckPictureHeader(bytes.data(), bytes.size());
    DecodedPicture picture;
    const std::uint8_t* png = nullptr;
    std::size_t pngSize = 0;
    ASSERT_TRUE(DecodeIconImage(bytes.data(), bytes.size(), header.iconImage, picture, png, pngSize));
    EXPECT_EQ(0, memcmp(png, "\x89PNG", 4));
}

}  // namespace
