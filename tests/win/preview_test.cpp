// "Preview": the picture in a window cut to the current region, closed by a right
// click or a double click on any of its points (Esc: in the leak cycle).
#include <windows.h>

#include <vector>

#include "platform/win_handles.h"
#include "editor_fixture.h"
#include "res/resource_ids.h"

namespace {

class PreviewTest : public EditorTest {};

// The clicks are real input at a point of the shape: they reach the window as non-client ones only where its
// hit test makes the whole shape a caption, the same answer that lets the user drag it by any point.
TEST_F(PreviewTest, ShowsThePictureCutToTheRegionOfTheLatestMaskAndClosesByARightOrADoubleClick) {
    LoadPicture(TestDataPath("transparent.gif"));  // 40 x 30, blue above row 10
    const Pixels picture = ReadPixels(Doc().hbmImage.get());
    const struct { COLORREF mask; std::vector<DWORD> clicks; } closers[] = {
        {RGB(0, 0, 255), {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP}},
        {picture.at(0, 25), {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}}};
    for (const auto& closer : closers) {
        AnswerColorDialog(IDM_ENTER_MASK_RGB, closer.mask);
        const HWND preview = OpenDialog(IDM_PREVIEW, "Preview");
        ASSERT_NE(preview, nullptr);
        SettleWindow(preview);
        RECT window{};
        GetWindowRect(preview, &window);
        OwnedRegion shape(CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(GetWindowRgn(preview, shape.get()), ERROR);
        EXPECT_TRUE(EqualRgn(shape.get(), Doc().hrgnCurrent.get()));
        // A point of the shape shows the picture.
        POINT inside = {-1, -1};
        for (int i = 0; i < 40 * 30; ++i)
            if (PtInRegion(Doc().hrgnCurrent.get(), i % 40, i / 40)) inside = {i % 40, i / 40};
        HDC shown = GetDC(preview);
        EXPECT_EQ(GetPixel(shown, inside.x, inside.y), picture.at(inside.x, inside.y));
        ReleaseDC(preview, shown);
        SendMouseAt({window.left + inside.x, window.top + inside.y}, closer.clicks);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(preview); })) << closer.clicks.size();
    }
}

}  // namespace
