// The region of a picture: exactly what the pixel-by-pixel algorithm gives, byte
// for byte, and the platform region made from banded rectangles.
#include <windows.h>

#include <random>
#include <vector>

#include "harness.h"
#include "region/region_data.h"
#include "res/resource_ids.h"
#include "tests/support/naive_region.h"

namespace {

std::vector<BYTE> RegionBytes(HRGN region) {
    std::vector<BYTE> data(GetRegionData(region, 0, nullptr));
    GetRegionData(region, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data()));
    return data;
}

class RegionEngineTest : public ProbeTest {
protected:
    void ExpectSameAsNaive(HBITMAP picture, int width, int height, COLORREF mask, const std::string& what) {
        HRGN ours = probe_->buildRegionFromPicture(picture, width, height, mask);
        HRGN naive = NaiveRegion(picture, width, height, mask);
        EXPECT_EQ(RegionBytes(ours), RegionBytes(naive)) << what;
        DeleteObject(ours);
        DeleteObject(naive);
        DeleteObject(picture);
    }
};

TEST_F(RegionEngineTest, PicturesGiveTheNaiveRegionByteForByte) {
    std::mt19937 random(1234);
    const COLORREF mask = RGB(200, 10, 30);
    const COLORREF others[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(200, 10, 31), RGB(30, 10, 200)};
    for (const auto& size : {SIZE{1, 1}, SIZE{1, 9}, SIZE{9, 1}, SIZE{17, 13}, SIZE{64, 48}, SIZE{5, 70}})
        for (int noise : {0, 3, 30, 50, 90, 100}) {
            std::vector<COLORREF> colours(static_cast<size_t>(size.cx) * size.cy);
            for (COLORREF& c : colours) c = static_cast<int>(random() % 100) < noise ? others[random() % 4] : mask;
            HBITMAP picture = MakeBitmap(size.cx, size.cy, [&](int x, int y) { return colours[y * size.cx + x]; });
            ExpectSameAsNaive(picture, size.cx, size.cy, mask,
                              std::to_string(size.cx) + "x" + std::to_string(size.cy) + " noise " + std::to_string(noise));
        }
    // Large shapes, many identical rows: a disc and a frame.
    ExpectSameAsNaive(MakeBitmap(120, 90,
                                 [](int x, int y) {
                                     const bool disc = (x - 40) * (x - 40) + (y - 45) * (y - 45) < 900;
                                     const bool frame = x >= 80 && x < 115 && y >= 10 && y < 80 &&
                                                        !(x >= 90 && x < 105 && y >= 20 && y < 70);
                                     return disc || frame ? RGB(0, 0, 0) : RGB(255, 0, 255);
                                 }),
                      120, 90, RGB(255, 0, 255), "shapes");
    for (COLORREF mask : {RGB(0, 0, 255), RGB(255, 255, 0), RGB(0, 255, 0), RGB(1, 2, 3)})
        ExpectSameAsNaive(probe_->loadPictureFile(TestDataPath("transparent.gif").c_str(), RGB(255, 255, 0)), 40, 30,
                          mask, "gif");
}

TEST_F(RegionEngineTest, TheAboutPictureWithItsCornerColourGivesItsOutlineResource) {
    HBITMAP about = probe_->loadPictureResource(host_.addIn, MAKEINTRESOURCEA(IDR_ABOUT_IMAGE));
    HRGN region = probe_->buildRegionFromPicture(about, 300, 218, ReadPixels(about).at(0, 0));
    ASSERT_NE(region, nullptr);
    const std::vector<BYTE> bytes = RegionBytes(region);
    RegionRects rects;
    ASSERT_TRUE(DecodeRegionData(bytes.data(), bytes.size(), rects));
    HRSRC resource = FindResourceA(host_.addIn, MAKEINTRESOURCEA(IDR_ABOUT_OUTLINE), RT_RCDATA);
    ASSERT_NE(resource, nullptr);
    const auto* outline = static_cast<const BYTE*>(LockResource(LoadResource(host_.addIn, resource)));
    EXPECT_EQ(EncodeRegionData(rects), std::vector<BYTE>(outline, outline + SizeofResource(host_.addIn, resource)));
    EXPECT_EQ(rects.back(), (RegionRect{0, 218, 300, 219}));
    DeleteObject(region);
    DeleteObject(about);
}

TEST_F(RegionEngineTest, RegionsFromRectanglesAreExactlyThoseRectangles) {
    std::mt19937 random(99);
    for (int round = 0; round < 30; ++round) {
        RegionRects input;  // none at first
        for (int i = round ? static_cast<int>(random() % 400) : 0; i > 0; --i) {
            const int l = static_cast<int>(random() % 300) - 50, t = static_cast<int>(random() % 300) - 50;
            input.push_back({l, t, l + 1 + static_cast<int>(random() % 40), t + 1 + static_cast<int>(random() % 20)});
        }
        const RegionRects banded = UnionOfRects(input);
        HRGN region = probe_->createRegionFromRects(banded);
        const std::vector<BYTE> bytes = RegionBytes(region);
        RegionRects back;
        ASSERT_TRUE(DecodeRegionData(bytes.data(), bytes.size(), back));
        EXPECT_EQ(back, banded) << round;
        DeleteObject(region);
    }
}

}  // namespace
