#include "region/region_data.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::vector<std::uint8_t> Header(std::uint32_t size, std::uint32_t type, std::uint32_t count) {
    std::vector<std::uint8_t> data(32, 0);
    std::memcpy(data.data(), &size, 4);
    std::memcpy(data.data() + 4, &type, 4);
    std::memcpy(data.data() + 8, &count, 4);
    return data;
}

TEST(RegionData, EncodesHeaderBoundsAndRectanglesLittleEndian) {
    const RegionRects rects = {{1, 2, 5, 3}, {-4, 3, 2, 9}};
    const std::vector<std::uint8_t> data = EncodeRegionData(rects);
    ASSERT_EQ(data.size(), 32u + 2 * 16);
    const std::uint8_t header[] = {32, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 32, 0, 0, 0};
    EXPECT_EQ(std::memcmp(data.data(), header, sizeof header), 0);
    std::int32_t bound[4];
    std::memcpy(bound, data.data() + 16, 16);
    EXPECT_EQ(bound[0], -4);
    EXPECT_EQ(bound[1], 2);
    EXPECT_EQ(bound[2], 5);
    EXPECT_EQ(bound[3], 9);
    RegionRects back;
    ASSERT_TRUE(DecodeRegionData(data.data(), data.size(), back));
    EXPECT_EQ(back, rects);
}

TEST(RegionData, AnEmptyRegionIs32BytesWithNoRectangles) {
    const std::vector<std::uint8_t> data = EncodeRegionData({});
    EXPECT_EQ(data.size(), 32u);
    RegionRects back{{1, 1, 2, 2}};
    EXPECT_TRUE(DecodeRegionData(data.data(), data.size(), back));
    EXPECT_TRUE(back.empty());
}

TEST(RegionData, RejectsShortBadHeadersAndCountsPastTheEnd) {
    RegionRects rects;
    std::vector<std::uint8_t> good = Header(32, 1, 1);
    good.resize(48, 0);
    EXPECT_TRUE(DecodeRegionData(good.data(), good.size(), rects));
    EXPECT_FALSE(DecodeRegionData(nullptr, 0, rects));
    EXPECT_FALSE(DecodeRegionData(good.data(), 31, rects));
    EXPECT_FALSE(DecodeRegionData(good.data(), 47, rects));  // the rectangle runs past the end
    std::vector<std::uint8_t> type2 = Header(32, 2, 0);
    EXPECT_FALSE(DecodeRegionData(type2.data(), type2.size(), rects));
    std::vector<std::uint8_t> size40 = Header(40, 1, 0);
    size40.resize(40, 0);
    EXPECT_FALSE(DecodeRegionData(size40.data(), size40.size(), rects));
    // 0x10000000 x 16 wraps to 0 in 32 bits: it must still be rejected.
    std::vector<std::uint8_t> huge = Header(32, 1, 0x10000000);
    huge.resize(64, 0);
    EXPECT_FALSE(DecodeRegionData(huge.data(), huge.size(), rects));
    std::vector<std::uint8_t> most = Header(32, 1, 0xFFFFFFFF);
    EXPECT_FALSE(DecodeRegionData(most.data(), most.size(), rects));
    EXPECT_TRUE(rects.empty());
}

TEST(RegionData, TrailingBytesAreIgnored) {
    std::vector<std::uint8_t> data = EncodeRegionData({{0, 0, 1, 1}});
    data.insert(data.end(), {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9});
    RegionRects rects;
    ASSERT_TRUE(DecodeRegionData(data.data(), data.size(), rects));
    EXPECT_EQ(rects, (RegionRects{{0, 0, 1, 1}}));
}

}  // namespace
