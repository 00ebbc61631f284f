// The image information dialog, the shaped About box with its splash, and Read Me.
#include <windows.h>

#include <string>
#include <vector>

#include "dialog_driver.h"
#include "editor_fixture.h"
#include "res/resource_ids.h"

namespace {

std::vector<BYTE> RegionBytes(HRGN region) {
    const DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<BYTE> data(size);
    GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data()));
    return data;
}

class AboutTest : public EditorTest {
protected:
    HWND OpenAboutFromMenu() {
        PostMessageA(editorWindow_.hwnd, WM_COMMAND, IDM_ABOUT, 0);
        HWND box = nullptr;
        WaitUntil([&] { return (box = FindAboutBox(editorWindow_.threadId)) != nullptr; });
        return box;
    }
};

TEST_F(AboutTest, TheSplashShowsWhenTheEditorOpensAndClosesItself) {
    CloseEditor(editorWindow_);
    ChooseMenuItem();
    HWND splash = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        HWND editorWindow = FindEditorWindow();
        return editorWindow && (splash = FindAboutBox(GetWindowThreadProcessId(editorWindow, nullptr))) != nullptr;
    })) << "no splash";
    EXPECT_EQ(GetWindow(splash, GW_OWNER), FindEditorWindow());
    const ULONGLONG shown = GetTickCount64();
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(splash); }, 5000));
    EXPECT_GE(GetTickCount64() - shown, 500u) << "closed too early";
    // Gone, not hidden: its window, picture and outline are freed at once.
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(splash); }, 2000));
}

TEST_F(AboutTest, TheMenuBoxHasTheOutlineStaysAndClosesByEscOrClickNotEnter) {
    HWND box = OpenAboutFromMenu();
    ASSERT_NE(box, nullptr);
    RECT window{};
    GetWindowRect(box, &window);
    EXPECT_EQ(window.right - window.left, 300);
    EXPECT_EQ(window.bottom - window.top, 218);
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(box, shape), ERROR);
    HRSRC resource = FindResourceA(host_.addIn, MAKEINTRESOURCEA(IDR_ABOUT_OUTLINE), RT_RCDATA);
    const auto* outline = static_cast<const BYTE*>(LockResource(LoadResource(host_.addIn, resource)));
    std::vector<BYTE> expected(outline, outline + SizeofResource(host_.addIn, resource));
    std::vector<BYTE> actual = RegionBytes(shape);
    // nRgnSize may be reported differently; all else is the resource.
    ASSERT_EQ(actual.size(), expected.size());
    std::copy(expected.begin() + 12, expected.begin() + 16, actual.begin() + 12);
    EXPECT_EQ(actual, expected);

    // A point of the box's rectangle outside the outline belongs to the window below.
    RECT box0{};
    GetRgnBox(shape, &box0);
    POINT outside = {window.left + 1, window.top + 1};
    EXPECT_FALSE(PtInRegion(shape, 1, 1));
    EXPECT_NE(WindowFromPoint(outside), box);
    POINT inside = {window.left + 150, window.top + 150};
    ASSERT_TRUE(PtInRegion(shape, 150, 150));
    EXPECT_EQ(WindowFromPoint(inside), box);
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

    HWND again = OpenAboutFromMenu();
    ASSERT_NE(again, nullptr);
    PostMessageA(again, WM_LBUTTONUP, 0, MAKELPARAM(150, 150));
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(again); }));
}

TEST_F(AboutTest, OpeningTheAboutBoxRepeatedlyLeaksNothing) {
    auto openAndClose = [&] {
        HWND box = OpenAboutFromMenu();
        ASSERT_NE(box, nullptr);
        SettleWindow(box);
        PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
        Idle();
    };
    openAndClose();
    openAndClose();
    const int before = CountGdiObjects();
    for (int i = 0; i < 5; ++i) openAndClose();
    EXPECT_EQ(CountGdiObjects(), before);
}

TEST_F(AboutTest, ImageInformationShowsTheFiveFields) {
    const std::string path = TestDataPath("transparent.gif");
    LoadPicture(path);
    PostMessageA(editorWindow_.hwnd, WM_COMMAND, IDM_IMAGE_INFO, 0);
    HWND info = WaitForDialog(editorWindow_.threadId, "Image information");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(DialogItemText(info, IDC_INFO_FILE_NAME), path);
    EXPECT_EQ(DialogItemText(info, IDC_INFO_WIDTH), "40");
    EXPECT_EQ(DialogItemText(info, IDC_INFO_HEIGHT), "30");
    EXPECT_EQ(DialogItemText(info, IDC_INFO_ASPECT), "1.3333333333333332");
    const int bits = state_->imageInfo.bmBitsPixel * state_->imageInfo.bmPlanes;
    EXPECT_EQ(DialogItemText(info, IDC_INFO_MEMORY), std::to_string(40 * 30 * bits / 8));
    PressButton(info, IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(info); }));

    // Without a picture, Info does nothing even when sent.
    Command(IDM_NEW);
    PostMessageA(editorWindow_.hwnd, WM_COMMAND, IDM_IMAGE_INFO, 0);
    Idle();
    EXPECT_FALSE(BoxIsUp("Image information"));
}

TEST_F(AboutTest, ReadMeHoldsExactlyTheResourceAndFillsItsWindow) {
    PostMessageA(editorWindow_.hwnd, WM_COMMAND, IDM_README, 0);
    HWND readMe = WaitForDialog(editorWindow_.threadId, "Read Me");
    ASSERT_NE(readMe, nullptr);
    HRSRC resource = FindResourceA(host_.addIn, MAKEINTRESOURCEA(IDR_README_TEXT), RT_RCDATA);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(host_.addIn, resource)));
    const std::string expected(bytes, SizeofResource(host_.addIn, resource));
    HWND text = GetDlgItem(readMe, IDC_README_TEXT);
    std::vector<char> shown(expected.size() + 16);
    const int length = GetWindowTextA(text, shown.data(), static_cast<int>(shown.size()));
    EXPECT_EQ(std::string(shown.data(), length), expected);
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
