// The image information dialog, Read Me, and the About box from the menu and as the editor's splash.
#include <windows.h>

#include <string>

#include "editor_fixture.h"
#include "res/resource_ids.h"

namespace {

class AboutTest : public EditorTest {};

TEST_F(AboutTest, InformationShowsTheFiveFieldsReadMeTheWholeTextTheAboutBoxStaysAndTheSplashEndsItself) {
    const std::string path = TestDataPath("transparent.gif");
    LoadPicture(path);
    HWND readMe = nullptr, info = OpenDialog(IDM_IMAGE_INFO, "Image information");
    ASSERT_NE(info, nullptr);
    const std::pair<int, std::string> fields[] = {{IDC_INFO_FILE_NAME, path}, {IDC_INFO_WIDTH, "40"},
        {IDC_INFO_HEIGHT, "30"}, {IDC_INFO_ASPECT, "1.3333333333333332"},
        {IDC_INFO_MEMORY, "4800"}};  // 32 bits a pixel, as the screen's bitmaps
    for (const auto& field : fields) EXPECT_EQ(DialogItemText(info, field.first), field.second);
    PressButton(info, IDCANCEL);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(info); }));

    ASSERT_NE(readMe = OpenDialog(IDM_README, "Read Me"), nullptr);
    HRSRC resource = FindResourceA(host_.addIn, MAKEINTRESOURCEA(IDR_README_TEXT), RT_RCDATA);
    const std::string expected(static_cast<const char*>(LockResource(LoadResource(host_.addIn, resource))),
                               SizeofResource(host_.addIn, resource));
    std::string shown(expected.size() + 16, '\0');
    shown.resize(GetDlgItemTextA(readMe, IDC_README_TEXT, shown.data(), static_cast<int>(shown.size())));
    EXPECT_EQ(shown, expected);
    PostMessageA(readMe, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(readMe); }));  // else it may pass for the About box as it goes

    // From the menu the box stays, past the splash's second and through Enter; Esc or a click ends it.
    for (UINT end : {WM_KEYDOWN, WM_LBUTTONUP}) {
        const HWND about = OpenDialog(IDM_ABOUT, "");
        ASSERT_NE(about, nullptr) << end;
        PostMessageA(about, WM_KEYDOWN, VK_RETURN, 0);
        WaitUntil([] { return false; }, end == WM_KEYDOWN ? 1200 : 0);
        EXPECT_TRUE(IsWindowVisible(about)) << end;
        PostMessageA(about, end, end == WM_KEYDOWN ? VK_ESCAPE : 0, MAKELPARAM(150, 150));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); })) << end;
    }

    // The splash is modeless: ending it must destroy it, not hide it for the editor's lifetime.
    CloseEditor(editorWindow_);
    ChooseMenuItem();
    HWND splash = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        return (splash = FindDialogNow(GetWindowThreadProcessId(FindEditorWindow(), nullptr), "")) != nullptr;
    })) << "no splash";
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(splash); }, 5000)) << "gone, not hidden";
}

}  // namespace
