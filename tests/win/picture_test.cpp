// Decoding pictures from files and resources into bitmaps.
#include <windows.h>
#include <objbase.h>

#include <cstdlib>

#include "harness.h"
#include "res/resource_ids.h"

namespace {

const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kGreen = RGB(0, 255, 0);
const COLORREF kRed = RGB(255, 0, 0);

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

int ScreenDpi(int axis) {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, axis);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// True when the calling thread has no COM apartment: entering the
// multithreaded one then succeeds with S_OK.
bool ThreadHasNoComApartment() {
    HRESULT result = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(result)) CoUninitialize();
    return result == S_OK;
}

class PictureTest : public ProbeTest {};

TEST_F(PictureTest, TransparentGifPixelsTakeExactlyTheBackgroundColourAndTheRestStays) {
    ASSERT_EQ(ScreenDpi(LOGPIXELSX), 96);
    for (COLORREF background : {RGB(255, 255, 0), RGB(12, 34, 56)}) {
        HBITMAP bitmap = probe_->loadPictureFile(TestDataPath("transparent.gif").c_str(), background);
        ASSERT_NE(bitmap, nullptr);
        Pixels pixels = ReadPixels(bitmap);
        ASSERT_EQ(pixels.width, 40);
        ASSERT_EQ(pixels.height, 30);
        // Blue band on top, transparent band, green band at the bottom: upright.
        for (int y = 0; y < 30; ++y) {
            const COLORREF expected = y < 10 ? kBlue : y < 20 ? background : kGreen;
            for (int x = 0; x < 40; ++x) ASSERT_EQ(pixels.at(x, y), expected) << x << "," << y;
        }
        DeleteObject(bitmap);
    }
}

TEST_F(PictureTest, BmpPngAndJpegComeOutUprightAtTheirNaturalSize) {
    for (const char* name : {"stripes.bmp", "stripes.png", "stripes.jpg"}) {
        HBITMAP bitmap = probe_->loadPictureFile(TestDataPath(name).c_str(), RGB(9, 9, 9));
        ASSERT_NE(bitmap, nullptr) << name;
        // The returned bitmap is selected nowhere: it can go into a DC at once.
        HDC memory = CreateCompatibleDC(nullptr);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        EXPECT_NE(previous, nullptr) << name;
        SelectObject(memory, previous);
        DeleteDC(memory);
        Pixels pixels = ReadPixels(bitmap);
        EXPECT_EQ(pixels.width, 48) << name;
        EXPECT_EQ(pixels.height, 32) << name;
        // JPEG may be off by a little; the others are exact.
        const int tolerance = std::string(name).find(".jpg") != std::string::npos ? 12 : 0;
        EXPECT_TRUE(Near(pixels.at(24, 2), kRed, tolerance)) << name;
        EXPECT_TRUE(Near(pixels.at(24, 29), kBlue, tolerance)) << name;
        DeleteObject(bitmap);
    }
}

TEST_F(PictureTest, FailuresGiveNoBitmapAndLeaveGdiObjectsAndComStateAsTheyWere) {
    probe_->loadPictureFile("Z:\\no\\such\\picture.gif", 0);  // warm-up
    DeleteObject(probe_->loadPictureFile(TestDataPath("transparent.gif").c_str(), 0));
    const int before = CountGdiObjects();
    ASSERT_TRUE(ThreadHasNoComApartment());
    for (const char* name : {"missing.gif", "not_a_picture.gif", "truncated.gif"}) {
        EXPECT_EQ(probe_->loadPictureFile(TestDataPath(name).c_str(), RGB(1, 2, 3)), nullptr) << name;
        EXPECT_TRUE(ThreadHasNoComApartment()) << name;
    }
    EXPECT_EQ(CountGdiObjects(), before);
    // A success leaves COM as it was too, also in a thread that had it already.
    DeleteObject(probe_->loadPictureFile(TestDataPath("transparent.gif").c_str(), 0));
    EXPECT_TRUE(ThreadHasNoComApartment());
    ASSERT_EQ(CoInitialize(nullptr), S_OK);
    DeleteObject(probe_->loadPictureFile(TestDataPath("transparent.gif").c_str(), 0));
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE) << "the apartment must still be there";
    CoUninitialize();
    CoUninitialize();
    EXPECT_TRUE(ThreadHasNoComApartment());
}

TEST_F(PictureTest, ResourcesAreFoundInTheModuleGivenAndFailuresSetTheLastError) {
    HBITMAP about = probe_->loadPictureResource(host_.addIn, MAKEINTRESOURCEA(IDR_ABOUT_IMAGE));
    ASSERT_NE(about, nullptr);
    Pixels pixels = ReadPixels(about);
    EXPECT_EQ(pixels.width, 300);
    EXPECT_EQ(pixels.height, 218);
    DeleteObject(about);

    HMODULE tests = GetModuleHandleA(nullptr);
    HBITMAP gif = probe_->loadPictureResource(tests, MAKEINTRESOURCEA(901));
    ASSERT_NE(gif, nullptr);
    Pixels stripes = ReadPixels(gif);
    EXPECT_EQ(stripes.at(0, 0), kBlue);
    EXPECT_EQ(stripes.at(0, 29), kGreen);
    DeleteObject(gif);

    SetLastError(0);
    EXPECT_EQ(probe_->loadPictureResource(tests, MAKEINTRESOURCEA(IDR_ABOUT_IMAGE)), nullptr);
    EXPECT_EQ(GetLastError(), 2u) << "the About picture is the add-in's, not the program's";
    SetLastError(0);
    EXPECT_EQ(probe_->loadPictureResource(tests, MAKEINTRESOURCEA(900)), nullptr);
    EXPECT_EQ(GetLastError(), 87u);
    EXPECT_TRUE(ThreadHasNoComApartment());
}

TEST_F(PictureTest, NeitherRouteLeavesAnObjectBehind) {
    auto both = [&] {
        DeleteObject(probe_->loadPictureResource(host_.addIn, MAKEINTRESOURCEA(IDR_ABOUT_IMAGE)));
        DeleteObject(probe_->loadPictureFile(TestDataPath("transparent.gif").c_str(), 0));
    };
    both();
    both();
    const int before = CountGdiObjects();
    for (int i = 0; i < 10; ++i) both();
    EXPECT_EQ(CountGdiObjects(), before);
}

TEST_F(PictureTest, MemoryRouteDecodesBytesAndRejectsOthers) {
    const char text[] = "GIF89a but then nothing useful";
    SetLastError(0);
    EXPECT_EQ(probe_->loadPictureMemory(text, sizeof text), nullptr);
    EXPECT_EQ(GetLastError(), 87u);
}

}  // namespace
