// The region of a picture: exactly what the pixel-by-pixel algorithm gives, byte
// for byte, and the platform region made from banded rectangles.
#include <windows.h>

#include <random>
#include <vector>

#include "harness.h"
#include "tests/support/naive_region.h"
#include "region/region_data.h"
#include "res/resource_ids.h"

namespace {

std::vector<BYTE> RegionBytes(HRGN region) {
    const DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<BYTE> data(size);
    if (size) GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data()));
    return data;
}

class RegionEngineTest : public ProbeTest {
protected:
    void ExpectSameAsNaive(HBITMAP picture, int width, int height, COLORREF mask, const char* what) {
        HRGN ours = probe_->buildRegionFromPicture(picture, width, height, mask);
        HRGN naive = NaiveRegion(picture, width, height, mask);
        ASSERT_NE(ours, nullptr) << what;
        ASSERT_NE(naive, nullptr) << what;
        EXPECT_EQ(RegionBytes(ours), RegionBytes(naive)) << what;
        DeleteObject(ours);
        DeleteObject(naive);
    }
};

TEST_F(RegionEngineTest, RandomPicturesGiveTheNaiveRegionByteForByte) {
    std::mt19937 random(1234);
    const COLORREF mask = RGB(200, 10, 30);
    const COLORREF others[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(200, 10, 31), RGB(30, 10, 200)};
    const struct {
        int width, height;
    } sizes[] = {{1, 1}, {1, 9}, {9, 1}, {17, 13}, {64, 48}, {5, 70}};
    for (const auto& size : sizes)
        for (int noise : {0, 3, 30, 50, 90, 100}) {
            std::vector<COLORREF> colours(static_cast<size_t>(size.width) * size.height);
            for (COLORREF& c : colours) c = static_cast<int>(random() % 100) < noise ? others[random() % 4] : mask;
            HBITMAP picture = MakeBitmap(size.width, size.height,
                                         [&](int x, int y) { return colours[static_cast<size_t>(y) * size.width + x]; });
            const std::string what = std::to_string(size.width) + "x" + std::to_string(size.height) + " noise " +
                                     std::to_string(noise);
            ExpectSameAsNaive(picture, size.width, size.height, mask, what.c_str());
            DeleteObject(picture);
        }
}

TEST_F(RegionEngineTest, ShapesAndRealPicturesGiveTheNaiveRegion) {
    // Large shapes: a disc and a frame, many identical rows.
    HBITMAP shapes = MakeBitmap(120, 90, [](int x, int y) {
        const int dx = x - 40, dy = y - 45;
        const bool disc = dx * dx + dy * dy < 900;
        const bool frame = (x >= 80 && x < 115 && y >= 10 && y < 80) && !(x >= 90 && x < 105 && y >= 20 && y < 70);
        return disc || frame ? RGB(0, 0, 0) : RGB(255, 0, 255);
    });
    ExpectSameAsNaive(shapes, 120, 90, RGB(255, 0, 255), "shapes");
    DeleteObject(shapes);

    HBITMAP gif = probe_->loadPictureFile(TestDataPath("transparent.gif").c_str(), RGB(255, 255, 0));
    ASSERT_NE(gif, nullptr);
    for (COLORREF mask : {RGB(0, 0, 255), RGB(255, 255, 0), RGB(0, 255, 0), RGB(1, 2, 3)})
        ExpectSameAsNaive(gif, 40, 30, mask, "gif");
    DeleteObject(gif);
}

TEST_F(RegionEngineTest, TheAboutPictureWithItsCornerColourGivesItsOutlineResource) {
    HBITMAP about = probe_->loadPictureResource(host_.addIn, MAKEINTRESOURCEA(IDR_ABOUT_IMAGE));
    ASSERT_NE(about, nullptr);
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(memory, about);
    const COLORREF corner = GetPixel(memory, 0, 0);
    SelectObject(memory, previous);
    DeleteDC(memory);
    HRGN region = probe_->buildRegionFromPicture(about, 300, 218, corner);
    ASSERT_NE(region, nullptr);
    RegionRects rects;
    ASSERT_TRUE(DecodeRegionData(RegionBytes(region).data(), RegionBytes(region).size(), rects));
    const std::vector<std::uint8_t> ours = EncodeRegionData(rects);
    HRSRC resource = FindResourceA(host_.addIn, MAKEINTRESOURCEA(IDR_ABOUT_OUTLINE), RT_RCDATA);
    ASSERT_NE(resource, nullptr);
    const auto* bytes = static_cast<const std::uint8_t*>(LockResource(LoadResource(host_.addIn, resource)));
    const std::vector<std::uint8_t> outline(bytes, bytes + SizeofResource(host_.addIn, resource));
    EXPECT_EQ(ours, outline);
    EXPECT_EQ(rects.back(), (RegionRect{0, 218, 300, 219}));
    DeleteObject(region);
    DeleteObject(about);
}

TEST_F(RegionEngineTest, RegionsFromRectanglesAreExactlyThoseRectangles) {
    std::mt19937 random(99);
    for (int round = 0; round < 30; ++round) {
        RegionRects input;
        const int count = static_cast<int>(random() % 400);
        for (int i = 0; i < count; ++i) {
            const int l = static_cast<int>(random() % 300) - 50, t = static_cast<int>(random() % 300) - 50;
            input.push_back({l, t, l + 1 + static_cast<int>(random() % 40), t + 1 + static_cast<int>(random() % 20)});
        }
        const RegionRects banded = UnionOfRects(input);
        HRGN region = probe_->createRegionFromRects(banded);
        ASSERT_NE(region, nullptr);
        RegionRects back;
        ASSERT_TRUE(DecodeRegionData(RegionBytes(region).data(), RegionBytes(region).size(), back));
        EXPECT_EQ(back, banded) << round;
        DeleteObject(region);
    }
    HRGN empty = probe_->createRegionFromRects({});
    RECT box{1, 1, 1, 1};
    EXPECT_EQ(GetRgnBox(empty, &box), NULLREGION);
    DeleteObject(empty);
}

TEST_F(RegionEngineTest, BuildingLeaksNoGdiObjects) {
    HBITMAP picture = MakeBitmap(50, 40, [](int x, int y) { return (x * 7 + y * 3) % 5 ? RGB(1, 1, 1) : RGB(9, 9, 9); });
    DeleteObject(probe_->buildRegionFromPicture(picture, 50, 40, RGB(9, 9, 9)));
    const int before = CountGdiObjects();
    for (int i = 0; i < 10; ++i) DeleteObject(probe_->buildRegionFromPicture(picture, 50, 40, RGB(9, 9, 9)));
    EXPECT_EQ(CountGdiObjects(), before);
    DeleteObject(picture);
}

}  // namespace
