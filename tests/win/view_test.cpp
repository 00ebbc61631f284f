// What the view paints: the picture on the background and the three overlays,
// read back pixel by pixel; and fitting, sizing and scrolling the real window.
#include <windows.h>

#include <algorithm>
#include <utility>

#include "editor/image_view.h"
#include "editor_fixture.h"
#include "res/resource_ids.h"

namespace {

// Picture pixel (x, y) has its own color, so a shifted blit shows.
COLORREF PicturePixel(int x, int y) { return RGB(100 + x, 50 + y, 7); }

class ComposeViewTest : public ProbeTest {};

TEST_F(ComposeViewTest, PictureAtTopLeftWithTheRegionIgnoredHatchedOrCuttingItOut) {
    const COLORREF background = RGB(10, 200, 30), face = GetSysColor(COLOR_BTNFACE), text = GetSysColor(COLOR_BTNTEXT);
    HBITMAP picture = MakeBitmap(20, 10, PicturePixel);
    // Regions beyond the picture, with a box larger than themselves, empty, and scrolled (in picture coordinates).
    const struct { Overlay overlay; RECT rects[2]; int scrollX, scrollY; } cases[] = {
        {Overlay::None, {{2, 2, 8, 8}, {}}, 0, 0}, {Overlay::Mask, {{5, 5, 30, 30}, {}}, 0, 0}, {Overlay::Mask, {}, 0, 0},
        {Overlay::Transparency, {{2, 2, 6, 6}, {10, 4, 30, 8}}, 0, 0}, {Overlay::Transparency, {}, 0, 0},
        {Overlay::Transparency, {{5, 4, 9, 7}, {}}, 3, 2}};
    int before = -1;
    for (const auto& c : cases) {
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        for (const RECT& r : c.rects) {
            HRGN part = CreateRectRgnIndirect(&r);
            CombineRgn(region, region, part, RGN_OR);
            DeleteObject(part);
        }
        ViewContent content;
        content.picture = picture, content.width = 20, content.height = 10, content.background = background;
        content.region = region, content.overlay = c.overlay, content.scrollX = c.scrollX, content.scrollY = c.scrollY;
        HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
        HBITMAP target = CreateCompatibleBitmap(screen, 50, 40);
        HGDIOBJ previous = SelectObject(memory, target);
        probe_->composeView(memory, RECT{0, 0, 50, 40}, content);
        SelectObject(memory, previous);
        const Pixels pixels = ReadPixels(target);
        DeleteObject(target), DeleteDC(memory), ReleaseDC(nullptr, screen);
        int hatched[2] = {};
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 50; ++x) {
                const int px = x + c.scrollX, py = y + c.scrollY;
                const bool inRegion = PtInRegion(region, px, py);
                const COLORREF bare = px < 20 && py < 10 ? PicturePixel(px, py) : background, pixel = pixels.at(x, y);
                if (c.overlay == Overlay::Mask && inRegion) {
                    ASSERT_TRUE(pixel == face || pixel == text) << x << "," << y;
                    ++hatched[pixel == text];
                } else {
                    ASSERT_EQ(pixel, c.overlay == Overlay::Transparency && !inRegion ? background : bare) << x << "," << y;
                }
            }
        EXPECT_TRUE(c.overlay != Overlay::Mask || !c.rects[0].right || (hatched[0] && hatched[1]));
        RECT box{};
        GetRgnBox(region, &box);
        EXPECT_EQ(box.left, c.rects[0].left) << "the stored region is not moved";
        DeleteObject(region);
        if (before < 0) before = CountGdiObjects();
    }
    EXPECT_EQ(CountGdiObjects(), before);
    DeleteObject(picture);
}

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
    SettleWindow(hwnd);
    HDC dc = GetDC(hwnd);
    EXPECT_EQ(GetPixel(dc, 5, 7), RGB(5, 7, 77));
    EXPECT_EQ(GetPixel(dc, 499, 359), RGB(499 & 0xFF, 359 & 0xFF, 77));
    ReleaseDC(hwnd, dc);
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
    EXPECT_EQ(limits.ptMinTrackSize.y, 2 * (GetSystemMetrics(SM_CYMENU) + GetSystemMetrics(SM_CYCAPTION)));

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
        const UINT message = bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL;
        const int range = Range(bar);
        auto scroll = [&](WORD request, WORD position) { return SendMessageA(hwnd, message, MAKEWPARAM(request, position), 0), GetScrollPos(hwnd, bar); };
        // A page is the client height for both bars.
        const int steps[][3] = {{SB_LINEDOWN, 0, 1}, {SB_LINEDOWN, 0, 2}, {SB_LINEUP, 0, 1}, {SB_PAGEDOWN, 0, std::min(range, 1 + static_cast<int>(client.bottom))},
                                {SB_TOP, 0, 0}, {SB_LINEUP, 0, 0}, {SB_PAGEUP, 0, 0}, {SB_THUMBTRACK, 37, 37}, {SB_THUMBPOSITION, 60000, range},
                                {SB_ENDSCROLL, 0, range}, {SB_TOP, 0, 0}, {SB_BOTTOM, 0, range}, {SB_LINEDOWN, 0, range}};
        for (const auto& step : steps)
            EXPECT_EQ(scroll(static_cast<WORD>(step[0]), static_cast<WORD>(step[1])), step[2]) << bar << " " << step[0];
    }
}

TEST_F(EditorViewTest, OverlayCommandsMoveTheCheckAndRepaintOnlyOnAChange) {
    LoadPicture(TestDataPath("transparent.gif"));
    HWND hwnd = editorWindow_.hwnd;
    // A pixel drawn behind the editor's back survives exactly as long as the view is not repainted.
    const std::pair<UINT, bool> steps[] = {{IDM_VIEW_MASK, false}, {IDM_VIEW_TRANSPARENCY, true}, {IDM_VIEW_TRANSPARENCY, false}, {IDM_VIEW_HIDE, true}, {IDM_NEW, true}};
    for (const auto& [command, repainted] : steps) {
        SettleWindow(hwnd);
        HDC window = GetDC(hwnd);
        SetPixel(window, 3, 3, RGB(255, 0, 255));
        Command(command);
        SettleWindow(hwnd);
        EXPECT_EQ(GetPixel(window, 3, 3) != RGB(255, 0, 255), repainted) << command;
        ReleaseDC(hwnd, window);
        for (UINT id : {IDM_VIEW_HIDE, IDM_VIEW_MASK, IDM_VIEW_TRANSPARENCY})  // New keeps the overlay
            EXPECT_EQ(IsMenuItemChecked(Menu(), id), id == (command == IDM_NEW ? IDM_VIEW_HIDE : command)) << command;
    }
}

}  // namespace
