// "Load..." through the real file dialog: decoding into the editor, the clip
// question, failures, and fitting the window to the picture.
#include <windows.h>

#include "dialog_driver.h"
#include "editor_fixture.h"
#include "res/resource_ids.h"

namespace {

const char kFirstWording[] =
    "The new image is smaller than the previous one.\r\nShould the region data be clipped to the new size?";
const char kSecondWording[] =
    "The new image is smaller than the one used to create the region.\r\n"
    "Should the region data be clipped to the new size?";

class ImageLoadingTest : public EditorTest {
protected:
    void Load(const std::string& path) { LoadPicture(path); }
    // Loads a file that brings up a box; returns its text after pressing `button`.
    std::string LoadAnswering(const std::string& path, const char* caption, int button) {
        ChooseFile(IDM_LOAD_IMAGE, "Open", path);
        return AnswerBox(caption, button);
    }
    bool WarningIsUp() { return BoxIsUp("Warning"); }
    void GiveRegion(int right, int bottom) {
        OnEditorThread([&] {
            if (state_->hrgnCurrent) DeleteObject(state_->hrgnCurrent);
            state_->hrgnCurrent = CreateRectRgn(0, 0, right, bottom);
        });
    }
    int Range(int bar) {
        int low = 0, high = 0;
        GetScrollRange(editorWindow_.hwnd, bar, &low, &high);
        return high;
    }
};

TEST_F(ImageLoadingTest, APictureComesInFittedWithItsCommandsEnabled) {
    const std::string path = TestDataPath("transparent.gif");
    Load(path);
    HWND hwnd = editorWindow_.hwnd;
    ASSERT_NE(state_->hbmImage, nullptr);
    EXPECT_EQ(state_->imageInfo.bmWidth, 40);
    EXPECT_EQ(state_->imageInfo.bmHeight, 30);
    EXPECT_STREQ(state_->imageFileName, path.c_str());
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(hwnd, IDC_NO_PICTURE)));
    HMENU menu = GetMenu(hwnd);
    for (UINT id : {IDM_IMAGE_INFO, IDM_PICK_MASK, IDM_ENTER_MASK_RGB}) EXPECT_FALSE(IsMenuItemGrayed(menu, id)) << id;
    for (UINT id : {IDM_SAVE, IDM_SAVE_AS, IDM_VIEW_RAW_DATA}) EXPECT_TRUE(IsMenuItemGrayed(menu, id)) << id;
    EXPECT_EQ(WindowText(hwnd), "Pellform - [Untitled]");

    // Narrower than the minimum: the window is 280 pixels wide, no bars.
    RECT window{};
    GetWindowRect(hwnd, &window);
    EXPECT_EQ(window.right - window.left, 280);
    EXPECT_FALSE(GetWindowLongA(hwnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
    // Drawn at the top left, the transparent band on the button face.
    SettleWindow(hwnd);
    HDC dc = GetDC(hwnd);
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc, 39, 15), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(GetPixel(dc, 39, 29), RGB(0, 255, 0));
    ReleaseDC(hwnd, dc);
}

TEST_F(ImageLoadingTest, APictureFitsTheClientAreaExactlyWhenTheScreenAllows) {
    const std::string path = TemporaryPath("medium.bmp");
    ASSERT_TRUE(WriteBmpFile(path, 500, 360, [](int x, int y) { return RGB(x & 0xFF, y & 0xFF, 9); }));
    Load(path);
    RECT client{};
    GetClientRect(editorWindow_.hwnd, &client);
    EXPECT_EQ(client.right, 500);
    EXPECT_EQ(client.bottom, 360);
    EXPECT_EQ(Range(SB_HORZ), 0);
    EXPECT_EQ(Range(SB_VERT), 0);
}

TEST_F(ImageLoadingTest, AHugePictureFillsTheWorkAreaAndScrolls) {
    const std::string path = TemporaryPath("huge.bmp");
    ASSERT_TRUE(WriteBmpFile(path, 1700, 1300, [](int x, int y) { return RGB(x & 0xFF, y & 0xFF, 9); }));
    Load(path);
    RECT work{}, window{}, client{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(editorWindow_.hwnd, &window);
    EXPECT_EQ(window.left, work.left);
    EXPECT_EQ(window.top, work.top);
    EXPECT_EQ(window.right, work.right);
    EXPECT_EQ(window.bottom, work.bottom);
    GetClientRect(editorWindow_.hwnd, &client);
    // Ranges are taken from the client area that the fitted window has.
    EXPECT_GE(Range(SB_HORZ), 1700 - client.right);
    EXPECT_GE(Range(SB_VERT), 1300 - client.bottom);
    EXPECT_GT(Range(SB_HORZ), 0);
    EXPECT_TRUE(GetWindowLongA(editorWindow_.hwnd, GWL_STYLE) & WS_VSCROLL);
    SendMessageA(editorWindow_.hwnd, WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
    EXPECT_EQ(GetScrollPos(editorWindow_.hwnd, SB_VERT), Range(SB_VERT));
}

TEST_F(ImageLoadingTest, AWorkAreaBelowAndRightOfATaskbarIsFilledExactly) {
    RECT full{}, shifted{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &full, 0);
    const RECT wanted = {full.left + 90, full.top + 70, full.right, full.bottom};
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETWORKAREA, 0, const_cast<RECT*>(&wanted), 0));
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &shifted, 0);
    const std::string path = TemporaryPath("huge.bmp");
    ASSERT_TRUE(WriteBmpFile(path, 1700, 1300, [](int x, int y) { return RGB(x & 0xFF, y & 0xFF, 9); }));
    Load(path);
    RECT window{};
    GetWindowRect(editorWindow_.hwnd, &window);
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &full, 0);
    ASSERT_TRUE(EqualRect(&shifted, &wanted)) << "this system keeps no work area of its own";
    EXPECT_TRUE(EqualRect(&window, &wanted)) << window.left << "," << window.top << "," << window.right << ","
                                             << window.bottom;
}

TEST_F(ImageLoadingTest, AFailedLoadReportsItKeepsPictureAndRegionAndForgetsTheFileName) {
    Load(TestDataPath("transparent.gif"));
    HBITMAP picture = state_->hbmImage;
    ASSERT_NE(picture, nullptr);
    GiveRegion(10, 10);
    HRGN region = state_->hrgnCurrent;
    for (const char* name : {"not_a_picture.gif", "truncated.gif"}) {
        EXPECT_EQ(LoadAnswering(TestDataPath(name), "Error", IDOK), "An error occured, image could NOT be loaded.");
        EXPECT_EQ(state_->hbmImage, picture);
        EXPECT_EQ(state_->hrgnCurrent, region);
        EXPECT_EQ(state_->imageFileName[0], '\0');
        EXPECT_EQ(state_->imageInfo.bmWidth, 40);
        EXPECT_FALSE(IsMenuItemGrayed(GetMenu(editorWindow_.hwnd), IDM_PICK_MASK));
    }
}

TEST_F(ImageLoadingTest, CancellingTheDialogChangesNothing) {
    PostMessageA(editorWindow_.hwnd, WM_COMMAND, IDM_LOAD_IMAGE, 0);
    HWND dialog = WaitForDialog(editorWindow_.threadId, "Open");
    ASSERT_NE(dialog, nullptr);
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    Idle();
    EXPECT_EQ(state_->hbmImage, nullptr);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(editorWindow_.hwnd, IDC_NO_PICTURE)));
}

TEST_F(ImageLoadingTest, TheClipQuestionComesExactlyWhenTheRegionReachesPastTheNewPicture) {
    const std::string gif = TestDataPath("transparent.gif");  // 40 x 30
    Load(gif);
    // A region built from a 40 x 30 picture reaches to y 31 (its strip below).
    GiveRegion(40, 31);
    Load(gif);
    EXPECT_FALSE(WarningIsUp());
    GiveRegion(41, 31);
    Load(gif);
    EXPECT_FALSE(WarningIsUp());

    GiveRegion(40, 32);
    EXPECT_EQ(LoadAnswering(gif, "Warning", IDNO), kFirstWording);
    EXPECT_EQ(RegionBox().bottom, 32);
    EXPECT_EQ(LoadAnswering(gif, "Warning", IDYES), kFirstWording);
    EXPECT_EQ(RegionBox().bottom, 30);
    EXPECT_EQ(RegionBox().right, 40);

    GiveRegion(42, 20);
    EXPECT_EQ(LoadAnswering(gif, "Warning", IDYES), kFirstWording);
    EXPECT_EQ(RegionBox().right, 40);
    EXPECT_EQ(RegionBox().bottom, 20);
}

TEST_F(ImageLoadingTest, ARegionWithoutAPictureGetsTheSecondWordingAndAnEmptyRegionIsAsked) {
    const std::string gif = TestDataPath("transparent.gif");
    GiveRegion(100, 100);  // as if opened from a file, no picture loaded
    EXPECT_EQ(LoadAnswering(gif, "Warning", IDYES), kSecondWording);
    EXPECT_EQ(RegionBox().right, 40);
    EXPECT_EQ(RegionBox().bottom, 30);

    GiveRegion(0, 0);
    EXPECT_EQ(LoadAnswering(gif, "Warning", IDYES), kFirstWording);
    RECT box = RegionBox();
    EXPECT_TRUE(IsRectEmpty(&box));
}

TEST_F(ImageLoadingTest, ReplacingThePictureLeaksNothing) {
    // Wine's file dialog keeps a few objects of its own each time it opens, so
    // the loads here go around it, with the editor idle.
    const std::string gif = TestDataPath("transparent.gif");
    lstrcpyA(state_->imageFileName, gif.c_str());
    auto load = [&] {
        probe_->loadImageIntoEditor(editorWindow_.hwnd);
        SettleWindow(editorWindow_.hwnd);
    };
    load();
    load();
    const int before = CountGdiObjects();
    for (int i = 0; i < 12; ++i) load();
    EXPECT_EQ(CountGdiObjects(), before);
    EXPECT_NE(state_->hbmImage, nullptr);
}

}  // namespace

namespace {

class ClosingDuringAQuestionTest : public ImageLoadingTest {};

TEST_F(ClosingDuringAQuestionTest, ExitWhileTheClipQuestionIsUpTakesNoPictureIntoTheNextEditor) {
    GiveRegion(100, 100);
    ChooseFile(IDM_LOAD_IMAGE, "Open", TestDataPath("transparent.gif"));
    HWND question = WaitForDialog(editorWindow_.threadId, "Warning");
    ASSERT_NE(question, nullptr);
    // The question has no owner: the editor's menu still works, and Exit is chosen.
    PostMessageA(editorWindow_.hwnd, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(editorWindow_.hwnd); }));
    if (IsWindow(question)) PressButton(question, IDYES);
    EXPECT_TRUE(WaitForThreadEnd(editorWindow_.threadId));
    EXPECT_EQ(state_->hbmImage, nullptr);
    EXPECT_EQ(state_->hrgnCurrent, nullptr);
    EditorWindow next = OpenEditor();
    ASSERT_NE(next.hwnd, nullptr);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(next.hwnd, IDC_NO_PICTURE)));
}

// Under either owner-less question, commands that would change the picture, the
// region or their names are refused until it is answered; the command that
// asked then finishes with what it had.
TEST_F(ClosingDuringAQuestionTest, DocumentCommandsAreRefusedWhileAQuestionIsUp) {
    const std::string gif = TestDataPath("transparent.gif");
    Load(gif);
    const UINT refused[] = {IDM_NEW,          IDM_OPEN,           IDM_LOAD_IMAGE,   IDM_BACKGROUND_COLOR,
                            IDM_PICK_MASK,    IDM_ENTER_MASK_RGB, IDM_VIEW_RAW_DATA};
    for (UINT asking : {IDM_LOAD_IMAGE, IDM_BACKGROUND_COLOR}) {
        GiveRegion(100, 100);
        if (asking == IDM_LOAD_IMAGE) ChooseFile(IDM_LOAD_IMAGE, "Open", gif);
        else AnswerColourDialog(IDM_BACKGROUND_COLOR, RGB(1, 2, 3));
        // The reload question, if asked, leads to the clip question.
        for (int question = 0; question < (asking == IDM_LOAD_IMAGE ? 1 : 2); ++question) {
            HWND box = WaitForDialog(editorWindow_.threadId, "Warning");
            ASSERT_NE(box, nullptr) << asking;
            const HRGN region = state_->hrgnCurrent;
            const HBITMAP picture = state_->hbmImage;
            for (UINT id : refused) {
                DWORD_PTR result = 0;
                EXPECT_TRUE(SendMessageTimeoutA(editorWindow_.hwnd, WM_COMMAND, id, 0, SMTO_NORMAL, 5000, &result))
                    << asking << " " << id;
                EXPECT_EQ(GetCapture(), nullptr);
                EXPECT_EQ(state_->hrgnCurrent, region) << asking << " " << id;
                EXPECT_EQ(state_->hbmImage, picture) << asking << " " << id;
                EXPECT_STREQ(state_->imageFileName, gif.c_str()) << asking << " " << id;
            }
            PressButton(box, IDYES);
            ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
        }
        Idle();
        EXPECT_STREQ(state_->imageFileName, gif.c_str()) << asking;
        EXPECT_NE(state_->hbmImage, nullptr) << asking;
        EXPECT_EQ(RegionBox().right, 40) << asking;
        EXPECT_EQ(RegionBox().bottom, 30) << asking;
        EXPECT_FALSE(WarningIsUp());
    }
}

}  // namespace
