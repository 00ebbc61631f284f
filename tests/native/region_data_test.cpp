#include "region/region_data.h"

#include <gtest/gtest.h>

#include <cstring>

// The layout as 32-bit code writes it too: little-endian, signed, the bounds in the header.
TEST(RegionData, EncodesHeaderBoundsAndRectanglesAndDecodesThemBackPastTrailingBytes) {
    const RegionRects rects = {{1, 2, 5, 3}, {-4, 3, 2, 9}};
    std::vector<std::uint8_t> data = EncodeRegionData(rects), expected(64);
    const std::int32_t fields[] = {32, 1, 2, 32, -4, 2, 5, 9, 1, 2, 5, 3, -4, 3, 2, 9};
    std::memcpy(expected.data(), fields, sizeof fields);
    EXPECT_EQ(data, expected);
    data.insert(data.end(), 17, 9);
    RegionRects back;
    ASSERT_TRUE(DecodeRegionData(data.data(), data.size(), back));
    EXPECT_EQ(back, rects);
    // A count of 0x10000000 rectangles is 0 bytes in 32-bit arithmetic.
    std::memcpy(data.data() + 8, "\0\0\0\x10", 4);
    EXPECT_FALSE(DecodeRegionData(data.data(), data.size(), back));
    EXPECT_TRUE(back.empty());
}
