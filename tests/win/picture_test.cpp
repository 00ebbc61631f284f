// Decoding pictures into bitmaps: GIF, JPEG and BMP through the OLE picture
// object, PNG, TIFF and icons through the imaging component with their alpha
// composed over the background; resources, failures, leaks and COM state.
#include <windows.h>
#include <objbase.h>

#include <string>

#include "harness.h"
#include "picture_fixtures.h"

namespace {

const COLORREF kBlue = RGB(0, 0, 255), kGreen = RGB(0, 255, 0);

std::string WicData(const char* name) { return TestDataPath((std::string("wic\\") + name).c_str()); }

// The result of entering the apartment again: S_OK when the thread had none of
// that kind (left again at once), S_FALSE when it was in it.
HRESULT EnterApartment(DWORD apartment = COINIT_MULTITHREADED) {
    const HRESULT result = CoInitializeEx(nullptr, apartment);
    if (SUCCEEDED(result)) CoUninitialize();
    return result;
}

class PictureTest : public ProbeTest {};

TEST_F(PictureTest, GifsComeOutUprightWithTransparencyExactlyTheBackgroundThroughEitherDecoder) {
    for (COLORREF background : {RGB(255, 255, 0), RGB(12, 34, 56)}) {
        // Blue band on top, transparent band, green band at the bottom; the
        // imaging component's route gives the same pixels.
        const std::string gif = TestDataPath("transparent.gif");
        HBITMAP bitmap = probe_->loadPictureFile(gif.c_str(), background);
        HBITMAP wic = probe_->loadPictureFileThroughWic(gif.c_str(), background, nullptr);
        const Pixels pixels = ReadPixels(bitmap);
        ASSERT_EQ(pixels.width * 100 + pixels.height, 4030);
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(pixels.at(x, y), y < 10 ? kBlue : y < 20 ? background : kGreen) << x << "," << y;
        EXPECT_EQ(ReadPixels(wic).values, pixels.values);
        DeleteObject(bitmap);
        DeleteObject(wic);
    }
}

TEST_F(PictureTest, ImagingComponentPicturesComeOutUprightWithTheirAlphaComposedOverTheBackground) {
    for (const std::string name : {"rgba8.png", "rgba16.png", "rgb8.png", "grey8.png", "grey_alpha16.png",
                                   "palette_alpha_interlaced.png", "rgba.tif", "rgb.tif", "icon.ico"}) {
        COLORREF (*const colourAt)(int, int) = name.find("grey") == 0 ? FixtureGrey : FixtureColour;
        const bool hasAlpha = name.find("rgba") == 0 || name.find("alpha") != name.npos || name == "icon.ico";
        const int width = name == "icon.ico" ? 32 : 10, height = width == 32 ? 32 : 7;  // the icon's largest image
        for (COLORREF background : {RGB(255, 255, 0), RGB(12, 34, 56)}) {
            AlphaPlane alpha;
            // The editor's route, which sends these formats to the imaging component.
            HBITMAP bitmap = probe_->loadPictureFileWithAlpha(WicData(name.c_str()).c_str(), background, &alpha);
            const Pixels pixels = ReadPixels(bitmap);
            DeleteObject(bitmap);
            ASSERT_EQ(pixels.width * 100 + pixels.height, width * 100 + height) << name;
            ASSERT_EQ(alpha.width * 100 + alpha.height, width * 100 + height) << name;
            int wrong = 0, wrongAlpha = 0;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const int a = hasAlpha ? FixtureAlpha(x, y) : 255;
                    const COLORREF expected = ComposedOver(colourAt(x, y), background, a);
                    if (pixels.at(x, y) != expected && wrong++ < 3)
                        ADD_FAILURE() << name << " at " << x << "," << y << ": " << std::hex << pixels.at(x, y);
                    wrongAlpha += alpha.at(x, y) != a;
                }
            EXPECT_EQ(wrongAlpha, 0) << name;
        }
    }
}

TEST_F(PictureTest, FailuresGiveNothingAndNoRouteLeavesObjectsFilesOrComState) {
    // What is no picture, or no file, gives nothing and leaves no apartment behind.
    EXPECT_EQ(probe_->loadPictureResource(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(900)), nullptr);
    for (const std::string& path : {TestDataPath("missing.gif"), TestDataPath("not_a_picture.gif"),
                                    TestDataPath("truncated.gif"), WicData("truncated.png"), WicData("huge.png"),
                                    WicData("missing.png")}) {
        AlphaPlane alpha;
        EXPECT_EQ(probe_->loadPictureFileWithAlpha(path.c_str(), 0, &alpha), nullptr) << path;
        EXPECT_EQ(alpha.values, nullptr) << path;
        EXPECT_EQ(EnterApartment(), S_OK) << path;
    }

    // A copy that nothing may hold open once decoding is over.
    const std::string copy = TemporaryPath("held.png");
    ASSERT_TRUE(CopyFileA(WicData("rgba8.png").c_str(), copy.c_str(), FALSE));
    // The editor's cycle in LeakTest loads a GIF and the About picture; here the other routes and failures.
    ExpectNoGrowth([&] {
        for (const std::string& path : {WicData("icon.ico"), WicData("rgba.tif"), WicData("truncated.png"), copy,
                                        TestDataPath("truncated.gif")})
            DeleteObject(probe_->loadPictureFile(path.c_str(), RGB(1, 2, 3)));
    });
    HANDLE alone = CreateFileA(copy.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(alone, INVALID_HANDLE_VALUE) << "a decoder still holds the file";
    CloseHandle(alone);

    // Without COM, in the single-threaded and in the multithreaded apartment:
    // the thread is where it was afterwards.
    for (int apartment : {-1, int(COINIT_APARTMENTTHREADED), int(COINIT_MULTITHREADED)}) {
        ASSERT_TRUE(apartment < 0 || CoInitializeEx(nullptr, apartment) == S_OK);
        for (const std::string& path : {WicData("rgba8.png"), WicData("truncated.png"), TestDataPath("stripes.bmp")})
            DeleteObject(probe_->loadPictureFile(path.c_str(), 0));
        if (apartment >= 0) {
            EXPECT_EQ(EnterApartment(apartment), S_FALSE) << apartment;
            CoUninitialize();
        }
        EXPECT_EQ(EnterApartment(), S_OK) << apartment;
    }
}

}  // namespace
