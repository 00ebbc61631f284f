// What the view paints, read back from the screen; and fitting, sizing and scrolling the real window.
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
    // The client area as the screen shows it.
    Pixels Screen() {
        RECT client{};
        GetClientRect(editorWindow_.hwnd, &client);
        HDC window = GetDC(editorWindow_.hwnd), memory = CreateCompatibleDC(window);
        HBITMAP shot = CreateCompatibleBitmap(window, client.right, client.bottom);
        HGDIOBJ old = SelectObject(memory, shot);
        BitBlt(memory, 0, 0, client.right, client.bottom, window, 0, 0, SRCCOPY);
        SelectObject(memory, old);
        const Pixels pixels = ReadPixels(shot);
        DeleteObject(shot);
        DeleteDC(memory);
        ReleaseDC(editorWindow_.hwnd, window);
        return pixels;
    }
    bool Checked(UINT id) { return (GetMenuState(Menu(), id, MF_BYCOMMAND) & MF_CHECKED) != 0; }
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
    EXPECT_TRUE(client.right == 500 && client.bottom == 360) << client.right << "x" << client.bottom;
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

// Picture pixel (x, y) fills the z-sided square at (x * z - scrollX, y * z - scrollY); from 800% its top row and
// left column are a line of black and white, the rest keeps the pixel's color (or what the overlay shows there).
TEST_F(EditorViewTest, ZoomedPixelsAreSquaresOnTheGridWithAndWithoutTheMask) {
    HWND hwnd = editorWindow_.hwnd;
    const std::string path = TemporaryPath("squares.bmp");
    auto color = [](int x, int y) { return (x + y) % 7 ? RGB(40 + x * 3, 40 + y * 3, 90) : RGB(0, 0, 255); };
    ASSERT_TRUE(WriteBmpFile(path, 60, 50, color));
    LoadPicture(path);
    AnswerColorDialog(IDM_ENTER_MASK_RGB, RGB(0, 0, 255));
    const COLORREF face = GetSysColor(COLOR_BTNFACE), text = GetSysColor(COLOR_BTNTEXT);
    const struct { UINT zoom, view; int z; } steps[] = {
        {IDM_ZOOM_200, IDM_VIEW_HIDE, 2}, {IDM_ZOOM_800, IDM_VIEW_HIDE, 8}, {IDM_ZOOM_800, IDM_VIEW_MASK, 8},
        {IDM_ZOOM_400, IDM_VIEW_TRANSPARENCY, 4}};
    for (const auto& step : steps) {
        Command(step.view);
        Command(step.zoom);
        EXPECT_TRUE(Checked(step.zoom));
        SendMessageA(hwnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 13), 0);  // within a square
        SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
        SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);  // a line is a picture pixel
        SettleWindow(hwnd);
        RECT client{};
        GetClientRect(hwnd, &client);
        const int z = step.z, sx = GetScrollPos(hwnd, SB_HORZ), sy = GetScrollPos(hwnd, SB_VERT);
        EXPECT_EQ(sy, z);
        EXPECT_EQ(Range(SB_HORZ), std::max(0, 60 * z - static_cast<int>(client.right))) << z;
        EXPECT_EQ(Range(SB_VERT), 50 * z - client.bottom) << z;
        const Pixels screen = Screen();
        int wrong = 0, black = 0, white = 0;
        for (int y = 0; y < screen.height && y + sy < 50 * z; ++y)
            for (int x = 0; x < screen.width && x + sx < 60 * z; ++x) {
                const int px = (x + sx) / z, py = (y + sy) / z;
                const COLORREF shown = screen.at(x, y);
                if (z >= 8 && ((x + sx) % z == 0 || (y + sy) % z == 0)) {
                    black += shown == RGB(0, 0, 0);
                    white += shown == RGB(255, 255, 255);
                } else if (step.view == IDM_VIEW_MASK && PtInRegion(state_->hrgnCurrent, px, py)) {
                    wrong += shown != face && shown != text;
                } else if (step.view == IDM_VIEW_TRANSPARENCY && !PtInRegion(state_->hrgnCurrent, px, py)) {
                    wrong += shown != face;
                } else {
                    wrong += shown != color(px, py);
                }
            }
        EXPECT_EQ(wrong, 0) << z;
        EXPECT_TRUE(z < 8 || (black > 100 && white > 100)) << black << " " << white;
        EXPECT_TRUE(z >= 8 || black + white == 0);
    }
}

// Real input: Ctrl+wheel zooms about the cursor, Ctrl++ and Ctrl+- about the center, the wheel scrolls three
// lines a notch (with Shift sideways, partial turns added up); loading a picture and New return to 100%.
TEST_F(EditorViewTest, TheWheelAndTheKeysZoomAndScrollAndANewPictureShowsAt100) {
    HWND hwnd = editorWindow_.hwnd;
    const std::string path = TemporaryPath("wheel.bmp");
    auto color = [](int x, int y) { return RGB(x & 0xFF, y & 0xFF, (x >> 8) | (y >> 8) << 4); };
    ASSERT_TRUE(WriteBmpFile(path, 600, 500, color));
    LoadPicture(path);
    SetForegroundWindow(hwnd);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == hwnd; }));
    auto press = [](BYTE modifier, BYTE key) {
        keybd_event(modifier, 0, 0, 0);
        keybd_event(key, 0, 0, 0);
        keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
        keybd_event(modifier, 0, KEYEVENTF_KEYUP, 0);
    };
    auto turn = [](BYTE modifier, int delta) {
        if (modifier) keybd_event(modifier, 0, 0, 0);
        mouse_event(MOUSEEVENTF_WHEEL, 0, 0, static_cast<DWORD>(delta), 0);
        if (modifier) keybd_event(modifier, 0, KEYEVENTF_KEYUP, 0);
    };
    auto scroll = [&] { return POINT{GetScrollPos(hwnd, SB_HORZ), GetScrollPos(hwnd, SB_VERT)}; };
    POINT cursor = {301, 203};
    ClientToScreen(hwnd, &cursor);
    SetCursorPos(cursor.x, cursor.y);
    turn(VK_CONTROL, WHEEL_DELTA);
    ASSERT_TRUE(WaitUntil([&] { return state_->zoom == 2; }));
    SettleWindow(hwnd);
    POINT at = scroll();
    EXPECT_TRUE((301 + at.x) / 2 == 301 && (203 + at.y) / 2 == 203) << at.x << "," << at.y;
    HDC window = GetDC(hwnd);
    EXPECT_EQ(GetPixel(window, 301, 203), color(301, 203));
    ReleaseDC(hwnd, window);
    EXPECT_TRUE(Checked(IDM_ZOOM_200));

    RECT client{};
    GetClientRect(hwnd, &client);
    const POINT center = {client.right / 2, client.bottom / 2};
    const POINT kept = {(center.x + at.x) / 2, (center.y + at.y) / 2};
    press(VK_CONTROL, VK_OEM_PLUS);
    ASSERT_TRUE(WaitUntil([&] { return state_->zoom == 4; }));
    Idle();  // the zoom is set before the scroll position
    at = scroll();
    EXPECT_TRUE((center.x + at.x) / 4 == kept.x && (center.y + at.y) / 4 == kept.y) << at.x << "," << at.y;
    press(VK_CONTROL, VK_SUBTRACT);
    ASSERT_TRUE(WaitUntil([&] { return state_->zoom == 2; }));
    Idle();
    at = scroll();
    turn(0, -WHEEL_DELTA);
    EXPECT_TRUE(WaitUntil([&] { return scroll().y == at.y + 3 * 2; })) << scroll().y - at.y;
    for (int half = 0; half < 2; ++half) turn(VK_SHIFT, -WHEEL_DELTA / 2);
    EXPECT_TRUE(WaitUntil([&] { return scroll().x == at.x + 3 * 2; })) << scroll().x - at.x;

    LoadPicture(path);
    EXPECT_EQ(state_->zoom, 1);
    EXPECT_TRUE(Checked(IDM_ZOOM_100));
    Command(IDM_ZOOM_1600);
    Command(IDM_NEW);
    EXPECT_EQ(state_->zoom, 1);
}

}  // namespace
