// "Preview": the picture in a window cut to the current region, dragged by any
// point, closed by Esc, a right click or a double click.
#include <windows.h>

#include <cstdlib>

#include "common/win_handles.h"
#include "dialog_driver.h"
#include "editor_fixture.h"
#include "res/resource_ids.h"

namespace {

void SendMouse(std::initializer_list<DWORD> flags) {
    for (DWORD flag : flags) {
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = flag;
        SendInput(1, &input, sizeof input);
    }
}

// Moves the pointer as the mouse does, queued behind the buttons already sent.
void MoveMouseTo(POINT point) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input.mi.dx = MulDiv(point.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = MulDiv(point.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    SendInput(1, &input, sizeof input);
}

class PreviewTest : public EditorTest {
protected:
    HWND OpenPreview() {
        PostMessageA(editorWindow_.hwnd, WM_COMMAND, IDM_PREVIEW, 0);
        HWND preview = WaitForDialog(editorWindow_.threadId, "Preview");
        if (preview) SettleWindow(preview);
        return preview;
    }
    void ExpectClosed(HWND preview) {
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(preview); }));
        Idle();
    }
    POINT ScreenPoint(HWND preview, int x, int y) {
        RECT window{};
        GetWindowRect(preview, &window);
        return {window.left + x, window.top + y};
    }
};

TEST_F(PreviewTest, ShowsThePictureCutToTheRegionFollowsEditsDragsAndCloses) {
    LoadPicture(TestDataPath("transparent.gif"));  // 40 x 30, blue above row 10
    const Pixels picture = ReadPixels(state_->hbmImage);
    for (COLORREF mask : {RGB(0, 0, 255), picture.at(0, 25)}) {
        AnswerColourDialog(IDM_ENTER_MASK_RGB, mask);
        Idle();
        HWND preview = OpenPreview();
        ASSERT_NE(preview, nullptr);
        RECT window{};
        GetWindowRect(preview, &window);
        EXPECT_EQ(window.right - window.left, 40);
        EXPECT_EQ(window.bottom - window.top, 30);
        OwnedRegion shape(CreateRectRgn(0, 0, 0, 0));
        ASSERT_NE(GetWindowRgn(preview, shape.get()), ERROR);
        EXPECT_TRUE(EqualRgn(shape.get(), state_->hrgnCurrent));
        if (mask == RGB(0, 0, 255)) {
            HDC shown = GetDC(preview);
            EXPECT_EQ(GetPixel(shown, 20, 20), picture.at(20, 20));
            ReleaseDC(preview, shown);
            EXPECT_NE(WindowFromPoint(ScreenPoint(preview, 5, 5)), preview) << "outside the region is the window below";
            PostMessageA(preview, WM_KEYDOWN, VK_ESCAPE, 0);
            ExpectClosed(preview);
            continue;
        }
        // Dragged by a point inside the shape; closed by a right click, then by a double click.
        POINT inside = {-1, -1};
        for (int y = 2; y < 28 && inside.x < 0; ++y)
            for (int x = 2; x < 38 && inside.x < 0; ++x)
                if (PtInRegion(state_->hrgnCurrent, x, y) && PtInRegion(state_->hrgnCurrent, x + 2, y + 2) &&
                    PtInRegion(state_->hrgnCurrent, x - 2, y - 2))
                    inside = {x, y};
        ASSERT_GE(inside.x, 0);
        const POINT grip = ScreenPoint(preview, inside.x, inside.y);
        ASSERT_EQ(WindowFromPoint(grip), preview);
        MoveMouseTo(grip);
        SendMouse({MOUSEEVENTF_LEFTDOWN});
        // The moves go in once the window's move loop runs (Wine 10 may start it late).
        WaitUntil([&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return GetGUIThreadInfo(editorWindow_.threadId, &info) && (info.flags & GUI_INMOVESIZE);
        }, 2000);
        for (int step = 1; step <= 5; ++step) MoveMouseTo({grip.x + 6 * step, grip.y + 4 * step});
        SendMouse({MOUSEEVENTF_LEFTUP});
        EXPECT_TRUE(WaitUntil([&] {
            RECT moved{};
            GetWindowRect(preview, &moved);
            return std::abs(moved.left - window.left - 30) <= 1 && std::abs(moved.top - window.top - 20) <= 1;
        })) << "dragged by a point of the picture from " << window.left << "," << window.top << " grip " << grip.x << "," << grip.y;
        MoveMouseTo(ScreenPoint(preview, inside.x, inside.y));
        SendMouse({MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP});
        ExpectClosed(preview);
        preview = OpenPreview();
        ASSERT_NE(preview, nullptr);
        MoveMouseTo(ScreenPoint(preview, inside.x, inside.y));
        SendMouse({MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
        ExpectClosed(preview);
    }
}

}  // namespace
