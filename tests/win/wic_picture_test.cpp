// PNG, TIFF and icons through the imaging component: pixels composed over the
// background, the alpha handed on, GIF, JPEG and BMP left to the OLE picture
// object, failures, leaks and the thread's COM state.
#include <windows.h>
#include <objbase.h>

#include <string>

#include "harness.h"
#include "picture_fixtures.h"

namespace {

struct Variant {
    const char* name;
    bool grey;
    bool alpha;
    int size;  // 0: the 10 x 7 pictures
};

const Variant kVariants[] = {
    {"rgba8.png", false, true, 0},           {"rgba16.png", false, true, 0},
    {"rgba8_interlaced.png", false, true, 0}, {"rgb8.png", false, false, 0},
    {"rgb16.png", false, false, 0},          {"grey8.png", true, false, 0},
    {"grey16.png", true, false, 0},          {"grey_alpha8.png", true, true, 0},
    {"grey_alpha16.png", true, true, 0},     {"palette.png", false, false, 0},
    {"palette_alpha.png", false, true, 0},   {"palette_alpha_interlaced.png", false, true, 0},
    {"rgba.tif", false, true, 0},            {"rgb.tif", false, false, 0},
    {"icon.ico", false, true, 32},
};

std::string WicData(const char* name) { return TestDataPath((std::string("wic\\") + name).c_str()); }

// Whether the thread is in the apartment of this kind: entering it again only
// counts up (S_FALSE).
bool ThreadIsIn(DWORD apartment) {
    const HRESULT result = CoInitializeEx(nullptr, apartment);
    if (SUCCEEDED(result)) CoUninitialize();
    return result == S_FALSE;
}

bool ThreadHasNoComApartment() {
    const HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(result)) CoUninitialize();
    return result == S_OK;
}

class WicPictureTest : public ProbeTest {};

TEST_F(WicPictureTest, EveryVariantComesOutUprightWithItsAlphaComposedOverTheBackground) {
    for (const Variant& variant : kVariants) {
        const int width = variant.size ? variant.size : 10, height = variant.size ? variant.size : 7;
        for (COLORREF background : {RGB(255, 255, 0), RGB(12, 34, 56)}) {
            AlphaPlane alpha;
            HBITMAP bitmap = probe_->loadPictureFileThroughWic(WicData(variant.name).c_str(), background, &alpha);
            ASSERT_NE(bitmap, nullptr) << variant.name;
            const Pixels pixels = ReadPixels(bitmap);
            DeleteObject(bitmap);
            ASSERT_EQ(pixels.width, width) << variant.name;
            ASSERT_EQ(pixels.height, height) << variant.name;
            ASSERT_EQ(alpha.width, width) << variant.name;
            ASSERT_EQ(alpha.height, height) << variant.name;
            int wrong = 0, wrongAlpha = 0;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const int a = variant.alpha ? FixtureAlpha(x, y) : 255;
                    const COLORREF colour = variant.grey ? FixtureGrey(x, y) : FixtureColour(x, y);
                    const COLORREF expected = ComposedOver(colour, background, a);
                    if (pixels.at(x, y) != expected && wrong++ < 3)
                        ADD_FAILURE() << variant.name << " at " << x << "," << y << ": " << std::hex
                                      << pixels.at(x, y) << " instead of " << expected;
                    if (alpha.at(x, y) != a) ++wrongAlpha;
                }
            EXPECT_EQ(wrongAlpha, 0) << variant.name;

            // The editor's route sends these formats to the same decoder.
            HBITMAP usual = probe_->loadPictureFile(WicData(variant.name).c_str(), background);
            EXPECT_EQ(ReadPixels(usual).values, pixels.values) << variant.name;
            DeleteObject(usual);
        }
    }
}

TEST_F(WicPictureTest, GifJpegAndBmpStayWithTheOlePictureObject) {
    for (const char* name : {"transparent.gif", "stripes.jpg", "stripes.bmp"}) {
        AlphaPlane alpha;
        HBITMAP bitmap = probe_->loadPictureFileWithAlpha(TestDataPath(name).c_str(), RGB(7, 8, 9), &alpha);
        ASSERT_NE(bitmap, nullptr) << name;
        EXPECT_EQ(alpha.values, nullptr) << name << ": the OLE picture object gives no alpha";
        DeleteObject(bitmap);
    }
    // Both decoders give a transparent GIF pixel the background colour exactly.
    const std::string gif = TestDataPath("transparent.gif");
    HBITMAP ole = probe_->loadPictureFile(gif.c_str(), RGB(7, 8, 9));
    HBITMAP wic = probe_->loadPictureFileThroughWic(gif.c_str(), RGB(7, 8, 9), nullptr);
    ASSERT_NE(wic, nullptr);
    EXPECT_EQ(ReadPixels(wic).values, ReadPixels(ole).values);
    DeleteObject(ole);
    DeleteObject(wic);
}

TEST_F(WicPictureTest, AShapeOnATransparentBackgroundGivesTheRegionOfItsOpaquePixels) {
    const COLORREF background = RGB(200, 100, 50);
    HBITMAP picture = probe_->loadPictureFile(WicData("shape.png").c_str(), background);
    ASSERT_NE(picture, nullptr);
    HRGN region = probe_->buildRegionFromPicture(picture, 24, 16, background);
    ASSERT_NE(region, nullptr);
    HRGN expected = CreateRectRgn(0, 16, 24, 17);  // the strip below the picture
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
            if (InFixtureShape(x, y)) {
                HRGN pixel = CreateRectRgn(x, y, x + 1, y + 1);
                CombineRgn(expected, expected, pixel, RGN_OR);
                DeleteObject(pixel);
            }
    EXPECT_TRUE(EqualRgn(region, expected));
    DeleteObject(expected);
    DeleteObject(region);
    DeleteObject(picture);
}

TEST_F(WicPictureTest, FailuresGiveNothingAndNoRouteLeavesObjectsFilesOrComStateBehind) {
    for (const char* name : {"truncated.png", "huge.png", "missing.png"}) {
        AlphaPlane alpha;
        EXPECT_EQ(probe_->loadPictureFileWithAlpha(WicData(name).c_str(), 0, &alpha), nullptr) << name;
        EXPECT_EQ(alpha.values, nullptr) << name;
        EXPECT_EQ(probe_->loadPictureFileThroughWic(WicData(name).c_str(), 0, nullptr), nullptr) << name;
    }
    // A copy that nothing may hold open once decoding is over.
    const std::string copy = TemporaryPath("held.png");
    ASSERT_TRUE(CopyFileA(WicData("rgba8.png").c_str(), copy.c_str(), FALSE));
    ExpectNoGrowth([&] {
        for (const char* name : {"icon.ico", "rgba.tif", "truncated.png"})
            DeleteObject(probe_->loadPictureFile(WicData(name).c_str(), RGB(1, 2, 3)));
        DeleteObject(probe_->loadPictureFile(copy.c_str(), RGB(1, 2, 3)));
    });
    HANDLE alone = CreateFileA(copy.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(alone, INVALID_HANDLE_VALUE) << "a decoder still holds the file";
    CloseHandle(alone);

    // Without COM, in the single-threaded and in the multithreaded apartment:
    // the thread is where it was afterwards.
    ASSERT_TRUE(ThreadHasNoComApartment());
    struct Start {
        bool com;
        DWORD apartment;
    };
    for (Start start : {Start{false, 0}, Start{true, COINIT_APARTMENTTHREADED}, Start{true, COINIT_MULTITHREADED}}) {
        if (start.com) {
            ASSERT_EQ(CoInitializeEx(nullptr, start.apartment), S_OK);
        }
        for (const char* name : {"rgba8.png", "truncated.png"})
            DeleteObject(probe_->loadPictureFile(WicData(name).c_str(), 0));
        DeleteObject(probe_->loadPictureFile(TestDataPath("transparent.gif").c_str(), 0));
        if (start.com) {
            EXPECT_TRUE(ThreadIsIn(start.apartment)) << start.apartment;
            CoUninitialize();
        }
        EXPECT_TRUE(ThreadHasNoComApartment()) << start.apartment;
    }
}

}  // namespace
