// What the view paints, read back from the screen; and fitting, sizing and scrolling the real window.
#include <windows.h>

#include <string>

#include "editor_fixture.h"
#include "res/resource_ids.h"

namespace {

class EditorViewTest : public EditorTest {
protected:
    int Range(int bar) {
        int low = 0, high = 0;
        GetScrollRange(editorWindow_.hwnd, bar, &low, &high);
        return high;
    }
};

TEST_F(EditorViewTest, TheWindowFitsThePictureAndScrollsWhatDoesNotFit) {
    HWND hwnd = editorWindow_.hwnd;
    // Narrower than the minimum: 280 wide. Then a picture the client area fits exactly.
    LoadPicture(TestDataPath("transparent.gif"));
    RECT window{}, client{};
    GetWindowRect(hwnd, &window);
    EXPECT_EQ(window.right - window.left, 280);
    const std::string medium = TemporaryPath("medium.bmp");
    ASSERT_TRUE(WriteBmpFile(medium, 500, 360, [](int x, int y) { return RGB(x & 0xFF, y & 0xFF, 77); }));
    LoadPicture(medium);
    GetClientRect(hwnd, &client);
    EXPECT_EQ(std::make_pair(client.right, client.bottom), std::make_pair(500L, 360L));
    EXPECT_FALSE(GetWindowLongA(hwnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
    // Smaller: ranges; large enough again: none.
    SetWindowPos(hwnd, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(Range(SB_HORZ) > 0 && Range(SB_VERT) > 0);
    SetWindowPos(hwnd, nullptr, 0, 0, 900, 800, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_FALSE(GetWindowLongA(hwnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));

    // Too large for the screen: the work area (here below and right of a taskbar) is filled.
    RECT full{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &full, 0);
    RECT wanted = {full.left + 90, full.top + 70, full.right, full.bottom};
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETWORKAREA, 0, &wanted, 0));
    const std::string huge = TemporaryPath("huge.bmp");
    ASSERT_TRUE(WriteBmpFile(huge, 2200, 2000, [](int x, int y) { return RGB(x & 0xFF, y & 0xFF, 9); }));
    LoadPicture(huge);
    GetWindowRect(hwnd, &window);
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &full, 0);
    EXPECT_TRUE(EqualRect(&window, &wanted)) << window.left << "," << window.top << "," << window.right;
    GetClientRect(hwnd, &client);
    for (int bar : {SB_HORZ, SB_VERT}) {
        EXPECT_GE(Range(bar), (bar == SB_HORZ ? 2200 - client.right : 2000 - client.bottom)) << bar;
        // A line is one pixel; a page is the client height for both bars.
        for (int request : {SB_LINEDOWN, SB_PAGEDOWN})
            SendMessageA(hwnd, bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(request, 0), 0);
        EXPECT_EQ(GetScrollPos(hwnd, bar), 1 + client.bottom) << bar;
    }
}

// What each overlay shows of the region of the blue-masked picture (rows 10 and below), and its check mark.
TEST_F(EditorViewTest, EachOverlayShowsTheRegionAsItSaysAndIsTheOneChecked) {
    LoadPicture(TestDataPath("transparent.gif"));
    AnswerColorDialog(IDM_ENTER_MASK_RGB, RGB(0, 0, 255));
    Idle();
    HWND hwnd = editorWindow_.hwnd;
    const Pixels picture = ReadPixels(state_->hbmImage);
    // At (20, 20) in the region and (20, 5) outside: p the picture, - the background color or the hatch.
    const struct { UINT command; const char* shown; } steps[] = {
        {IDM_VIEW_MASK, "-p"}, {IDM_VIEW_TRANSPARENCY, "p-"}, {IDM_VIEW_HIDE, "pp"}};
    for (const auto& step : steps) {
        Command(step.command);
        SettleWindow(hwnd);
        HDC window = GetDC(hwnd);
        std::string shown;
        for (int y = 20; y > 0; y -= 15) {
            const COLORREF pixel = GetPixel(window, 20, y);
            const bool faceOrText = pixel == GetSysColor(COLOR_BTNFACE) || pixel == GetSysColor(COLOR_BTNTEXT);
            shown += pixel == picture.at(20, y) ? 'p' : faceOrText ? '-' : '?';
        }
        EXPECT_EQ(shown, step.shown) << step.command;
        ReleaseDC(hwnd, window);
        for (UINT id : {IDM_VIEW_HIDE, IDM_VIEW_MASK, IDM_VIEW_TRANSPARENCY})
            EXPECT_EQ((GetMenuState(Menu(), id, MF_BYCOMMAND) & MF_CHECKED) != 0, id == step.command) << step.command;
    }
}

}  // namespace
