// The editor window through a document's life: which commands are offered,
// what Exit releases and what outlives one window; the tinted caption icon.
#include <windows.h>

#include <string>
#include <vector>

#include "dialog_driver.h"
#include "editor_fixture.h"
#include "res/resource_ids.h"

namespace {

class EditorWindowTest : public EditorTest {
protected:
    // Commands offered, among the seven that need a picture or a region (in this order).
    std::string Offered() {
        std::string offered;
        for (UINT id : {IDM_SAVE, IDM_SAVE_AS, IDM_IMAGE_INFO, IDM_PICK_MASK, IDM_ENTER_MASK_RGB, IDM_VIEW_RAW_DATA,
                        IDM_PREVIEW})
            offered += IsMenuItemGrayed(Menu(), id) ? '-' : 'x';
        for (UINT id : {IDM_NEW, IDM_OPEN, IDM_EXIT, IDM_LOAD_IMAGE, IDM_BACKGROUND_COLOR, IDM_VIEW_HIDE, IDM_VIEW_MASK,
                        IDM_VIEW_TRANSPARENCY, IDM_README, IDM_ABOUT})
            if (IsMenuItemGrayed(Menu(), id)) offered += " grayed " + std::to_string(id);
        return offered;
    }
    void ExpectEmpty(const char* step) {
        EXPECT_EQ(WindowText(editorWindow_.hwnd), "Pellform - [Untitled]") << step;
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(editorWindow_.hwnd, IDC_NO_PICTURE))) << step;
        EXPECT_FALSE(GetWindowLongA(editorWindow_.hwnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) << step;
        EXPECT_EQ(Offered(), "-------") << step;
    }
};

TEST_F(EditorWindowTest, ADocumentsCommandsAreOfferedWhenTheyHaveWhatTheyNeedAndOnlyNewForgetsColorsAndNames) {
    const std::string picture = TestDataPath("transparent.gif"), file = TemporaryPath("offered.rgn");
    DeleteFileA(file.c_str());  // Save As would ask before replacing it
    auto remembered = [&](bool kept) {
        EXPECT_EQ(state_->maskColor, kept ? RGB(0, 255, 0) : 0xFFFFFFFFu);
        EXPECT_EQ(state_->backgroundColor, kept ? RGB(4, 5, 6) : 0xFFFFFFFFu);
        EXPECT_EQ(state_->regionFileName, kept ? file : "");
        EXPECT_EQ(state_->imageFileName, kept ? picture : "");
    };
    // Colors and names outlive the window, the picture and region do not. (The leak cycle ends with New, so
    // only here is Exit seen deleting them.)
    auto exit = [&] {
        const HGDIOBJ bitmap = state_->hbmImage, region = state_->hrgnCurrent;
        CloseEditor(editorWindow_);
        EXPECT_FALSE(GetObjectType(bitmap) || GetObjectType(region)) << "Exit must delete them";
        editorWindow_ = OpenEditor();
        remembered(true);
    };
    auto enterMask = [&](COLORREF mask) { AnswerColourDialog(IDM_ENTER_MASK_RGB, mask), Idle(); };
    // Offered: Save, Save as, Info, Pick, Enter, Raw data, Preview.
    const struct { const char* step; std::function<void()> action; const char* offered; } steps[] = {
        {"fresh", [] {}, "-------"},
        {"New when empty", [&] { Command(IDM_NEW); }, "-------"},
        {"picture", [&] { LoadPicture(picture); }, "--xxx--"},
        {"region", [&] { enterMask(RGB(0, 0, 255)); }, "-xxxxxx"},
        {"saved", [&] { ChooseFile(IDM_SAVE_AS, "Save As", file), Idle(); }, "xxxxxxx"},
        {"background", [&] { AnswerColourDialog(IDM_BACKGROUND_COLOR, RGB(4, 5, 6)), AnswerBox("Warning", IDNO); },
         "xxxxxxx"},
        {"mask with a file name", [&] { enterMask(RGB(0, 255, 0)); }, "xxxxxxx"},
        {"a next editor", exit, "-------"},
        {"picture there", [&] { LoadPicture(picture); }, "--xxx--"},
        {"region there", [&] { enterMask(RGB(0, 255, 0)); }, "xxxxxxx"},
        {"New", [&] { Command(IDM_NEW), remembered(false); }, "-------"},
        {"region file alone", [&] { ChooseFile(IDM_OPEN, "Open", file), Idle(); }, "xx---x-"},
        {"picture again", [&] { LoadPicture(picture); }, "xxxxxxx"},
    };
    for (const auto& step : steps) {
        step.action();
        EXPECT_EQ(Offered(), step.offered) << step.step;
        if (step.offered == std::string("-------")) ExpectEmpty(step.step);
        if (std::string(step.step) == "region file alone") {
            // Sent anyway, Info and Preview open nothing without a picture.
            Command(IDM_IMAGE_INFO);
            Command(IDM_PREVIEW);
            EXPECT_EQ(FindDialogNow(editorWindow_.threadId, nullptr), nullptr);
        }
    }
}

// The colors of an icon's pixels.
std::vector<COLORREF> IconPixels(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return {};
    std::vector<COLORREF> pixels = ReadPixels(info.hbmColor).values;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return pixels;
}

// How a pixel is tinted is checked natively; here, which caption color the shown icon follows.
TEST_F(EditorWindowTest, TheSmallIconIsTintedWithTheCaptionColorOfTheActivationState) {
    HWND hwnd = editorWindow_.hwnd;
    auto tinted = [&](int element) {
        HICON expected = probe_->makeTintedIcon(host_.addIn, IDI_EDITOR, GetSysColor(element));
        const std::vector<COLORREF> pixels = IconPixels(expected);
        DestroyIcon(expected);
        return WaitUntil([&] {
            return IconPixels(reinterpret_cast<HICON>(SendMessageA(hwnd, WM_GETICON, ICON_SMALL, 0))) == pixels;
        });
    };
    ASSERT_NE(GetSysColor(COLOR_ACTIVECAPTION), GetSysColor(COLOR_INACTIVECAPTION));
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == hwnd; }));
    EXPECT_TRUE(tinted(COLOR_ACTIVECAPTION));
    SetForegroundWindow(host_.frame);
    EXPECT_TRUE(tinted(COLOR_INACTIVECAPTION));
    SetForegroundWindow(hwnd);
    EXPECT_TRUE(tinted(COLOR_ACTIVECAPTION));
    // A changed system color is followed (not every wine broadcasts it, so we do).
    const INT element = COLOR_ACTIVECAPTION;
    const COLORREF original = GetSysColor(element);
    const COLORREF changed = original == RGB(200, 30, 90) ? RGB(10, 200, 40) : RGB(200, 30, 90);
    ASSERT_TRUE(SetSysColors(1, &element, &changed));
    SendMessageA(hwnd, WM_SYSCOLORCHANGE, 0, 0);
    const bool followed = tinted(COLOR_ACTIVECAPTION);
    SetSysColors(1, &element, &original);
    EXPECT_TRUE(followed);
    // Activated while minimized, the window shows the inactive tint.
    SendMessageA(hwnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(IsIconic(hwnd));
    SendMessageA(hwnd, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(tinted(COLOR_INACTIVECAPTION));
}

}  // namespace
