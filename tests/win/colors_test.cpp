// Picking the mask color, entering it, and the background color with its reload question.
#include <windows.h>

#include <functional>
#include <string>
#include <tuple>
#include <utility>

#include "editor_fixture.h"
#include "picture_fixtures.h"
#include "res/resource_ids.h"
#include "tests/support/naive_region.h"

namespace {

class ColorsTest : public EditorTest {
protected:
    bool InPickMode() {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(editorWindow_.threadId, &info) && info.hwndCapture == editorWindow_.hwnd;
    }
    // Starts picking, then presses and releases a mouse button at a client point, as the user's mouse does.
    void PickAt(POINT point, DWORD down = MOUSEEVENTF_LEFTDOWN, bool shift = false) {
        Command(IDM_PICK_MASK);
        EXPECT_TRUE(InPickMode());
        ClientToScreen(editorWindow_.hwnd, &point);
        INPUT key{INPUT_KEYBOARD, {}};
        key.ki.wVk = VK_SHIFT;
        if (shift) SendInput(1, &key, sizeof key);
        SendMouseAt(point, {down, down << 1});  // each up flag is the next bit
        key.ki.dwFlags = KEYEVENTF_KEYUP;
        if (shift) SendInput(1, &key, sizeof key);
        EXPECT_TRUE(WaitUntil([&] { return !InPickMode(); }));
        Idle();
    }
    static COLORREF Patterned(int x, int y) { return RGB(x & 0xFF, y & 0xFF, (x >> 8) | (y >> 8) << 4); }
};

TEST_F(ColorsTest, PickingTakesThePixelUnderTheCursorOnAScrolledViewAndNothingElsewhere) {
    HWND hwnd = editorWindow_.hwnd;
    LoadPicture(TestDataPath("transparent.gif"));  // 40 x 30 in a window at least 280 wide
    auto caption = [&] {  // in client coordinates: above the view
        RECT window{};
        GetWindowRect(hwnd, &window);
        POINT point = {window.left + 60, window.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2};
        return ScreenToClient(hwnd, &point), point;
    };
    // A right click, a click beside the picture and one on the caption pick nothing.
    for (const auto& [point, button] : {std::pair<POINT, DWORD>{{5, 5}, MOUSEEVENTF_RIGHTDOWN},
                                        {{200, 10}, MOUSEEVENTF_LEFTDOWN}, {caption(), MOUSEEVENTF_LEFTDOWN}})
        PickAt(point, button);
    EXPECT_EQ(settings_->maskColor, 0xFFFFFFFFu);
    EXPECT_EQ(Doc().hrgnCurrent.get(), nullptr);

    const std::string path = TemporaryPath("patterned.bmp");
    ASSERT_TRUE(WriteBmpFile(path, 1500, 1200, Patterned));
    LoadPicture(path);
    SendMessageA(hwnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 100), 0);
    SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 200), 0);
    SettleWindow(hwnd);  // resized to the work area: the click must find it there
    PickAt({10, 20});
    EXPECT_EQ(settings_->maskColor, Patterned(110, 220));
    ASSERT_NE(Doc().hrgnCurrent.get(), nullptr);
    EXPECT_FALSE(PtInRegion(Doc().hrgnCurrent.get(), 110, 220));
    EXPECT_TRUE(PtInRegion(Doc().hrgnCurrent.get(), 10, 20));
    // Cancelled: nothing changes.
    const HRGN picked = Doc().hrgnCurrent.get();
    AnswerColorDialog(IDM_ENTER_MASK_RGB, RGB(1, 2, 3), false);
    Idle();
    EXPECT_EQ(settings_->maskColor, Patterned(110, 220));
    EXPECT_EQ(Doc().hrgnCurrent.get(), picked);
    // At 400%: the pixel whose square is under the cursor.
    Command(IDM_ZOOM_400);
    SettleWindow(hwnd);
    const int x = (13 + GetScrollPos(hwnd, SB_HORZ)) / 4, y = (22 + GetScrollPos(hwnd, SB_VERT)) / 4;
    PickAt({13, 22});
    EXPECT_EQ(settings_->maskColor, Patterned(x, y));
    EXPECT_FALSE(PtInRegion(Doc().hrgnCurrent.get(), x, y));
    EXPECT_TRUE(PtInRegion(Doc().hrgnCurrent.get(), x + 1, y));
    // At 800% on a picture taller than 65,536 / 8 rows, the caption's y (negative) picks nothing either.
    ASSERT_TRUE(WriteBmpFile(path, 40, 8200, Patterned));
    Command(IDM_NEW), LoadPicture(path), Command(IDM_ZOOM_800);
    SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 0), 0), SettleWindow(hwnd);
    PickAt(caption());
    EXPECT_EQ(std::pair(settings_->maskColor, Doc().hrgnCurrent.get()), std::pair(COLORREF{CLR_INVALID}, HRGN{}));
}

TEST_F(ColorsTest, APictureWithAlphaIsComposedOverTheBackgroundAndReloadedOnlyWhenTheUserSays) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE), yellow = RGB(255, 255, 0), teal = RGB(0, 128, 128);
    // Its pixel (1, 0) is fully transparent: in the editor's picture it is the background it was composed over.
    auto composedOver = [&] { return ReadPixels(Doc().hbmImage.get()).at(1, 0); };
    LoadPicture(TestDataPath("wic\\rgba8.png"));
    EXPECT_EQ(composedOver(), face);
    AnswerColorDialog(IDM_BACKGROUND_COLOR, yellow);
    EXPECT_EQ(AnswerBox("Warning", IDNO),
              "The background color has changed. If the image is a transparent GIF or PNG it should be reloaded.\r\n"
              "Reload the image?");
    EXPECT_EQ(composedOver(), face) << "not reloaded";
    AnswerColorDialog(IDM_BACKGROUND_COLOR, teal);
    AnswerBox("Warning", IDYES);
    EXPECT_EQ(composedOver(), teal) << "reloaded";
    // No picture file name (New forgets it): no question.
    Command(IDM_NEW);
    AnswerColorDialog(IDM_BACKGROUND_COLOR, RGB(1, 1, 1));
    Idle();
    EXPECT_FALSE(BoxIsUp("Warning"));
    EXPECT_EQ(settings_->backgroundColor, RGB(1, 1, 1));
}

// Each tolerance gives the plain region of the picture with that tolerance; anything but 0 to 255 is refused with
// the dialog kept, a cancel changes nothing. (A later window keeps it and New forgets it: EditorWindowTest.)
TEST_F(ColorsTest, AToleranceRebuildsThePlainRegionAtOnce) {
    const std::string path = TemporaryPath("near.bmp");
    ASSERT_TRUE(WriteBmpFile(path, 48, 32, NearMaskColor));
    HBITMAP picture = MakeBitmap(48, 32, NearMaskColor);
    LoadPicture(path);
    AnswerColorDialog(IDM_ENTER_MASK_RGB, kNearMask);
    const std::pair<std::vector<const char*>, int> answers[] = {
        {{"256", "1x", "", "12"}, 12}, {{"0"}, 0}, {{"-3", "20"}, 20}, {{}, -1}};
    for (const auto& [entries, tolerance] : answers) {
        AnswerToleranceDialog(entries, tolerance >= 0);
        HRGN plain = NaiveRegion(picture, 48, 32, kNearMask, tolerance >= 0 ? tolerance : 20);
        EXPECT_TRUE(EqualRgn(Doc().hrgnCurrent.get(), plain)) << tolerance;
        DeleteObject(plain);
    }
    DeleteObject(picture);
}

// White around a one-pixel diagonal outline and inside it. Each step's region is the plain one of the white
// picture (both whites left out) or of the picture grey inside (white or grey left out).
TEST_F(ColorsTest, AContiguousMaskFollowsTheShapeFromThePickedPixelsOrTheBorder) {
    const COLORREF white = RGB(255, 255, 255), grey = RGB(128, 128, 128);
    const std::string path = TemporaryPath("diamond.bmp");
    ASSERT_TRUE(WriteBmpFile(path, 32, 24, Diamond(white)));
    HBITMAP pictures[] = {MakeBitmap(32, 24, Diamond(white)), MakeBitmap(32, 24, Diamond(grey))};
    LoadPicture(path);
    const std::tuple<std::function<void()>, int, COLORREF> steps[] = {
        {[&] { PickAt({0, 0}); }, 0, white},
        {[&] { Command(IDM_CONTIGUOUS_MASK); }, 1, white},                  // rebuilt from the pick
        {[&] { PickAt({16, 3}, MOUSEEVENTF_LEFTDOWN, true); }, 1, white},  // the outline is not of the mask color
        {[&] { PickAt({16, 12}, MOUSEEVENTF_LEFTDOWN, true); }, 0, white}, // the inside added
        {[&] { Command(IDM_UNDO); }, 1, white},                             // and taken back, with its start:
        {[&] { Command(IDM_CONTIGUOUS_MASK), Command(IDM_CONTIGUOUS_MASK); }, 1, white},  // rebuilt without it
        {[&] { AnswerColorDialog(IDM_ENTER_MASK_RGB, white), Idle(); }, 1, white},  // from the border
        {[&] { PickAt({16, 12}); }, 1, grey},                               // the inside alone
        {[&] { Command(IDM_CONTIGUOUS_MASK); }, 0, white},
    };
    int index = 0;
    for (const auto& [step, picture, mask] : steps) {
        step();
        ++index;
        EXPECT_EQ(settings_->maskColor, white);
        HRGN plain = NaiveRegion(pictures[picture], 32, 24, mask);
        EXPECT_TRUE(EqualRgn(Doc().hrgnCurrent.get(), plain)) << index;
        DeleteObject(plain);
    }
    EXPECT_FALSE(GetMenuState(Menu(), IDM_CONTIGUOUS_MASK, MF_BYCOMMAND) & MF_CHECKED);
    for (HBITMAP picture : pictures) DeleteObject(picture);
}

}  // namespace
