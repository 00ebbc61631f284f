// Picking the mask color, entering it, the background color with its reload
// question, and the custom colors shared through the registry.
#include <windows.h>

#include <cstring>
#include <string>

#include "dialog_driver.h"
#include "editor_fixture.h"
#include "res/resource_ids.h"

namespace {

class ColorsTest : public EditorTest {
protected:
    bool InPickMode() {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(editorWindow_.threadId, &info) && info.hwndCapture == editorWindow_.hwnd;
    }
    // Presses and releases a mouse button at a client point (or a screen point), as the user's mouse does.
    void Click(POINT point, bool right = false, bool screen = false) {
        if (!screen) ClientToScreen(editorWindow_.hwnd, &point);
        SetCursorPos(point.x, point.y);
        INPUT input[2]{};
        input[0].type = input[1].type = INPUT_MOUSE;
        input[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
        input[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
        SendInput(2, input, sizeof(INPUT));
        EXPECT_TRUE(WaitUntil([&] { return !InPickMode(); }));
        Idle();
    }
    void StartPicking() {
        Command(IDM_PICK_MASK);
        EXPECT_TRUE(InPickMode());
    }
    static COLORREF Patterned(int x, int y) { return RGB(x & 0xFF, y & 0xFF, (x >> 8) | (y >> 8) << 4); }
};

TEST_F(ColorsTest, PickingTakesThePixelUnderTheCursorOnAScrolledViewAndNothingElsewhere) {
    LoadPicture(TestDataPath("transparent.gif"));  // 40 x 30 in a window at least 280 wide
    HWND hwnd = editorWindow_.hwnd;
    // While picking the view shows the bare picture, not the hatched region, and the cross pointer.
    AnswerColourDialog(IDM_ENTER_MASK_RGB, RGB(0, 0, 255));  // region: rows 10 and below
    Idle();
    StartPicking();
    SettleWindow(hwnd);
    HDC dc = GetDC(hwnd);
    EXPECT_EQ(GetPixel(dc, 20, 25), RGB(0, 255, 0));
    ReleaseDC(hwnd, dc);
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(20, 25));
    CURSORINFO shown{sizeof shown, 0, nullptr, {}};
    GetCursorInfo(&shown);
    EXPECT_EQ(shown.hCursor, LoadCursorA(nullptr, IDC_CROSS));
    // A right click, a click beside the picture and one on the caption pick nothing.
    const HRGN region = state_->hrgnCurrent;
    Click({5, 5}, true);
    StartPicking();
    Click({200, 10});
    StartPicking();
    RECT window{};
    GetWindowRect(hwnd, &window);
    Click({window.left + 60, window.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2}, false, true);
    Click({5, 5});  // outside pick mode a click does nothing at all
    EXPECT_EQ(state_->maskColor, RGB(0, 0, 255));
    EXPECT_EQ(state_->hrgnCurrent, region);

    const std::string path = TemporaryPath("patterned.bmp");
    ASSERT_TRUE(WriteBmpFile(path, 1500, 1200, Patterned));
    LoadPicture(path);
    SendMessageA(hwnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 100), 0);
    SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 200), 0);
    SettleWindow(hwnd);  // resized to the work area: the click must find it there
    StartPicking();
    Click({10, 20});
    EXPECT_EQ(state_->maskColor, Patterned(110, 220));
    ASSERT_NE(state_->hrgnCurrent, nullptr);
    EXPECT_FALSE(PtInRegion(state_->hrgnCurrent, 110, 220));
    EXPECT_TRUE(PtInRegion(state_->hrgnCurrent, 10, 20));
    // Cancelled: nothing changes.
    const HRGN picked = state_->hrgnCurrent;
    AnswerColourDialog(IDM_ENTER_MASK_RGB, RGB(1, 2, 3), false);
    Idle();
    EXPECT_EQ(state_->maskColor, Patterned(110, 220));
    EXPECT_EQ(state_->hrgnCurrent, picked);
}

TEST_F(ColorsTest, APictureWithAlphaIsComposedOverTheBackgroundAndReloadedOnlyWhenTheUserSays) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE), yellow = RGB(255, 255, 0), teal = RGB(0, 128, 128);
    // Its pixel (1, 0) is fully transparent: in the editor's picture it is the background it was composed over.
    auto composedOver = [&] { return ReadPixels(state_->hbmImage).at(1, 0); };
    LoadPicture(TestDataPath("wic\\rgba8.png"));
    EXPECT_EQ(composedOver(), face);
    AnswerColourDialog(IDM_BACKGROUND_COLOR, yellow);
    EXPECT_EQ(AnswerBox("Warning", IDNO),
              "The background color has changed. If the image is a transparent GIF or PNG it should be reloaded.\r\n"
              "Reload the image?");
    EXPECT_EQ(state_->backgroundColor, yellow);
    EXPECT_EQ(composedOver(), face) << "not reloaded";
    SettleWindow(editorWindow_.hwnd);
    HDC dc = GetDC(editorWindow_.hwnd);
    EXPECT_EQ(GetPixel(dc, 200, 15), yellow) << "around the picture: the new color";
    ReleaseDC(editorWindow_.hwnd, dc);
    AnswerColourDialog(IDM_BACKGROUND_COLOR, teal);
    AnswerBox("Warning", IDYES);
    EXPECT_EQ(composedOver(), teal) << "reloaded";
    // No picture file name (New forgets it): no question.
    Command(IDM_NEW);
    AnswerColourDialog(IDM_BACKGROUND_COLOR, RGB(1, 1, 1));
    Idle();
    EXPECT_FALSE(BoxIsUp("Warning"));
    EXPECT_EQ(state_->backgroundColor, RGB(1, 1, 1));
}

// Another program may have written fewer or more bytes than the 16 colors hold.
TEST_F(ColorsTest, TheRegistryValueReplacesAsManyCustomColorsAsItHoldsAndAConfirmedDialogWritesAll) {
    const char kKey[] = "Control Panel\\Appearance";
    BYTE value[100], expected[64];
    for (int i = 0; i < 100; ++i) value[i] = static_cast<BYTE>(i + 1);
    for (DWORD length : {20u, 100u}) {
        OnEditorThread([&] { std::memset(state_->customColors, 0xAA, 64); });
        ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kKey, "CustomColors", REG_BINARY, value, length), ERROR_SUCCESS);
        AnswerColourDialog(IDM_BACKGROUND_COLOR, 0, false);  // read, but nothing written back
        Idle();
        std::memset(expected, 0xAA, 64);
        std::memcpy(expected, value, length < 64 ? length : 64);
        EXPECT_EQ(std::memcmp(state_->customColors, expected, 64), 0) << length;
    }
    AnswerColourDialog(IDM_BACKGROUND_COLOR, RGB(9, 8, 7));
    Idle();
    BYTE written[256];
    DWORD size = sizeof written;
    ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, kKey, "CustomColors", RRF_RT_ANY, nullptr, written, &size),
              ERROR_SUCCESS);
    ASSERT_EQ(size, 64u);
    EXPECT_EQ(std::memcmp(written, state_->customColors, 64), 0);
}

}  // namespace
