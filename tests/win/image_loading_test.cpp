// "Load..." through the real file dialog: failures, the clip question, and the
// commands refused while a question is up.
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
    // Loads a file that brings up a box, checks the box and returns its text after pressing `button`.
    std::string LoadAnswering(const std::string& path, const char* caption, int button) {
        ChooseFile(IDM_LOAD_IMAGE, "Open", path);
        HWND box = WaitForDialog(editorWindow_.threadId, caption);
        if (!box) return "(no box)";
        // An error stops the editor; a question leaves it usable (no owner). Its buttons are the ones answered.
        const bool error = std::string(caption) == "Error";
        EXPECT_EQ(reinterpret_cast<HICON>(SendDlgItemMessageA(box, 0x440, STM_GETICON, 0, 0)),
                  LoadIconA(host_.addIn, MAKEINTRESOURCEA(error ? IDI_ERROR_BOX : IDI_QUESTION_BOX)));
        EXPECT_EQ(GetWindow(box, GW_OWNER), error ? editorWindow_.hwnd : nullptr);
        return AnswerBox(caption, button);
    }
    void GiveRegion(int right, int bottom) {
        OnEditorThread([&] {
            if (state_->hrgnCurrent) DeleteObject(state_->hrgnCurrent);
            state_->hrgnCurrent = CreateRectRgn(0, 0, right, bottom);
        });
    }
};

TEST_F(ImageLoadingTest, TheClipQuestionComesExactlyWhenTheRegionReachesPastTheNewPicture) {
    const std::string gif = TestDataPath("transparent.gif");  // 40 x 30
    // First a region without a picture, as from a file; a region built from the picture reaches its
    // strip below (y 31) and is not asked about; an empty region is. No wording: no question.
    const struct { bool picture; int right, bottom, button; const char* wording; int clippedRight, clippedBottom; }
        cases[] = {
        {false, 100, 100, IDYES, kSecondWording, 40, 30}, {true, 40, 31, IDYES, nullptr, 40, 31},
        {true, 41, 31, IDYES, nullptr, 41, 31},           {true, 40, 32, IDNO, kFirstWording, 40, 32},
        {true, 40, 32, IDYES, kFirstWording, 40, 30},     {true, 42, 20, IDYES, kFirstWording, 40, 20},
        {true, 0, 0, IDYES, kFirstWording, 0, 0}};
    for (const auto& c : cases) {
        if (c.picture && !state_->hbmImage) LoadPicture(gif);
        GiveRegion(c.right, c.bottom);
        if (c.wording) {
            EXPECT_EQ(LoadAnswering(gif, "Warning", c.button), c.wording) << c.right << "," << c.bottom;
            EXPECT_TRUE(IsWindowEnabled(editorWindow_.hwnd));
        } else {
            LoadPicture(gif);
            EXPECT_FALSE(BoxIsUp("Warning")) << c.right << "," << c.bottom;
        }
        EXPECT_EQ(RegionBox().right * 1000 + RegionBox().bottom, c.clippedRight * 1000 + c.clippedBottom) << c.right;
    }
}

// A failed load keeps picture and region but forgets the name. Under the owner-less question, commands that
// would change the picture, the region or their names are refused until it is answered; the command that asked
// then finishes with what it had. (Every question goes through the one function that counts them.) Exit is not
// refused, and takes nothing into the next editor.
TEST_F(ImageLoadingTest, FailedLoadsKeepTheDocumentAndCommandsAreRefusedUnderAQuestionButExit) {
    const std::string gif = TestDataPath("transparent.gif");
    LoadPicture(gif);
    GiveRegion(10, 10);
    const HBITMAP picture = state_->hbmImage;
    const HRGN kept = state_->hrgnCurrent;
    for (const char* name : {"not_a_picture.gif", "truncated.gif"}) {
        EXPECT_EQ(LoadAnswering(TestDataPath(name), "Error", IDOK), "An error occured, image could NOT be loaded.");
        EXPECT_TRUE(state_->hbmImage == picture && state_->hrgnCurrent == kept) << name;
        EXPECT_EQ(state_->imageFileName[0], '\0') << name;
    }
    HWND box = nullptr;
    for (bool exit : {false, true}) {
        GiveRegion(100, 100);
        ChooseFile(IDM_LOAD_IMAGE, "Open", gif);
        box = WaitForDialog(editorWindow_.threadId, "Warning");
        ASSERT_NE(box, nullptr);
        if (exit) break;
        const HRGN region = state_->hrgnCurrent;
        for (UINT id : {IDM_NEW, IDM_OPEN, IDM_LOAD_IMAGE, IDM_BACKGROUND_COLOR, IDM_PICK_MASK, IDM_ENTER_MASK_RGB,
                        IDM_VIEW_RAW_DATA}) {
            DWORD_PTR result = 0;
            EXPECT_TRUE(SendMessageTimeoutA(editorWindow_.hwnd, WM_COMMAND, id, 0, SMTO_NORMAL, 5000, &result));
            GUITHREADINFO input{};
            input.cbSize = sizeof input;
            EXPECT_TRUE(GetGUIThreadInfo(editorWindow_.threadId, &input) && !input.hwndCapture) << "picking";
            EXPECT_EQ(state_->hrgnCurrent, region) << id;
        }
        PressButton(box, IDYES);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
        Idle();
        EXPECT_NE(state_->hbmImage, nullptr);
        EXPECT_TRUE(RegionBox().right == 40 && RegionBox().bottom == 30);
    }
    PostMessageA(editorWindow_.hwnd, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(editorWindow_.hwnd); }));
    if (IsWindow(box)) PressButton(box, IDYES);
    EXPECT_TRUE(WaitForThreadEnd(editorWindow_.threadId));
    EXPECT_EQ(state_->hbmImage, nullptr);
    EXPECT_EQ(state_->hrgnCurrent, nullptr);
    EditorWindow next = OpenEditor();
    ASSERT_NE(next.hwnd, nullptr);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(next.hwnd, IDC_NO_PICTURE)));
}

}  // namespace
