// Decoding pictures into bitmaps: a GIF through the OLE picture object, PNG,
// TIFF and icons through the imaging component with their alpha composed over
// the background, and what is no picture.
#include <windows.h>

#include <string>

#include "harness.h"
#include "picture_fixtures.h"

namespace {

class PictureTest : public ProbeTest {};

TEST_F(PictureTest, PicturesComeOutUprightWithTransparencyAndAlphaComposedOverTheBackground) {
    for (COLORREF background : {RGB(255, 255, 0), RGB(12, 34, 56)}) {
        // Blue band on top, transparent band, green band at the bottom.
        HBITMAP gif = probe_->loadPictureFile(TestDataPath("transparent.gif").c_str(), background);
        const Pixels bands = ReadPixels(gif);
        DeleteObject(gif);
        ASSERT_EQ(std::make_pair(bands.width, bands.height), std::make_pair(40, 30));
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x)
                ASSERT_EQ(bands.at(x, y), y < 10 ? RGB(0, 0, 255) : y < 20 ? background : RGB(0, 255, 0)) << y;
        // The editor's route, which sends these formats to the imaging component.
        for (const std::string name : {"rgba8.png", "grey_alpha16.png", "rgba.tif", "icon.ico"}) {
            const int width = name == "icon.ico" ? 32 : 10, height = width == 32 ? 32 : 7;  // the icon's largest image
            AlphaPlane alpha;
            HBITMAP bitmap = probe_->loadPictureFileWithAlpha(TestDataPath(("wic\\" + name).c_str()).c_str(),
                                                              background, &alpha);
            const Pixels pixels = ReadPixels(bitmap);
            DeleteObject(bitmap);
            ASSERT_EQ(std::make_pair(pixels.width, pixels.height), std::make_pair(width, height)) << name;
            ASSERT_EQ(std::make_pair(alpha.width, alpha.height), std::make_pair(width, height)) << name;
            int wrong = 0, wrongAlpha = 0;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const COLORREF color = name[0] == 'g' ? FixtureGrey(x, y) : FixtureColor(x, y);
                    wrong += pixels.at(x, y) != ComposedOver(color, background, FixtureAlpha(x, y));
                    wrongAlpha += alpha.at(x, y) != FixtureAlpha(x, y);
                }
            EXPECT_EQ(wrong, 0) << name;
            EXPECT_EQ(wrongAlpha, 0) << name;
        }
    }
}

TEST_F(PictureTest, WhatIsNoPictureOrNoFileGivesNothingAndACallersApartmentIsKept) {
    // A thread in the multithreaded apartment refuses the loader's CoInitialize; it must still be in it afterwards.
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    DeleteObject(probe_->loadPictureFile(TestDataPath("wic\\rgba8.png").c_str(), 0));
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE) << "taken out of its apartment";
    CoUninitialize();
    CoUninitialize();
    EXPECT_EQ(probe_->loadPictureResource(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(900)), nullptr);
    // Decoders took the last six: past the pixel limit or lying deep inside, a metafile drawn past it, a JPEG
    // past it behind a stray byte, and an icon of type 3 that only the OLE picture object (on Wine) would take.
    for (const char* name : {"missing.gif", "not_a_picture.gif", "truncated.gif", "wic\\truncated.png", "wic\\huge.png",
                             "wic\\missing.png", "wic\\second_frame_huge.gif", "wic\\png_claims_40000.ico",
                             "wic\\short_rows.bmp", "wic\\wide.wmf", "wic\\stray_byte_huge.jpg", "wic\\icon_type_3.ico"}) {
        AlphaPlane alpha;
        EXPECT_EQ(probe_->loadPictureFileWithAlpha(TestDataPath(name).c_str(), 0, &alpha), nullptr) << name;
        EXPECT_EQ(alpha.values, nullptr) << name;
    }
}

}  // namespace
