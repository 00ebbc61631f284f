// The shaped About box with its splash, the image information dialog, and Read Me.
#include <windows.h>

#include <string>
#include <vector>

#include "dialog_driver.h"
#include "editor_fixture.h"
#include "res/resource_ids.h"

namespace {

class AboutTest : public EditorTest {
protected:
    HWND Open(UINT command, const char* caption) {
        PostMessageA(editorWindow_.hwnd, WM_COMMAND, command, 0);
        return WaitForDialog(editorWindow_.threadId, caption);
    }
};

TEST_F(AboutTest, TheSplashClosesItselfAndTheMenuBoxHasTheOutlineAndClosesByEscOrAClickNotEnter) {
    CloseEditor(editorWindow_);
    ChooseMenuItem();
    HWND splash = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        HWND editorWindow = FindEditorWindow();
        return editorWindow && (splash = FindDialogNow(GetWindowThreadProcessId(editorWindow, nullptr), "")) != nullptr;
    })) << "no splash";
    EXPECT_EQ(GetWindow(splash, GW_OWNER), FindEditorWindow());
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(splash); }, 5000)) << "gone, not hidden";
    editorWindow_ = {FindEditorWindow(), GetWindowThreadProcessId(FindEditorWindow(), nullptr)};

    HWND box = Open(IDM_ABOUT, "");
    ASSERT_NE(box, nullptr);
    // Without its outline the box would be a plain rectangle.
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(box, shape), COMPLEXREGION);
    DeleteObject(shape);
    // The version line is drawn in pure blue around (200, 190).
    SettleWindow(box);
    HDC dc = GetWindowDC(box);
    int blue = 0;
    for (int y = 180; y < 200; ++y)
        for (int x = 140; x < 260; ++x) blue += GetPixel(dc, x, y) == RGB(0, 0, 255);
    ReleaseDC(box, dc);
    EXPECT_GT(blue, 20);
    PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
    Idle();
    EXPECT_TRUE(IsWindowVisible(box)) << "Enter must not close it";
    PostMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    box = Open(IDM_ABOUT, "");
    ASSERT_NE(box, nullptr);
    PostMessageA(box, WM_LBUTTONUP, 0, MAKELPARAM(150, 150));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
}

TEST_F(AboutTest, ImageInformationShowsTheFiveFieldsAndReadMeTheWholeTextFillingItsWindow) {
    const std::string path = TestDataPath("transparent.gif");
    LoadPicture(path);
    HWND info = Open(IDM_IMAGE_INFO, "Image information");
    ASSERT_NE(info, nullptr);
    const int bits = state_->imageInfo.bmBitsPixel * state_->imageInfo.bmPlanes;
    const std::pair<int, std::string> fields[] = {{IDC_INFO_FILE_NAME, path}, {IDC_INFO_WIDTH, "40"},
        {IDC_INFO_HEIGHT, "30"}, {IDC_INFO_ASPECT, "1.3333333333333332"},
        {IDC_INFO_MEMORY, std::to_string(40 * 30 * bits / 8)}};
    for (const auto& field : fields) EXPECT_EQ(DialogItemText(info, field.first), field.second);
    PressButton(info, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(info); }));

    HWND readMe = Open(IDM_README, "Read Me");
    ASSERT_NE(readMe, nullptr);
    HRSRC resource = FindResourceA(host_.addIn, MAKEINTRESOURCEA(IDR_README_TEXT), RT_RCDATA);
    const std::string expected(static_cast<const char*>(LockResource(LoadResource(host_.addIn, resource))),
                               SizeofResource(host_.addIn, resource));
    HWND text = GetDlgItem(readMe, IDC_README_TEXT);
    std::vector<char> shown(expected.size() + 16);
    EXPECT_EQ(std::string(shown.data(), GetWindowTextA(text, shown.data(), static_cast<int>(shown.size()))), expected);
    SetWindowPos(readMe, nullptr, 0, 0, 640, 420, SWP_NOMOVE | SWP_NOZORDER);
    RECT client{}, control{};
    GetClientRect(readMe, &client);
    GetWindowRect(text, &control);
    EXPECT_EQ(control.right - control.left, client.right);
    EXPECT_EQ(control.bottom - control.top, client.bottom);
    PostMessageA(readMe, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(readMe); }));
}

}  // namespace
