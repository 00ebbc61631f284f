// The add-in as the host sees it: its menu item, the editor thread it starts and
// stops, unloading; and one leak check over every command.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <utility>

#include "editor_fixture.h"
#include "res/resource_ids.h"

namespace {

// The add-ins submenu as letters: h the host's own item, s a separator, f a
// foreign add-in's item, p ours (owner-drawn, its data the name to draw).
std::string Layout(HMENU menu, UINT ourId) {
    std::string layout;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_DATA;
        GetMenuItemInfoA(menu, i, TRUE, &info);
        const char* data = reinterpret_cast<const char*>(info.dwItemData);
        const bool ours = info.wID == ourId && (info.fType & MFT_OWNERDRAW) && data && !std::strcmp(data, "Pellform");
        layout += info.fType & MFT_SEPARATOR ? 's' : info.wID == 3001 ? 'h' : info.wID == 3100 ? 'f' : ours ? 'p' : '?';
    }
    return layout;
}

TEST(AddInMenu, OursFollowsASeparatorOrAForeignItemAndOnlyOursGoesAtUnload) {
    for (bool maximized : {true, false}) {  // restored, another add-in's item comes first
        StandInHost host;
        ASSERT_TRUE(CreateStandInHost(host, true));
        SetChildMaximized(host, maximized);
        // A maximized child's system menu leads the bar, so the add-ins submenu is one further.
        HMENU addIns = GetSubMenu(host.menuBar, kAddInsSubmenu + maximized);
        if (!maximized) AppendMenuA(addIns, MF_STRING, 3100, "Other");
        ASSERT_TRUE(LoadAddIn(host, PathBesideTests("Pellform_WA.dll").c_str()));
        EXPECT_EQ(Layout(addIns, host.lastGivenCommandId), maximized ? "hsp" : "hfp");
        UnloadAddIn(host);
        EXPECT_EQ(Layout(addIns, 0), maximized ? "h" : "hf");
        DestroyStandInHost(host);
    }
}

class EditorThreadTest : public HostTest {};

// Taking its last message, the editor thread asks the host's thread 20 times: an unload that waits
// for the thread answers them all before it returns; one that does not has returned by then.
volatile HWND hostFrameInUnload = nullptr;
volatile LONG askedAfterUnload = 0;
LRESULT CALLBACK AskTheHostOnQuit(int code, WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<const MSG*>(lParam)->message == WM_QUIT) {
        for (int i = 0; i < 20 && hostFrameInUnload; ++i) SendMessageA(hostFrameInUnload, WM_NULL, 0, 0);
        askedAfterUnload = !hostFrameInUnload;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(EditorThreadTest, OneEditorPerHostEndedByUnloadBeforeItReturnsWhetherOpenOrStarting) {
    // Chosen three times while it starts: one window only.
    ChooseMenuItem();
    ChooseMenuItem();
    EditorWindow first = OpenEditor();
    ASSERT_NE(first.hwnd, nullptr);
    EXPECT_EQ(FindWindowExA(nullptr, first.hwnd, EDITOR_CLASS_NAME, nullptr), nullptr);
    for (bool open : {true, false}) {  // unloaded while the editor is open, then while it starts
        HHOOK hook = open ? SetWindowsHookExA(WH_GETMESSAGE, AskTheHostOnQuit, nullptr, first.threadId) : nullptr;
        ASSERT_EQ(hook != nullptr, open);
        if (!open) ChooseMenuItem();
        hostFrameInUnload = host_.frame;
        ASSERT_NE(host_.addInUnload(), FALSE) << open;
        hostFrameInUnload = nullptr;
        host_.frameWindowProc = nullptr;  // unloaded: the host must no longer call in
        EXPECT_TRUE(!open || WaitForThreadEnd(first.threadId)) << "the editor thread did not end";
        EXPECT_FALSE(open && askedAfterUnload) << "unload returned before the editor thread's last message";
        UnhookWindowsHookEx(hook);
        UnloadAddIn(host_);
        PumpMessages();
        ASSERT_TRUE(LoadTheAddIn()) << open;  // fails while an editor window keeps its class registered
    }
}

// Every command of the editor, with the add-in loaded and unloaded around it.
class LeakTest : public EditorTest {};

TEST_F(LeakTest, AFullCycleOfEveryCommandLeaksNothing) {
    const std::string picture = TestDataPath("transparent.gif"), file = TemporaryPath("cycle.rgn");
    auto closeDialog = [&](UINT command, const char* caption, UINT message, WPARAM wParam) {
        const HWND dialog = OpenDialog(command, caption);
        ASSERT_NE(dialog, nullptr) << caption;
        SettleWindow(dialog);
        PostMessageA(dialog, message, wParam, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); })) << caption;
        Idle();
    };
    // Wine's file dialogs keep a few objects of their own each time they open:
    // they are opened once here, and the cycle takes their files directly.
    DeleteFileA(file.c_str());  // Save As would ask before replacing it
    LoadPicture(picture);
    AnswerColorDialog(IDM_ENTER_MASK_RGB, RGB(0, 0, 255));
    ChooseFile(IDM_SAVE_AS, "Save As", file);
    ChooseFile(IDM_OPEN, "Open", file);
    auto cycle = [&] {
        const HWND hwnd = editorWindow_.hwnd;
        DropFiles({picture});
        Command(IDM_PICK_MASK);
        EXPECT_TRUE(SendWithinTimeout(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)));
        AnswerColorDialog(IDM_ENTER_MASK_RGB, RGB(0, 0, 255));
        AnswerToleranceDialog({"9"});  // New below sets it back to 0, so each cycle rebuilds
        OnEditorThread([&] {
            Doc().inputs.regionFileName = file;
            probe_->saveRegionFile(hwnd);
            probe_->openRegionFile(hwnd, file.c_str());
        });
        AnswerColorDialog(IDM_BACKGROUND_COLOR, RGB(0, 255, 0));
        AnswerBox("Warning", IDYES);  // reloads the picture
        for (UINT command : {IDM_VIEW_TRANSPARENCY, IDM_VIEW_HIDE, IDM_VIEW_MASK}) Command(command);
        // Magnified with the grid, and left at 200% for the raw data's selection.
        for (UINT command : {IDM_ZOOM_800, IDM_ZOOM_IN, IDM_ZOOM_OUT, IDM_ZOOM_100}) Command(command), SettleWindow(hwnd);
        EXPECT_TRUE(SendWithinTimeout(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, WHEEL_DELTA), MAKELPARAM(10, 10)));
        // Raw data: a selection, Delete, an input and Enter, so that its working regions all pass through.
        HWND input = nullptr, raw = OpenDialog(IDM_VIEW_RAW_DATA, "Raw region data");
        ASSERT_NE(raw, nullptr);
        ListView_SetItemState(GetDlgItem(raw, IDC_RAW_LIST), 0, LVIS_SELECTED, LVIS_SELECTED);
        EXPECT_TRUE(SendWithinTimeout(GetDlgItem(raw, IDC_RAW_LIST), WM_KEYDOWN, VK_DELETE));
        PostMessageA(raw, WM_COMMAND, IDC_RAW_OR, 0);
        ASSERT_NE(input = WaitForDialog(editorWindow_.threadId, "OR"), nullptr);
        SetDlgItemTextA(input, IDC_RECT_RIGHT, "7");
        PressButton(input, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(input); }));
        PostMessageA(GetDlgItem(raw, IDC_RAW_LIST), WM_KEYDOWN, VK_RETURN, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(raw); }));
        for (const auto& [command, caption] : {std::pair<UINT, const char*>{IDM_README, "Read Me"},
                                               {IDM_IMAGE_INFO, "Image information"}, {IDM_ABOUT, ""}}) {
            probe_->failAllocationsAfter(command == IDM_README ? 0 : -1);  // Read Me opens without memory for its text
            closeDialog(command, caption, WM_COMMAND, IDCANCEL);
        }
        closeDialog(IDM_PREVIEW, "Preview", WM_KEYDOWN, VK_ESCAPE);
        Command(IDM_NEW);
        OnEditorThread([&] {  // with no region, so no question: a picture through the imaging component
            probe_->loadImageIntoEditor(hwnd, TestDataPath("wic/rgba8.png").c_str());
        });
        ASSERT_NE(Doc().hbmImage.get(), nullptr);
        CloseEditor(editorWindow_);
        UnloadAddIn(host_);
        ASSERT_TRUE(LoadTheAddIn());
        editorWindow_ = OpenEditor();
        ASSERT_NE(editorWindow_.hwnd, nullptr);
        probe_ = FindProbe(host_.addIn);
        settings_ = probe_->settings;
    };
    ExpectNoGrowth(cycle, 2);
}

}  // namespace
