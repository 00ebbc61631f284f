// The editor window itself: menu, caption, tinted caption icons, New, and the
// state that outlives one window.
#include <windows.h>

#include <string>
#include <vector>

#include "editor/editor_state.h"
#include "harness.h"
#include "res/resource_ids.h"

namespace {

const UINT kSixDocumentCommands[] = {IDM_SAVE, IDM_SAVE_AS, IDM_IMAGE_INFO, IDM_PICK_MASK, IDM_ENTER_MASK_RGB,
                                     IDM_VIEW_RAW_DATA};
const UINT kAlwaysEnabled[] = {IDM_NEW, IDM_OPEN, IDM_EXIT, IDM_LOAD_IMAGE, IDM_BACKGROUND_COLOR, IDM_VIEW_HIDE,
                               IDM_VIEW_MASK, IDM_VIEW_TRANSPARENCY, IDM_README, IDM_ABOUT};

void ExpectFreshEditor(HWND hwnd) {
    EXPECT_EQ(WindowText(hwnd), "Pellform - [Untitled]");
    HMENU menu = GetMenu(hwnd);
    ASSERT_NE(menu, nullptr);
    for (UINT id : kSixDocumentCommands) EXPECT_TRUE(IsMenuItemGrayed(menu, id)) << id;
    for (UINT id : kAlwaysEnabled) EXPECT_FALSE(IsMenuItemGrayed(menu, id)) << id;
    HWND text = GetDlgItem(hwnd, IDC_NO_PICTURE);
    EXPECT_TRUE(IsWindowVisible(text));
    EXPECT_EQ(WindowText(text), "No picture loaded");
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    EXPECT_FALSE(style & WS_HSCROLL);
    EXPECT_FALSE(style & WS_VSCROLL);
}

// Colour pixels of an icon, as 0x00RRGGBB.
std::vector<DWORD> IconPixels(HICON icon) {
    std::vector<DWORD> pixels;
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return pixels;
    BITMAP description{};
    GetObjectA(info.hbmColor, sizeof description, &description);
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    header.bmiHeader.biWidth = description.bmWidth;
    header.bmiHeader.biHeight = -description.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    pixels.resize(static_cast<size_t>(description.bmWidth) * description.bmHeight);
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, info.hbmColor, 0, description.bmHeight, pixels.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    for (DWORD& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

// The editor icon with each channel averaged with the colour, rounded down.
std::vector<DWORD> ExpectedTint(HMODULE module, COLORREF color) {
    HICON original = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(IDI_EDITOR), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
    std::vector<DWORD> pixels = IconPixels(original);
    DestroyIcon(original);
    for (DWORD& pixel : pixels) {
        const DWORD r = ((pixel >> 16 & 0xFF) + GetRValue(color)) / 2;
        const DWORD g = ((pixel >> 8 & 0xFF) + GetGValue(color)) / 2;
        const DWORD b = ((pixel & 0xFF) + GetBValue(color)) / 2;
        pixel = r << 16 | g << 8 | b;
    }
    return pixels;
}

HBITMAP CreateTestPicture() {
    HDC screen = GetDC(nullptr);
    HBITMAP picture = CreateCompatibleBitmap(screen, 10, 10);
    ReleaseDC(nullptr, screen);
    return picture;
}

HICON SmallIcon(HWND hwnd) { return reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0)); }

class EditorWindowTest : public HostTest {};

TEST_F(EditorWindowTest, OpensWithTheTemplateMenuCaptionAndNoPicture) {
    EditorWindow editorWindow = OpenEditor();
    ASSERT_NE(editorWindow.hwnd, nullptr);
    ExpectFreshEditor(editorWindow.hwnd);
    HMENU menu = GetMenu(editorWindow.hwnd);
    EXPECT_TRUE(IsMenuItemChecked(menu, IDM_VIEW_MASK));
    EXPECT_FALSE(IsMenuItemChecked(menu, IDM_VIEW_HIDE));
    EXPECT_FALSE(IsMenuItemChecked(menu, IDM_VIEW_TRANSPARENCY));
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    const char* titles[] = {"File", "Image", "Region", "Help"};
    for (int i = 0; i < 4; ++i) {
        char text[32] = "";
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        EXPECT_STREQ(text, titles[i]);
    }
    MENUITEMINFOA help{};
    help.cbSize = sizeof help;
    help.fMask = MIIM_FTYPE;
    GetMenuItemInfoA(menu, 3, TRUE, &help);
    EXPECT_TRUE(help.fType & MFT_RIGHTJUSTIFY);
    char className[32] = "";
    GetClassNameA(editorWindow.hwnd, className, sizeof className);
    EXPECT_STREQ(className, EDITOR_CLASS_NAME);
    // A dialog class of the host process, with no cursor of its own.
    EXPECT_EQ(GetClassLongPtrA(editorWindow.hwnd, GCL_STYLE), 0x3020);
    EXPECT_EQ(GetClassLongPtrA(editorWindow.hwnd, GCL_CBWNDEXTRA), DLGWINDOWEXTRA);
    EXPECT_EQ(GetClassLongPtrA(editorWindow.hwnd, GCLP_HCURSOR), 0);
    EXPECT_EQ(GetClassLongPtrA(editorWindow.hwnd, GCLP_HBRBACKGROUND), COLOR_BTNFACE + 1);
    EXPECT_EQ(GetClassLongPtrA(editorWindow.hwnd, GCLP_HMODULE), reinterpret_cast<LONG_PTR>(GetModuleHandleA(nullptr)));
}

TEST_F(EditorWindowTest, NewOnAnEmptyEditorLeavesItEmpty) {
    EditorWindow editorWindow = OpenEditor();
    ASSERT_NE(editorWindow.hwnd, nullptr);
    SendMessageA(editorWindow.hwnd, WM_COMMAND, IDM_NEW, 0);
    ExpectFreshEditor(editorWindow.hwnd);
}

TEST_F(EditorWindowTest, SmallIconIsTintedWithTheCaptionColourOfTheActivationState) {
    EditorWindow editorWindow = OpenEditor();
    ASSERT_NE(editorWindow.hwnd, nullptr);
    const std::vector<DWORD> active = ExpectedTint(host_.addIn, GetSysColor(COLOR_ACTIVECAPTION));
    const std::vector<DWORD> inactive = ExpectedTint(host_.addIn, GetSysColor(COLOR_INACTIVECAPTION));
    ASSERT_EQ(active.size(), 32u * 32u);
    ASSERT_NE(active, inactive) << "the two caption colours must differ for this test";

    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == editorWindow.hwnd; }));
    EXPECT_TRUE(WaitUntil([&] { return IconPixels(SmallIcon(editorWindow.hwnd)) == active; }));

    SetForegroundWindow(host_.frame);
    EXPECT_TRUE(WaitUntil([&] { return IconPixels(SmallIcon(editorWindow.hwnd)) == inactive; }));

    SetForegroundWindow(editorWindow.hwnd);
    EXPECT_TRUE(WaitUntil([&] { return IconPixels(SmallIcon(editorWindow.hwnd)) == active; }));

    // Activated while minimized, the window shows the inactive tint.
    SendMessageA(editorWindow.hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(IsIconic(editorWindow.hwnd));
    SendMessageA(editorWindow.hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(WaitUntil([&] { return IconPixels(SmallIcon(editorWindow.hwnd)) == inactive; }));
}

TEST_F(EditorWindowTest, TintsFollowAChangeOfTheSystemColours) {
    EditorWindow editorWindow = OpenEditor();
    ASSERT_NE(editorWindow.hwnd, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == editorWindow.hwnd; }));
    const INT element = COLOR_ACTIVECAPTION;
    const COLORREF original = GetSysColor(element);
    const COLORREF changed = RGB(200, 30, 90) == original ? RGB(10, 200, 40) : RGB(200, 30, 90);
    ASSERT_TRUE(SetSysColors(1, &element, &changed));
    // Not every wine version broadcasts the change; the system does, so we do too.
    SendMessageA(editorWindow.hwnd, WM_SYSCOLORCHANGE, 0, 0);
    const std::vector<DWORD> expected = ExpectedTint(host_.addIn, changed);
    const bool followed = WaitUntil([&] { return IconPixels(SmallIcon(editorWindow.hwnd)) == expected; });
    SetSysColors(1, &element, &original);
    EXPECT_TRUE(followed);
}

TEST_F(EditorWindowTest, ViewModeCommandsMoveTheRadioCheck) {
    EditorWindow editorWindow = OpenEditor();
    ASSERT_NE(editorWindow.hwnd, nullptr);
    HMENU menu = GetMenu(editorWindow.hwnd);
    SendMessageA(editorWindow.hwnd, WM_COMMAND, IDM_VIEW_TRANSPARENCY, 0);
    EXPECT_TRUE(IsMenuItemChecked(menu, IDM_VIEW_TRANSPARENCY));
    EXPECT_FALSE(IsMenuItemChecked(menu, IDM_VIEW_MASK));
    SendMessageA(editorWindow.hwnd, WM_COMMAND, IDM_VIEW_HIDE, 0);
    EXPECT_TRUE(IsMenuItemChecked(menu, IDM_VIEW_HIDE));
    EXPECT_FALSE(IsMenuItemChecked(menu, IDM_VIEW_TRANSPARENCY));
    // New keeps the overlay mode.
    SendMessageA(editorWindow.hwnd, WM_COMMAND, IDM_NEW, 0);
    EXPECT_TRUE(IsMenuItemChecked(menu, IDM_VIEW_HIDE));
}

// The probe build of the add-in exposes the editor state, so these tests can
// arrange what later commands (loading, colours, files) would leave behind.
class EditorStateTest : public ProbeTest {};

TEST_F(EditorStateTest, ASecondEditorKeepsColoursAndFileNamesButStartsEmpty) {
    EditorState* state = probe_->state;
    ASSERT_NE(state, nullptr);
    EditorWindow first = OpenEditor();
    ASSERT_NE(first.hwnd, nullptr);
    CloseEditor(first);
    // Between editors only this thread touches the state.
    state->maskColor = RGB(1, 2, 3);
    state->backgroundColor = RGB(4, 5, 6);
    lstrcpyA(state->regionFileName, "Z:\\tmp\\shape.rgn");
    lstrcpyA(state->imageFileName, "Z:\\tmp\\shape.gif");

    EditorWindow second = OpenEditor();
    ASSERT_NE(second.hwnd, nullptr);
    // The caption does not show the remembered region file until it is used.
    ExpectFreshEditor(second.hwnd);
    SendMessageA(second.hwnd, WM_NULL, 0, 0);
    EXPECT_EQ(state->maskColor, RGB(1, 2, 3));
    EXPECT_EQ(state->backgroundColor, RGB(4, 5, 6));
    EXPECT_STREQ(state->regionFileName, "Z:\\tmp\\shape.rgn");
    EXPECT_STREQ(state->imageFileName, "Z:\\tmp\\shape.gif");
}

TEST_F(EditorStateTest, NewForgetsPictureRegionColoursAndFileNames) {
    EditorState* state = probe_->state;
    ASSERT_NE(state, nullptr);
    EditorWindow editorWindow = OpenEditor();
    ASSERT_NE(editorWindow.hwnd, nullptr);
    HRGN region = CreateRectRgn(0, 0, 10, 10);
    HBITMAP picture = CreateTestPicture();
    // The editor is idle; the command sent below runs after these writes.
    state->hrgnCurrent = region;
    state->hbmImage = picture;
    state->maskColor = RGB(1, 2, 3);
    state->backgroundColor = RGB(4, 5, 6);
    lstrcpyA(state->regionFileName, "Z:\\tmp\\shape.rgn");
    lstrcpyA(state->imageFileName, "Z:\\tmp\\shape.gif");
    SetWindowTextA(editorWindow.hwnd, "Pellform - [Z:\\tmp\\shape.rgn]");
    EnableMenuItem(GetMenu(editorWindow.hwnd), IDM_SAVE, MF_BYCOMMAND | MF_ENABLED);
    ShowWindow(GetDlgItem(editorWindow.hwnd, IDC_NO_PICTURE), SW_HIDE);

    SendMessageA(editorWindow.hwnd, WM_COMMAND, IDM_NEW, 0);
    EXPECT_EQ(state->hrgnCurrent, nullptr);
    EXPECT_EQ(state->hbmImage, nullptr);
    EXPECT_EQ(state->maskColor, 0xFFFFFFFFu);
    EXPECT_EQ(state->backgroundColor, 0xFFFFFFFFu);
    EXPECT_EQ(state->regionFileName[0], '\0');
    EXPECT_EQ(state->imageFileName[0], '\0');
    ExpectFreshEditor(editorWindow.hwnd);
    EXPECT_EQ(GetObjectType(region), 0u) << "New must delete the region";
    EXPECT_EQ(GetObjectType(picture), 0u) << "New must delete the picture";
}

TEST_F(EditorStateTest, ClosingTheEditorReleasesPictureAndRegion) {
    EditorState* state = probe_->state;
    ASSERT_NE(state, nullptr);
    EditorWindow editorWindow = OpenEditor();
    ASSERT_NE(editorWindow.hwnd, nullptr);
    SendMessageA(editorWindow.hwnd, WM_NULL, 0, 0);
    HRGN region = CreateRectRgn(0, 0, 10, 10);
    HBITMAP picture = CreateTestPicture();
    state->hrgnCurrent = region;
    state->hbmImage = picture;
    CloseEditor(editorWindow);
    EXPECT_EQ(state->hrgnCurrent, nullptr);
    EXPECT_EQ(state->hbmImage, nullptr);
    EXPECT_EQ(GetObjectType(region), 0u);
    EXPECT_EQ(GetObjectType(picture), 0u);
}

}  // namespace
