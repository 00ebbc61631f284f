// "Load..." through the real file dialog: failures, the clip question, and the
// commands refused while a question is up.
#include <windows.h>

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
    void GiveRegion(int right, int bottom) {
        OnEditorThread([&] {
            Doc().hrgnCurrent.reset(CreateRectRgn(0, 0, right, bottom));
        });
    }
};

// The clip question comes exactly when the region reaches past the new picture. A failed load keeps picture and
// region but forgets the name. Under the owner-less question, commands that would change the document are refused;
// the command that asked then finishes with what it had. Exit is not refused, and takes nothing along.
TEST_F(ImageLoadingTest, LoadsAskBeforeClippingKeepTheDocumentOnFailureAndRefuseCommandsUnderTheQuestion) {
    const std::string gif = TestDataPath("transparent.gif");  // 40 x 30
    // First a region without a picture, as from a file; a region built from the picture reaches its
    // strip below (y 31) and is not asked about; an empty region is. No wording: no question.
    const struct { bool picture; int right, bottom, button; const char* wording; LONG clippedRight, clippedBottom; }
        cases[] = {
        {false, 100, 100, IDYES, kSecondWording, 40, 30}, {true, 41, 31, IDYES, nullptr, 41, 31},
        {true, 40, 32, IDNO, kFirstWording, 40, 32},      {true, 42, 20, IDYES, kFirstWording, 40, 20},
        {true, 0, 0, IDYES, kFirstWording, 0, 0}};
    // Every other load is a file dropped on the editor instead, with the same questions and errors.
    auto load = [&](const std::string& path, bool drop) {
        drop ? DropFiles({path}) : (ChooseFile(IDM_LOAD_IMAGE, "Open", path), Idle());
    };
    for (const auto& c : cases) {
        if (c.picture && !Doc().hbmImage) LoadPicture(gif);
        GiveRegion(c.right, c.bottom);
        load(gif, (&c - cases) % 2);
        if (c.wording) EXPECT_EQ(AnswerBox("Warning", c.button), c.wording) << c.right << "," << c.bottom;
        else EXPECT_FALSE(BoxIsUp("Warning")) << c.right << "," << c.bottom;
        EXPECT_EQ(std::pair(RegionBox().right, RegionBox().bottom), std::pair(c.clippedRight, c.clippedBottom)) << c.right;
    }
    const HBITMAP picture = Doc().hbmImage.get();
    const HRGN kept = Doc().hrgnCurrent.get();
    const char* const failing[] = {"not_a_picture.gif", "truncated.gif", "wic\\second_frame_huge.gif",
                                   "wic\\short_rows.bmp", "wic\\stray_byte_huge.jpg", "wic\\icon_type_3.ico"};
    for (const char* const& name : failing) {
        load(TestDataPath(name), (&name - failing) % 2 == 0);
        EXPECT_EQ(AnswerBox("Error", IDOK), "An error occured, image could NOT be loaded.");
        EXPECT_EQ(std::make_pair(Doc().hbmImage.get(), Doc().hrgnCurrent.get()), std::make_pair(picture, kept)) << name;
        EXPECT_EQ(settings_->imageFileName[0], '\0') << name;
    }
    GiveRegion(100, 100);
    ChooseFile(IDM_LOAD_IMAGE, "Open", gif);
    HWND box = WaitForDialog(editorWindow_.threadId, "Warning");
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(IsWindowEnabled(editorWindow_.hwnd));
    const HRGN region = Doc().hrgnCurrent.get();
    for (UINT id : {IDM_NEW, IDM_OPEN, IDM_LOAD_IMAGE, IDM_BACKGROUND_COLOR, IDM_PICK_MASK, IDM_ENTER_MASK_RGB,
                    IDM_MASK_TOLERANCE, IDM_VIEW_RAW_DATA}) {
        EXPECT_TRUE(SendWithinTimeout(editorWindow_.hwnd, WM_COMMAND, id)) << id;
        GUITHREADINFO input{};
        input.cbSize = sizeof input;
        EXPECT_TRUE(GetGUIThreadInfo(editorWindow_.threadId, &input));
        EXPECT_EQ(input.hwndCapture, nullptr) << "picking after " << id;
        EXPECT_EQ(Doc().hrgnCurrent.get(), region) << id;
    }
    DropFiles({TestDataPath("not_a_picture.gif")});  // refused: no error, the name asked about kept
    EXPECT_FALSE(BoxIsUp("Error"));
    EXPECT_STREQ(settings_->imageFileName, gif.c_str());
    EXPECT_EQ(AnswerBox("Warning", IDYES), kFirstWording);
    EXPECT_EQ(std::make_pair(RegionBox().right, RegionBox().bottom), std::make_pair(40L, 30L));
    GiveRegion(100, 100);
    ChooseFile(IDM_LOAD_IMAGE, "Open", gif);
    ASSERT_NE(box = WaitForDialog(editorWindow_.threadId, "Warning"), nullptr);
    PostMessageA(editorWindow_.hwnd, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(editorWindow_.hwnd); }));
    if (IsWindow(box)) PressButton(box, IDYES);
    EXPECT_TRUE(WaitForThreadEnd(editorWindow_.threadId));
    // The next editor starts empty, the picture decoded for the closed one gone with it.
    editorWindow_ = OpenEditor();
    ASSERT_NE(editorWindow_.hwnd, nullptr);
    EXPECT_EQ(std::make_pair(Doc().hbmImage.get(), Doc().hrgnCurrent.get()), std::make_pair(HBITMAP{}, HRGN{}));
}

}  // namespace
