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
        SelectObject(memory, shot);
        BitBlt(memory, 0, 0, client.right, client.bottom, window, 0, 0, SRCCOPY);
        DeleteDC(memory);
        ReleaseDC(editorWindow_.hwnd, window);
        const Pixels pixels = ReadPixels(shot);
        DeleteObject(shot);
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
    EXPECT_EQ(std::make_pair(client.right, client.bottom), std::make_pair(500L, 360L));
    EXPECT_FALSE(GetWindowLongA(hwnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
    // Smaller: ranges; large enough again: none.
    SetWindowPos(hwnd, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    for (int bar : {SB_HORZ, SB_VERT}) EXPECT_GT(Range(bar), 0) << bar;
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
    EXPECT_TRUE(EqualRect(&window, &wanted)) << window.left << "," << window.top << "," << window.right << ","
                                             << window.bottom;
    GetClientRect(hwnd, &client);
    for (int bar : {SB_HORZ, SB_VERT}) {
        EXPECT_GE(Range(bar), (bar == SB_HORZ ? 2200 - client.right : 2000 - client.bottom)) << bar;
        // A line is one pixel; a page is the client height for both bars.
        for (int request : {SB_LINEDOWN, SB_PAGEDOWN})
            SendMessageA(hwnd, bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL, MAKEWPARAM(request, 0), 0);
        EXPECT_EQ(GetScrollPos(hwnd, bar), 1 + client.bottom) << bar;
    }
}

// Picture pixel (x, y) fills the z-sided square at (x * z - scrollX, y * z - scrollY), showing the pixel or what the
// overlay puts there; from 800% a line of black and white takes each square's top row and left column.
TEST_F(EditorViewTest, EachOverlayAndZoomShowsPixelsAsSquaresOnTheGridAndIsTheOneChecked) {
    HWND hwnd = editorWindow_.hwnd;
    const std::string path = TemporaryPath("squares.bmp");
    auto color = [](int x, int y) { return (x + y) % 7 ? RGB(40 + x * 3, 40 + y * 3, 90) : RGB(0, 0, 255); };
    ASSERT_TRUE(WriteBmpFile(path, 60, 50, color));
    LoadPicture(path);
    AnswerColorDialog(IDM_ENTER_MASK_RGB, RGB(0, 0, 255));
    const COLORREF face = GetSysColor(COLOR_BTNFACE), text = GetSysColor(COLOR_BTNTEXT);
    const struct { UINT zoom, view; int z; } steps[] = {
        {IDM_ZOOM_100, IDM_VIEW_MASK, 1}, {IDM_ZOOM_100, IDM_VIEW_TRANSPARENCY, 1}, {IDM_ZOOM_100, IDM_VIEW_HIDE, 1},
        {IDM_ZOOM_200, IDM_VIEW_HIDE, 2}, {IDM_ZOOM_800, IDM_VIEW_HIDE, 8}, {IDM_ZOOM_800, IDM_VIEW_MASK, 8},
        {IDM_ZOOM_400, IDM_VIEW_TRANSPARENCY, 4}};
    for (const auto& step : steps) {
        Command(step.view);
        Command(step.zoom);
        for (UINT id : {UINT{IDM_VIEW_HIDE}, UINT{IDM_VIEW_MASK}, UINT{IDM_VIEW_TRANSPARENCY}, step.zoom})
            EXPECT_EQ(Checked(id), id == step.view || id == step.zoom) << id;
        SendMessageA(hwnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 13), 0);  // within a square
        SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
        SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);  // a line is a picture pixel
        SettleWindow(hwnd);
        RECT client{};
        GetClientRect(hwnd, &client);
        const int z = step.z, sx = GetScrollPos(hwnd, SB_HORZ), sy = GetScrollPos(hwnd, SB_VERT);
        EXPECT_EQ(sy, std::min(z, Range(SB_VERT)));
        EXPECT_EQ(std::pair(Range(SB_HORZ), Range(SB_VERT)),
                  std::pair(std::max(0, 60 * z - int(client.right)), std::max(0, 50 * z - int(client.bottom)))) << z;
        const Pixels screen = Screen();
        int wrong = 0, black = 0, white = 0;
        for (int y = 0; y < screen.height && y + sy < 50 * z; ++y)
            for (int x = 0; x < screen.width && x + sx < 60 * z; ++x) {
                const int px = (x + sx) / z, py = (y + sy) / z;
                const COLORREF shown = screen.at(x, y);
                const bool inside = PtInRegion(Doc().hrgnCurrent.get(), px, py);
                if (z >= 8 && ((x + sx) % z == 0 || (y + sy) % z == 0)) {
                    black += shown == RGB(0, 0, 0);
                    white += shown == RGB(255, 255, 255);
                } else if (step.view == (inside ? IDM_VIEW_MASK : IDM_VIEW_TRANSPARENCY)) {
                    wrong += shown != face && shown != text;
                } else {
                    wrong += shown != color(px, py);
                }
            }
        EXPECT_EQ(wrong, 0) << z;
        EXPECT_TRUE(z >= 8 ? black > 100 && white > 100 : black + white == 0) << black << " " << white;
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
    // Keys go to the foreground window, which a late event of the X server may have changed meanwhile.
    auto press = [&](BYTE key) {
        SetForegroundWindow(hwnd);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == hwnd; }));
        keybd_event(VK_CONTROL, 0, 0, 0);
        keybd_event(key, 0, 0, 0), keybd_event(key, 0, KEYEVENTF_KEYUP, 0);
        keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
    };
    // The zoom is set before the scroll position: wait until the input is handled.
    auto zoomed = [&](int z) { return WaitUntil([&] { return Doc().zoom == z; }) && (Idle(), true); };
    auto scroll = [&] { return POINT{GetScrollPos(hwnd, SB_HORZ), GetScrollPos(hwnd, SB_VERT)}; };
    // Each wheel message names its point and keys: a real wheel event would go to the window under the pointer,
    // which the X server may not have moved yet.
    POINT cursor = {301, 203};
    ClientToScreen(hwnd, &cursor);
    auto wheel = [&](WORD keys, int delta) {
        PostMessageA(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(keys, delta), MAKELPARAM(cursor.x, cursor.y));
    };
    wheel(MK_CONTROL, WHEEL_DELTA);
    ASSERT_TRUE(zoomed(2));
    POINT at = scroll();
    EXPECT_EQ(std::pair((301 + at.x) / 2, (203 + at.y) / 2), std::pair(301L, 203L)) << "kept under the cursor";
    SettleWindow(hwnd);
    EXPECT_EQ(Screen().at(301, 203), color(301, 203));

    RECT client{};
    GetClientRect(hwnd, &client);
    const POINT center = {client.right / 2, client.bottom / 2};
    const POINT kept = {(center.x + at.x) / 2, (center.y + at.y) / 2};
    press(VK_OEM_PLUS);
    ASSERT_TRUE(zoomed(4));
    at = scroll();
    EXPECT_EQ(std::pair((center.x + at.x) / 4, (center.y + at.y) / 4), std::pair(kept.x, kept.y)) << "kept at the center";
    press(VK_SUBTRACT);
    ASSERT_TRUE(zoomed(2));
    at = scroll();
    wheel(0, -WHEEL_DELTA);
    EXPECT_TRUE(WaitUntil([&] { return scroll().y == at.y + 3 * 2; })) << scroll().y - at.y;
    for (int half = 0; half < 2; ++half) wheel(MK_SHIFT, -WHEEL_DELTA / 2);
    EXPECT_TRUE(WaitUntil([&] { return scroll().x == at.x + 3 * 2; })) << scroll().x - at.x;

    LoadPicture(path);
    EXPECT_EQ(std::pair(Doc().zoom, Checked(IDM_ZOOM_100)), std::pair(1, true));
    Command(IDM_ZOOM_1600);
    Command(IDM_NEW);
    EXPECT_EQ(Doc().zoom, 1);
}

}  // namespace
