// What the view paints: the picture on the background and the three overlays,
// read back pixel by pixel; and scrolling and sizing through the real window.
#include <windows.h>

#include "editor/editor_state.h"
#include "editor/image_view.h"
#include "harness.h"
#include "res/resource_ids.h"

namespace {

const COLORREF kBackground = RGB(10, 200, 30);

// Picture pixel (x, y) has its own colour, so a shifted blit shows.
COLORREF PicturePixel(int x, int y) { return RGB(100 + x, 50 + y, 7); }

class ComposeViewTest : public ProbeTest {
protected:
    void SetUp() override {
        ProbeTest::SetUp();
        picture_ = MakeBitmap(20, 10, PicturePixel);
        content_.picture = picture_;
        content_.width = 20;
        content_.height = 10;
        content_.background = kBackground;
    }
    void TearDown() override {
        DeleteObject(picture_);
        ProbeTest::TearDown();
    }
    // Composes a 50 x 40 view into a bitmap and reads it back.
    Pixels Compose() {
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP target = CreateCompatibleBitmap(screen, 50, 40);
        HGDIOBJ previous = SelectObject(memory, target);
        const RECT area = {0, 0, 50, 40};
        probe_->composeView(memory, area, content_);
        SelectObject(memory, previous);
        Pixels pixels = ReadPixels(target);
        DeleteObject(target);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return pixels;
    }
    static bool InPicture(int x, int y) { return x < 20 && y < 10; }

    HBITMAP picture_ = nullptr;
    ViewContent content_;
};

TEST_F(ComposeViewTest, PictureAtTopLeftOnTheBackgroundAndHideShowsItBare) {
    HRGN region = CreateRectRgn(2, 2, 8, 8);
    for (Overlay overlay : {Overlay::None, Overlay::Mask}) {
        content_.overlay = overlay;
        content_.region = overlay == Overlay::None ? region : nullptr;
        Pixels pixels = Compose();
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 50; ++x)
                ASSERT_EQ(pixels.at(x, y), InPicture(x, y) ? PicturePixel(x, y) : kBackground) << x << "," << y;
    }
    DeleteObject(region);
}

TEST_F(ComposeViewTest, MaskHatchesExactlyTheRegionAlsoOutsideThePicture) {
    HRGN region = CreateRectRgn(5, 5, 30, 30);  // reaches beyond the 20 x 10 picture
    content_.region = region;
    content_.overlay = Overlay::Mask;
    Pixels pixels = Compose();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    int faces = 0, texts = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x) {
            const COLORREF pixel = pixels.at(x, y);
            if (PtInRegion(region, x, y)) {
                ASSERT_TRUE(pixel == face || pixel == text) << x << "," << y;
                (pixel == face ? faces : texts)++;
            } else {
                ASSERT_EQ(pixel, InPicture(x, y) ? PicturePixel(x, y) : kBackground) << x << "," << y;
            }
        }
    EXPECT_GT(faces, 0);
    EXPECT_GT(texts, 0);
    DeleteObject(region);
}

TEST_F(ComposeViewTest, TransparencyShowsThePictureOnlyInsideTheRegion) {
    // Two rectangles: the box of the region is larger than the region itself.
    HRGN region = CreateRectRgn(2, 2, 6, 6);
    HRGN second = CreateRectRgn(10, 4, 30, 8);
    CombineRgn(region, region, second, RGN_OR);
    DeleteObject(second);
    content_.region = region;
    content_.overlay = Overlay::Transparency;
    Pixels pixels = Compose();
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x) {
            const bool shown = PtInRegion(region, x, y) && InPicture(x, y);
            ASSERT_EQ(pixels.at(x, y), shown ? PicturePixel(x, y) : kBackground) << x << "," << y;
        }
    DeleteObject(region);
}

TEST_F(ComposeViewTest, AnEmptyRegionBlanksThePictureInTransparencyAndHatchesNothingInMask) {
    HRGN empty = CreateRectRgn(0, 0, 0, 0);
    content_.region = empty;
    content_.overlay = Overlay::Transparency;
    Pixels blank = Compose();
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x) ASSERT_EQ(blank.at(x, y), kBackground) << x << "," << y;
    content_.overlay = Overlay::Mask;
    Pixels bare = Compose();
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(bare.at(x, y), PicturePixel(x, y)) << x << "," << y;
    DeleteObject(empty);
}

TEST_F(ComposeViewTest, AScrolledViewDrawsThePictureAndTheRegionShifted) {
    content_.scrollX = 3;
    content_.scrollY = 2;
    HRGN region = CreateRectRgn(5, 4, 9, 7);  // picture coordinates
    content_.region = region;
    content_.overlay = Overlay::Transparency;
    Pixels pixels = Compose();
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 50; ++x) {
            const int px = x + 3, py = y + 2;
            const bool shown = InPicture(px, py) && PtInRegion(region, px, py);
            ASSERT_EQ(pixels.at(x, y), shown ? PicturePixel(px, py) : kBackground) << x << "," << y;
        }
    // The stored region was not moved.
    RECT box{};
    GetRgnBox(region, &box);
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.top, 4);
    DeleteObject(region);
}

TEST_F(ComposeViewTest, ComposingLeaksNoGdiObjects) {
    HRGN region = CreateRectRgn(1, 1, 15, 8);
    content_.region = region;
    Compose();
    const int before = CountGdiObjects();
    for (Overlay overlay : {Overlay::None, Overlay::Mask, Overlay::Transparency}) {
        content_.overlay = overlay;
        Compose();
    }
    EXPECT_EQ(CountGdiObjects(), before);
    DeleteObject(region);
}

// The real window, with a picture handed to the editor state while it is idle.
class EditorViewTest : public ProbeTest {
protected:
    EditorWindow OpenWithPicture(int width, int height) {
        EditorWindow editorWindow = OpenEditor();
        if (!editorWindow.hwnd) return editorWindow;
        EditorState* state = probe_->state;
        state->hbmImage = MakeBitmap(width, height, [](int x, int y) { return RGB(x & 0xFF, y & 0xFF, 77); });
        GetObjectA(state->hbmImage, sizeof state->imageInfo, &state->imageInfo);
        ShowWindow(GetDlgItem(editorWindow.hwnd, IDC_NO_PICTURE), SW_HIDE);
        // A size message sets the ranges, as after a load.
        RECT client{};
        GetClientRect(editorWindow.hwnd, &client);
        SendMessageA(editorWindow.hwnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
        return editorWindow;
    }
    static int Range(HWND hwnd, int bar) {
        int low = 0, high = 0;
        GetScrollRange(hwnd, bar, &low, &high);
        return high;
    }
};

TEST_F(EditorViewTest, ScrollRequestsMoveByLinePageThumbAndEndAndStayInRange) {
    EditorWindow editorWindow = OpenWithPicture(1000, 900);
    ASSERT_NE(editorWindow.hwnd, nullptr);
    HWND hwnd = editorWindow.hwnd;
    RECT client{};
    GetClientRect(hwnd, &client);
    const int rangeX = Range(hwnd, SB_HORZ), rangeY = Range(hwnd, SB_VERT);
    ASSERT_GT(rangeX, 0);
    ASSERT_GT(rangeY, 0);
    for (int bar : {SB_HORZ, SB_VERT}) {
        const UINT message = bar == SB_HORZ ? WM_HSCROLL : WM_VSCROLL;
        const int range = bar == SB_HORZ ? rangeX : rangeY;
        auto scroll = [&](WORD request, WORD position = 0) {
            SendMessageA(hwnd, message, MAKEWPARAM(request, position), 0);
            return GetScrollPos(hwnd, bar);
        };
        EXPECT_EQ(scroll(SB_LINEDOWN), 1);
        EXPECT_EQ(scroll(SB_LINEDOWN), 2);
        EXPECT_EQ(scroll(SB_LINEUP), 1);
        // A page is the client height for both bars.
        EXPECT_EQ(scroll(SB_PAGEDOWN), std::min(range, 1 + static_cast<int>(client.bottom)));
        EXPECT_EQ(scroll(SB_TOP), 0);
        EXPECT_EQ(scroll(SB_LINEUP), 0);
        EXPECT_EQ(scroll(SB_PAGEUP), 0);
        EXPECT_EQ(scroll(SB_THUMBTRACK, 37), 37);
        EXPECT_EQ(scroll(SB_THUMBPOSITION, 60000), range);
        EXPECT_EQ(scroll(SB_ENDSCROLL), range);
        EXPECT_EQ(scroll(SB_TOP), 0);
        EXPECT_EQ(scroll(SB_BOTTOM), range);
        EXPECT_EQ(scroll(SB_LINEDOWN), range);
    }
}

TEST_F(EditorViewTest, SizingSetsRangesIgnoresMinimizingAndRepaintsThePicture) {
    EditorWindow editorWindow = OpenWithPicture(600, 500);
    ASSERT_NE(editorWindow.hwnd, nullptr);
    HWND hwnd = editorWindow.hwnd;
    SetWindowPos(hwnd, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_GT(Range(hwnd, SB_HORZ), 0);
    EXPECT_GT(Range(hwnd, SB_VERT), 0);
    SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
    const int before = Range(hwnd, SB_VERT);
    SendMessageA(hwnd, WM_SIZE, SIZE_MINIMIZED, 0);
    EXPECT_EQ(Range(hwnd, SB_VERT), before);

    // Large enough for the whole picture: no bars, positions back at 0.
    SetWindowPos(hwnd, nullptr, 0, 0, 900, 800, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(Range(hwnd, SB_HORZ), 0);
    EXPECT_EQ(Range(hwnd, SB_VERT), 0);
    EXPECT_EQ(GetScrollPos(hwnd, SB_VERT), 0);
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    EXPECT_FALSE(style & (WS_HSCROLL | WS_VSCROLL));

    // Minimum tracking size while a picture is loaded.
    MINMAXINFO limits{};
    SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, 280);
    EXPECT_EQ(limits.ptMinTrackSize.y, 2 * (GetSystemMetrics(SM_CYMENU) + GetSystemMetrics(SM_CYCAPTION)));

    // What WM_PAINT put on the screen: the picture at the top-left.
    InvalidateRect(hwnd, nullptr, TRUE);
    SettleWindow(hwnd);
    HDC window = GetDC(hwnd);
    EXPECT_EQ(GetPixel(window, 5, 7), RGB(5, 7, 77));
    EXPECT_EQ(GetPixel(window, 599, 499), RGB(599 & 0xFF, 499 & 0xFF, 77));
    ReleaseDC(hwnd, window);
}

TEST_F(EditorViewTest, WithoutAPictureSizingCentresTheTextAndSetsNoMinimum) {
    EditorWindow editorWindow = OpenEditor();
    ASSERT_NE(editorWindow.hwnd, nullptr);
    HWND hwnd = editorWindow.hwnd;
    SetWindowPos(hwnd, nullptr, 0, 0, 517, 333, SWP_NOMOVE | SWP_NOZORDER);
    RECT client{};
    GetClientRect(hwnd, &client);
    RECT text{};
    GetWindowRect(GetDlgItem(hwnd, IDC_NO_PICTURE), &text);
    MapWindowPoints(nullptr, hwnd, reinterpret_cast<POINT*>(&text), 2);
    EXPECT_EQ(text.left, (client.right - (text.right - text.left)) >> 1);
    EXPECT_EQ(text.top, (client.bottom - (text.bottom - text.top)) >> 1);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(hwnd, IDC_NO_PICTURE)));
    MINMAXINFO limits{};
    limits.ptMinTrackSize = {1, 1};
    EXPECT_EQ(SendMessageA(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits)), 0);
    // Scroll requests are ignored without a picture.
    SendMessageA(hwnd, WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    EXPECT_EQ(GetScrollPos(hwnd, SB_VERT), 0);
}

TEST_F(EditorViewTest, OverlayCommandsRepaintOnlyOnAChange) {
    EditorWindow editorWindow = OpenWithPicture(100, 80);
    ASSERT_NE(editorWindow.hwnd, nullptr);
    HWND hwnd = editorWindow.hwnd;
    const COLORREF scribble = RGB(255, 0, 255);
    // A pixel drawn behind the editor's back survives exactly as long as the
    // view is not repainted.
    auto scribbleSurvives = [&](UINT command) {
        SettleWindow(hwnd);
        HDC window = GetDC(hwnd);
        SetPixel(window, 3, 3, scribble);
        SendMessageA(hwnd, WM_COMMAND, command, 0);
        SettleWindow(hwnd);
        const bool survived = GetPixel(window, 3, 3) == scribble;
        ReleaseDC(hwnd, window);
        return survived;
    };
    EXPECT_TRUE(scribbleSurvives(IDM_VIEW_MASK));  // already checked
    EXPECT_FALSE(scribbleSurvives(IDM_VIEW_TRANSPARENCY));
    EXPECT_TRUE(scribbleSurvives(IDM_VIEW_TRANSPARENCY));
    EXPECT_FALSE(scribbleSurvives(IDM_VIEW_HIDE));
}

}  // namespace
