// Picking the mask colour, entering it, the background colour with its reload
// question, and the custom colours shared through the registry.
#include <windows.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "editor_fixture.h"
#include "picture_fixtures.h"
#include "res/resource_ids.h"

namespace {

const COLORREF kBlue = RGB(0, 0, 255);

// Presses and releases a mouse button at a screen point, as the user's mouse does.
void ClickAtScreen(POINT point, bool right = false) {
    SetCursorPos(point.x, point.y);
    INPUT input[2]{};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

class ColoursTest : public EditorTest {
protected:
    bool InPickMode() {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(editorWindow_.threadId, &info) && info.hwndCapture == editorWindow_.hwnd;
    }
    void StartPicking() {
        Command(IDM_PICK_MASK);
        ASSERT_TRUE(InPickMode());
    }
    // A click at a client point of the editor; waits until pick mode has ended.
    void ClickClient(int x, int y, bool right = false) {
        POINT point = {x, y};
        ClientToScreen(editorWindow_.hwnd, &point);
        ClickAtScreen(point, right);
        EXPECT_TRUE(WaitUntil([&] { return !InPickMode(); }));
        Idle();
    }
    // Colour of picture pixel (x, y) in the big test picture.
    static COLORREF Patterned(int x, int y) { return RGB(x & 0xFF, y & 0xFF, (x >> 8) | (y >> 8) << 4); }
};

TEST_F(ColoursTest, PickingOnAScrolledViewTakesThePixelUnderTheCursor) {
    const std::string path = TemporaryPath("patterned.bmp");
    ASSERT_TRUE(WriteBmpFile(path, 1500, 1200, Patterned));
    LoadPicture(path);
    SendMessageA(editorWindow_.hwnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 100), 0);
    SendMessageA(editorWindow_.hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 200), 0);
    StartPicking();
    ClickClient(10, 20);
    EXPECT_EQ(state_->maskColor, Patterned(110, 220));
    ASSERT_NE(state_->hrgnCurrent, nullptr);
    EXPECT_FALSE(PtInRegion(state_->hrgnCurrent, 110, 220));
    EXPECT_TRUE(PtInRegion(state_->hrgnCurrent, 10, 20));
    EXPECT_TRUE(PtInRegion(state_->hrgnCurrent, 0, 1200)) << "the strip below the picture";
    // No region file yet: Save stays grayed, Save as and View raw data open up.
    EXPECT_TRUE(IsMenuItemGrayed(Menu(), IDM_SAVE));
    EXPECT_FALSE(IsMenuItemGrayed(Menu(), IDM_SAVE_AS));
    EXPECT_FALSE(IsMenuItemGrayed(Menu(), IDM_VIEW_RAW_DATA));
}

TEST_F(ColoursTest, RightClicksClicksBesideThePictureAndOnTheCaptionPickNothing) {
    LoadPicture(TestDataPath("transparent.gif"));  // 40 x 30 in a window at least 280 wide
    const COLORREF before = state_->maskColor;
    StartPicking();
    ClickClient(5, 5, true);
    StartPicking();
    ClickClient(200, 10);
    StartPicking();
    RECT window{};
    GetWindowRect(editorWindow_.hwnd, &window);
    ClickAtScreen({window.left + 60, window.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2});
    EXPECT_TRUE(WaitUntil([&] { return !InPickMode(); }));
    Idle();
    EXPECT_EQ(state_->maskColor, before);
    EXPECT_EQ(state_->hrgnCurrent, nullptr);
    // Outside pick mode a click does nothing at all.
    POINT point = {5, 5};
    ClientToScreen(editorWindow_.hwnd, &point);
    ClickAtScreen(point);
    Idle();
    EXPECT_EQ(state_->hrgnCurrent, nullptr);
}

TEST_F(ColoursTest, PickModeShowsTheBarePictureAndTheCrossPointer) {
    LoadPicture(TestDataPath("transparent.gif"));
    AnswerColourDialog(IDM_ENTER_MASK_RGB, kBlue);  // region: rows 10 and below
    Idle();
    HWND hwnd = editorWindow_.hwnd;
    SettleWindow(hwnd);
    HDC dc = GetDC(hwnd);
    const COLORREF hatched = GetPixel(dc, 20, 15);
    EXPECT_TRUE(hatched == GetSysColor(COLOR_BTNFACE) || hatched == GetSysColor(COLOR_BTNTEXT));
    StartPicking();
    SettleWindow(hwnd);
    const COLORREF bare = GetPixel(dc, 20, 25);
    EXPECT_EQ(bare, RGB(0, 255, 0));
    SendMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(20, 25));
    CURSORINFO shown{};
    shown.cbSize = sizeof shown;
    GetCursorInfo(&shown);
    EXPECT_EQ(shown.hCursor, LoadCursorA(nullptr, IDC_CROSS));
    ReleaseDC(hwnd, dc);
    ClickClient(5, 5, true);
}

TEST_F(ColoursTest, EnteredMaskColourBuildsTheRegionAndFollowsTheFileNameRule) {
    LoadPicture(TestDataPath("transparent.gif"));
    lstrcpyA(state_->regionFileName, TemporaryPath("kept.rgn").c_str());
    AnswerColourDialog(IDM_ENTER_MASK_RGB, kBlue);
    Idle();
    EXPECT_EQ(state_->maskColor, kBlue);
    RECT box = RegionBox();
    EXPECT_EQ(box.top, 10);
    EXPECT_EQ(box.bottom, 31);
    EXPECT_FALSE(IsMenuItemGrayed(Menu(), IDM_SAVE)) << "a region file name is known";
    // Cancelled: nothing changes.
    HRGN region = state_->hrgnCurrent;
    AnswerColourDialog(IDM_ENTER_MASK_RGB, RGB(1, 2, 3), false);
    Idle();
    EXPECT_EQ(state_->maskColor, kBlue);
    EXPECT_EQ(state_->hrgnCurrent, region);
}

TEST_F(ColoursTest, AConfirmedBackgroundOffersToReloadOnlyWithAPictureFileName) {
    const COLORREF yellow = RGB(255, 255, 0);
    LoadPicture(TestDataPath("transparent.gif"));
    AnswerColourDialog(IDM_BACKGROUND_COLOR, yellow);
    EXPECT_EQ(AnswerBox("Warning", IDNO),
              "The background color has changed. If the image is a transparent GIF or PNG it should be reloaded.\r\n"
              "Reload the image?");
    EXPECT_EQ(state_->backgroundColor, yellow);
    HWND hwnd = editorWindow_.hwnd;
    SettleWindow(hwnd);
    HDC dc = GetDC(hwnd);
    EXPECT_EQ(GetPixel(dc, 20, 15), GetSysColor(COLOR_BTNFACE)) << "not reloaded: old background in the picture";
    EXPECT_EQ(GetPixel(dc, 200, 15), yellow) << "around the picture: the new colour";
    AnswerColourDialog(IDM_BACKGROUND_COLOR, yellow);
    AnswerBox("Warning", IDYES);
    SettleWindow(hwnd);
    EXPECT_EQ(GetPixel(dc, 20, 15), yellow) << "reloaded onto the new colour";
    ReleaseDC(hwnd, dc);

    // No picture file name (New forgets it): no question.
    Command(IDM_NEW);
    AnswerColourDialog(IDM_BACKGROUND_COLOR, RGB(1, 1, 1));
    Idle();
    EXPECT_FALSE(BoxIsUp("Warning"));
    EXPECT_EQ(state_->backgroundColor, RGB(1, 1, 1));
}

// Every pixel of the editor's picture is the fixture's colour over `background`.
void ExpectComposedPicture(HBITMAP picture, int size, COLORREF background, const char* name) {
    const Pixels pixels = ReadPixels(picture);
    ASSERT_EQ(pixels.width, size ? size : 10) << name;
    ASSERT_EQ(pixels.height, size ? size : 7) << name;
    int wrong = 0;
    for (int y = 0; y < pixels.height; ++y)
        for (int x = 0; x < pixels.width; ++x)
            wrong += pixels.at(x, y) != ComposedOver(FixtureColour(x, y), background, FixtureAlpha(x, y));
    EXPECT_EQ(wrong, 0) << name;
}

TEST_F(ColoursTest, PngTiffAndIconsLoadOverTheBackgroundAndReloadOntoANewOne) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    for (auto [name, size] : {std::pair<const char*, int>{"rgba.tif", 0}, {"icon.ico", 32}, {"rgba8.png", 0}}) {
        LoadPicture(TestDataPath((std::string("wic\\") + name).c_str()));
        ExpectComposedPicture(state_->hbmImage, size, face, name);
    }
    HWND hwnd = editorWindow_.hwnd;
    SettleWindow(hwnd);
    HDC dc = GetDC(hwnd);
    EXPECT_EQ(GetPixel(dc, 1, 0), face) << "a transparent pixel shows the background";
    EXPECT_EQ(GetPixel(dc, 2, 0), ComposedOver(FixtureColour(2, 0), face, 128));
    ReleaseDC(hwnd, dc);

    const COLORREF teal = RGB(0, 128, 128);
    AnswerColourDialog(IDM_BACKGROUND_COLOR, teal);
    AnswerBox("Warning", IDYES);
    Idle();
    ExpectComposedPicture(state_->hbmImage, 0, teal, "rgba8.png reloaded");
}

class CustomColoursTest : public ColoursTest {
protected:
    void SetRegistryValue(const std::vector<BYTE>& bytes) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Appearance", 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "CustomColors", 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
    }
    std::vector<BYTE> RegistryValue() {
        BYTE data[256];
        DWORD size = sizeof data, type = 0;
        if (RegGetValueA(HKEY_CURRENT_USER, "Control Panel\\Appearance", "CustomColors", RRF_RT_ANY, &type, data,
                         &size) != ERROR_SUCCESS)
            return {};
        return std::vector<BYTE>(data, data + size);
    }
};

TEST_F(CustomColoursTest, TheRegistryValueReplacesAsManyColoursAsItHolds) {
    for (size_t length : {0u, 20u, 64u, 100u}) {
        for (int i = 0; i < 16; ++i) state_->customColors[i] = 0x00AA0000u + i;
        std::vector<BYTE> value(length);
        for (size_t i = 0; i < length; ++i) value[i] = static_cast<BYTE>(i + 1);
        SetRegistryValue(value);
        AnswerColourDialog(IDM_BACKGROUND_COLOR, 0, false);  // read, but nothing written back
        Idle();
        for (int i = 0; i < 16; ++i) {
            COLORREF expected = 0x00AA0000u + i;
            if (static_cast<size_t>(i + 1) * 4 <= length) std::memcpy(&expected, value.data() + 4 * i, 4);
            ASSERT_EQ(state_->customColors[i], expected) << "value of " << length << " bytes, colour " << i;
        }
        EXPECT_EQ(RegistryValue().size(), length);
    }
    // Confirmed: the 16 colours go back as 64 bytes.
    AnswerColourDialog(IDM_BACKGROUND_COLOR, RGB(9, 8, 7));
    Idle();
    const std::vector<BYTE> written = RegistryValue();
    ASSERT_EQ(written.size(), 64u);
    EXPECT_EQ(std::memcmp(written.data(), state_->customColors, 64), 0);
}

}  // namespace
