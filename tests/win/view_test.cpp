// What the view paints: the picture and the three overlays, read back from the
// screen; and fitting, sizing and scrolling the real window.
#include <windows.h>

#include <algorithm>
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
    RECT Client() {
        RECT client{};
        GetClientRect(editorWindow_.hwnd, &client);
        return client;
    }
};

TEST_F(EditorViewTest, TheWindowFitsThePictureAndScrollsWhatDoesNotFit) {
    HWND hwnd = editorWindow_.hwnd;
    // Without a picture: the text centered, no minimum size, scroll requests ignored.
    SetWindowPos(hwnd, nullptr, 0, 0, 517, 333, SWP_NOMOVE | SWP_NOZORDER);
    RECT text{}, window{};
    GetWindowRect(GetDlgItem(hwnd, IDC_NO_PICTURE), &text);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&text), 2);
    EXPECT_EQ(text.left, (Client().right - (text.right - text.left)) >> 1);
    EXPECT_EQ(text.top, (Client().bottom - (text.bottom - text.top)) >> 1);
    MINMAXINFO limits{};
    limits.ptMinTrackSize = {1, 1};
    SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, 1);
    SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    EXPECT_EQ(GetScrollPos(hwnd, SB_VERT), 0);

    // Narrower than the minimum: 280 wide. Then a picture the client area fits exactly.
    LoadPicture(TestDataPath("transparent.gif"));
    GetWindowRect(hwnd, &window);
    EXPECT_EQ(window.right - window.left, 280);
    const std::string medium = TemporaryPath("medium.bmp");
    ASSERT_TRUE(WriteBmpFile(medium, 500, 360, [](int x, int y) { return RGB(x & 0xFF, y & 0xFF, 77); }));
    LoadPicture(medium);
    EXPECT_EQ(Client().right, 500);
    EXPECT_EQ(Client().bottom, 360);
    EXPECT_FALSE(GetWindowLongA(hwnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
    // Smaller: ranges; minimizing keeps them; large enough again: none, positions at 0.
    SetWindowPos(hwnd, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_GT(Range(SB_HORZ), 0);
    SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
    const int before = Range(SB_VERT);
    EXPECT_GT(before, 0);
    SendMessageA(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_EQ(Range(SB_VERT), before);
    SetWindowPos(hwnd, nullptr, 0, 0, 900, 800, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(Range(SB_HORZ) + Range(SB_VERT) + GetScrollPos(hwnd, SB_VERT), 0);
    EXPECT_FALSE(GetWindowLongA(hwnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
    SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, 280);

    // Too large for the screen: the work area (here below and right of a taskbar) is filled.
    RECT full{}, shifted{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &full, 0);
    RECT wanted = {full.left + 90, full.top + 70, full.right, full.bottom};
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETWORKAREA, 0, &wanted, 0));
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &shifted, 0);
    const std::string huge = TemporaryPath("huge.bmp");
    ASSERT_TRUE(WriteBmpFile(huge, 1700, 1300, [](int x, int y) { return RGB(x & 0xFF, y & 0xFF, 9); }));
    LoadPicture(huge);
    GetWindowRect(hwnd, &window);
    SystemParametersInfoA(SPI_SETWORKAREA, 0, &full, 0);
    ASSERT_TRUE(EqualRect(&shifted, &wanted)) << "this system keeps no work area of its own";
    EXPECT_TRUE(EqualRect(&window, &wanted)) << window.left << "," << window.top << "," << window.right;
    const RECT client = Client();
    EXPECT_GE(Range(SB_HORZ), 1700 - client.right);
    EXPECT_GE(Range(SB_VERT), 1300 - client.bottom);
    for (int bar : {SB_HORZ, SB_VERT}) {
        const int range = Range(bar);
        // A page is the client height for both bars.
        const int steps[][3] = {{SB_LINEDOWN, 0, 1}, {SB_LINEDOWN, 0, 2}, {SB_LINEUP, 0, 1},
            {SB_PAGEDOWN, 0, std::min(range, 1 + static_cast<int>(client.bottom))}, {SB_TOP, 0, 0}, {SB_LINEUP, 0, 0},
            {SB_PAGEUP, 0, 0}, {SB_THUMBTRACK, 37, 37}, {SB_THUMBPOSITION, 60000, range}, {SB_ENDSCROLL, 0, range},
            {SB_TOP, 0, 0}, {SB_BOTTOM, 0, range}, {SB_LINEDOWN, 0, range}};
        for (const auto& step : steps) {
            SendMessageA(hwnd, bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(step[0], step[1]), 0);
            EXPECT_EQ(GetScrollPos(hwnd, bar), step[2]) << bar << " " << step[0];
        }
    }
}

// What each overlay shows of the region of the blue-masked picture (rows 10 and below), and a pixel drawn behind
// the editor's back that survives exactly as long as the view is not repainted.
TEST_F(EditorViewTest, OverlaysShowTheRegionAndTheirCommandsMoveTheCheckAndRepaintOnlyOnAChange) {
    LoadPicture(TestDataPath("transparent.gif"));
    AnswerColourDialog(IDM_ENTER_MASK_RGB, RGB(0, 0, 255));
    Idle();
    HWND hwnd = editorWindow_.hwnd;
    const Pixels picture = ReadPixels(state_->hbmImage);
    // At (20, 20) in the region and (20, 5) outside: p the picture, - the background color or the hatch.
    const struct { UINT command; bool repainted; const char* shown; } steps[] = {{IDM_VIEW_MASK, false, "-p"},
        {IDM_VIEW_TRANSPARENCY, true, "p-"}, {IDM_VIEW_TRANSPARENCY, false, "p-"}, {IDM_VIEW_HIDE, true, "pp"},
        {IDM_NEW, true, ""}};
    for (const auto& step : steps) {
        SettleWindow(hwnd);
        HDC window = GetDC(hwnd);
        SetPixel(window, 3, 3, RGB(255, 0, 255));
        Command(step.command);
        SettleWindow(hwnd);
        EXPECT_EQ(GetPixel(window, 3, 3) != RGB(255, 0, 255), step.repainted) << step.command;
        std::string shown;
        for (int y = 20; step.command != IDM_NEW && y > 0; y -= 15) {
            const COLORREF pixel = GetPixel(window, 20, y);
            const bool faceOrText = pixel == GetSysColor(COLOR_BTNFACE) || pixel == GetSysColor(COLOR_BTNTEXT);
            shown += pixel == picture.at(20, y) ? 'p' : faceOrText ? '-' : '?';
        }
        EXPECT_EQ(shown, step.shown) << step.command;
        ReleaseDC(hwnd, window);
        for (UINT id : {IDM_VIEW_HIDE, IDM_VIEW_MASK, IDM_VIEW_TRANSPARENCY})  // New keeps the overlay
            EXPECT_EQ(IsMenuItemChecked(Menu(), id), id == (step.command == IDM_NEW ? IDM_VIEW_HIDE : step.command));
    }
}

}  // namespace
