// The editor window through a document's life: which commands are offered,
// what Exit releases and what outlives one window.
#include <windows.h>

#include <string>

#include "editor_fixture.h"
#include "res/resource_ids.h"

namespace {

class EditorWindowTest : public EditorTest {
protected:
    // Commands offered, among the seven that need a picture or a region (in this order), then the overlay checked.
    std::string Offered() {
        std::string offered;
        for (UINT id : {IDM_SAVE, IDM_SAVE_AS, IDM_IMAGE_INFO, IDM_PICK_MASK, IDM_ENTER_MASK_RGB, IDM_VIEW_RAW_DATA,
                        IDM_PREVIEW})
            offered += IsMenuItemGrayed(Menu(), id) ? '-' : 'x';
        for (UINT id : {IDM_NEW, IDM_OPEN, IDM_EXIT, IDM_LOAD_IMAGE, IDM_BACKGROUND_COLOR, IDM_VIEW_HIDE, IDM_VIEW_MASK,
                        IDM_VIEW_TRANSPARENCY, IDM_README, IDM_ABOUT})
            if (IsMenuItemGrayed(Menu(), id)) offered += " grayed " + std::to_string(id);
        for (UINT id : {IDM_VIEW_HIDE, IDM_VIEW_MASK, IDM_VIEW_TRANSPARENCY})
            if (GetMenuState(Menu(), id, MF_BYCOMMAND) & MF_CHECKED) offered += "hmt"[id - IDM_VIEW_HIDE];
        if (GetMenuState(Menu(), IDM_CONTIGUOUS_MASK, MF_BYCOMMAND) & MF_CHECKED) offered += 'c';
        return offered;
    }
};

TEST_F(EditorWindowTest, ADocumentsCommandsAreOfferedWhenTheyHaveWhatTheyNeedAndOnlyNewForgetsColorsAndNames) {
    const std::string picture = TestDataPath("transparent.gif"), file = TemporaryPath("offered.rgn");
    DeleteFileA(file.c_str());  // Save As would ask before replacing it
    auto remembered = [&](bool kept) {
        EXPECT_EQ(settings_->maskColor, kept ? RGB(0, 255, 0) : 0xFFFFFFFFu);
        EXPECT_EQ(settings_->backgroundColor, kept ? RGB(4, 5, 6) : 0xFFFFFFFFu);
        EXPECT_EQ(settings_->maskTolerance, kept ? 7 : 0);
        EXPECT_EQ(settings_->regionFileName, kept ? file : "");
        EXPECT_EQ(settings_->imageFileName, kept ? picture : "");
    };
    // Colors and names outlive the window, the picture and region do not. (The leak cycle ends with New, so
    // only here is Exit seen deleting them.)
    auto exit = [&](bool quit) {  // by Exit, or by a quit posted to its thread from outside
        const HGDIOBJ bitmap = Doc().hbmImage.get(), region = Doc().hrgnCurrent.get();
        if (quit) PostThreadMessageA(editorWindow_.threadId, WM_QUIT, 0, 0), WaitForThreadEnd(editorWindow_.threadId);
        CloseEditor(editorWindow_);
        EXPECT_EQ(std::pair(GetObjectType(bitmap), GetObjectType(region)), std::pair(0ul, 0ul)) << "Exit deletes them";
        editorWindow_ = OpenEditor();
        remembered(true);
    };
    auto withRegion = [&] { LoadPicture(picture), AnswerColorDialog(IDM_ENTER_MASK_RGB, RGB(0, 255, 0)), Idle(); };
    // Offered: Save, Save as, Info, Pick, Enter, Raw data, Preview; the overlay: Hide, Mask, Transparency. Every
    // window starts showing the mask; New keeps the overlay. Then c: "Contiguous mask" checked.
    const struct { const char* step; std::function<void()> action; const char* offered; } steps[] = {
        {"fresh", [] {}, "-------m"},
        {"picture", [&] { LoadPicture(picture); }, "--xxx--m"},
        {"region",
         [&] {
             AnswerColorDialog(IDM_ENTER_MASK_RGB, RGB(0, 255, 0)), AnswerToleranceDialog({"7"});
             Command(IDM_CONTIGUOUS_MASK);
         },
         "-xxxxxxmc"},
        {"saved", [&] { ChooseFile(IDM_SAVE_AS, "Save As", file), Command(IDM_VIEW_TRANSPARENCY); }, "xxxxxxxtc"},
        {"background", [&] { AnswerColorDialog(IDM_BACKGROUND_COLOR, RGB(4, 5, 6)), AnswerBox("Warning", IDNO); },
         "xxxxxxxtc"},
        {"a next editor", [&] { exit(false); }, "-------mc"},
        {"region there, named", [&] { withRegion(), Command(IDM_VIEW_HIDE); }, "xxxxxxxhc"},
        {"a next editor after a quit", [&] { exit(true), Command(IDM_VIEW_HIDE); }, "-------hc"},
        {"New", [&] { Command(IDM_NEW), remembered(false); }, "-------h"},
        {"region file alone", [&] { ChooseFile(IDM_OPEN, "Open", file), Idle(); }, "xx---x-h"},
    };
    for (const auto& step : steps) {
        step.action();
        EXPECT_EQ(Offered(), step.offered) << step.step;
        for (UINT id : {IDM_MASK_TOLERANCE, IDM_CONTIGUOUS_MASK})
            EXPECT_EQ(IsMenuItemGrayed(Menu(), id), IsMenuItemGrayed(Menu(), IDM_ENTER_MASK_RGB));
        if (std::string(step.offered).rfind("-------", 0) != 0) continue;
        EXPECT_EQ(WindowText(editorWindow_.hwnd), "Pellform - [Untitled]") << step.step;
        EXPECT_TRUE(IsWindowVisible(GetDlgItem(editorWindow_.hwnd, IDC_NO_PICTURE))) << step.step;
        EXPECT_FALSE(GetWindowLongA(editorWindow_.hwnd, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) << step.step;
    }
    // Sent anyway, Info and Preview open nothing without a picture.
    for (UINT id : {IDM_IMAGE_INFO, IDM_PREVIEW}) Command(id);
    EXPECT_EQ(FindDialogNow(editorWindow_.threadId, nullptr), nullptr);
}

}  // namespace
