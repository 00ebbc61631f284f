// The region of a picture: exactly what the pixel-by-pixel algorithm gives, byte
// for byte, and the platform region made from banded rectangles.
#include <windows.h>

#include <random>

#include "harness.h"
#include "core/region_data.h"
#include "res/resource_ids.h"
#include "tests/support/naive_region.h"

namespace {

// The rectangles of a region, which is then deleted.
RegionRects TakeRectsOf(HRGN region) {
    const RegionRects rects = RectsOf(region);
    return DeleteObject(region), rects;
}

class RegionEngineTest : public ProbeTest {
protected:
    RegionRects BuildThenDelete(HBITMAP picture, int width, int height, COLORREF mask) {
        // Counted in both builds: the region is the one object building leaves, and deleting it frees it.
        const int before = CountGdiObjects();
        HRGN region = probe_->buildRegionFromPicture(picture, width, height, mask);
        EXPECT_GT(before, 0);
        EXPECT_EQ(CountGdiObjects(), before + 1);
        const RegionRects rects = TakeRectsOf(region);
        EXPECT_EQ(CountGdiObjects(), before);
        EXPECT_EQ(rects, TakeRectsOf(NaiveRegion(picture, width, height, mask))) << width << "x" << height;
        DeleteObject(picture);
        return rects;
    }
};

TEST_F(RegionEngineTest, PicturesGiveTheNaiveRegion) {
    std::mt19937 random(1234);
    const COLORREF mask = RGB(200, 10, 30), others[] = {0, RGB(255, 255, 255), RGB(200, 10, 31), RGB(30, 10, 200)};
    for (const SIZE size : {SIZE{1, 1}, SIZE{1, 9}, SIZE{9, 1}, SIZE{17, 13}, SIZE{64, 48}, SIZE{5, 70}})
        for (int noise : {0, 3, 30, 50, 90, 100}) {
            HBITMAP picture = MakeBitmap(size.cx, size.cy, [&](int, int) {
                return static_cast<int>(random() % 100) < noise ? others[random() % 4] : mask;
            });
            BuildThenDelete(picture, size.cx, size.cy, mask);
        }
    // The About picture with its corner color gives the outline the add-in ships.
    HBITMAP about = probe_->loadPictureResource(host_.addIn, MAKEINTRESOURCEA(IDR_ABOUT_IMAGE));
    const RegionRects outline = BuildThenDelete(about, 300, 218, ReadPixels(about).at(0, 0));
    HRSRC resource = FindResourceA(host_.addIn, MAKEINTRESOURCEA(IDR_ABOUT_OUTLINE), RT_RCDATA);
    const auto* shipped = static_cast<const BYTE*>(LockResource(LoadResource(host_.addIn, resource)));
    EXPECT_EQ(EncodeRegionData(outline), std::vector<BYTE>(shipped, shipped + SizeofResource(host_.addIn, resource)));
}

}  // namespace
