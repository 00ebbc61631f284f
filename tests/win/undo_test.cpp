// Undo and Redo: the Edit menu's items, the keys, and what each step gives back, read from the files Save writes.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "editor_fixture.h"
#include "res/resource_ids.h"

namespace {

class UndoTest : public EditorTest {
protected:
    std::string Item(UINT id) {
        char text[100] = "";
        GetMenuStringA(Menu(), id, text, sizeof text, MF_BYCOMMAND);
        return std::string(IsMenuItemGrayed(Menu(), id) ? "grayed " : "") + text;
    }
    std::string Items() { return Item(IDM_UNDO) + " | " + Item(IDM_REDO); }
    // Ctrl with `key`, typed into the foreground window `hwnd`.
    void PressCtrl(HWND hwnd, BYTE key, bool shift = false) {
        SetForegroundWindow(hwnd);
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == hwnd; }));
        for (BYTE down : {BYTE(VK_CONTROL), BYTE(shift ? VK_SHIFT : 0), key})
            if (down) keybd_event(down, 0, 0, 0);
        for (BYTE up : {key, BYTE(shift ? VK_SHIFT : 0), BYTE(VK_CONTROL)})
            if (up) keybd_event(up, 0, KEYEVENTF_KEYUP, 0);
    }
    // What Save writes to the file the caption shows.
    std::vector<BYTE> Saved(const std::string& path) {
        EXPECT_EQ(WindowText(editorWindow_.hwnd), "Pellform - [" + path + "]");
        DeleteFileA(path.c_str());
        Command(IDM_SAVE);
        return ReadFileBytes(path);
    }
    void Pick(POINT point) {
        Command(IDM_PICK_MASK);
        ClientToScreen(editorWindow_.hwnd, &point);
        SendMouseAt(point, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
        EXPECT_TRUE(WaitUntil([&] { return Item(IDM_UNDO) == "Undo Pick mask color\tCtrl+Z"; }));
        Idle();
    }
};

TEST_F(UndoTest, EachStepComesBackByteForByteWithItsNameThroughKeysAndMenu) {
    const std::string first = TemporaryPath("undo_first.rgn"), second = TemporaryPath("undo_second.rgn");
    EXPECT_EQ(Items(), "grayed Undo\tCtrl+Z | grayed Redo\tCtrl+Y");
    LoadPicture(TestDataPath("transparent.gif"));
    AnswerColorDialog(IDM_ENTER_MASK_RGB, RGB(1, 2, 3));
    DeleteFileA(first.c_str());
    ChooseFile(IDM_SAVE_AS, "Save As", first);
    const std::vector<BYTE> whole = Saved(first);
    EXPECT_EQ(Items(), "Undo Enter mask RGB\tCtrl+Z | grayed Redo\tCtrl+Y");
    Pick({5, 5});
    const std::vector<BYTE> picked = Saved(first);
    EXPECT_NE(picked, whole);
    PressCtrl(editorWindow_.hwnd, 'Z');
    ASSERT_TRUE(WaitUntil([&] { return Item(IDM_REDO) == "Redo Pick mask color\tCtrl+Y"; }));
    EXPECT_EQ(Saved(first), whole) << "the name Save gave stays";
    PressCtrl(editorWindow_.hwnd, 'Z', true);
    ASSERT_TRUE(WaitUntil([&] { return Item(IDM_REDO) == "grayed Redo\tCtrl+Y"; }));
    EXPECT_EQ(Saved(first), picked);

    // Open: its name and caption go back with its region.
    ASSERT_TRUE(WriteFileBytes(second, whole));
    ChooseFile(IDM_OPEN, "Open", second);
    Idle();
    EXPECT_EQ(Item(IDM_UNDO), "Undo Open\tCtrl+Z");
    Command(IDM_UNDO);
    EXPECT_EQ(Saved(first), picked);
    Command(IDM_REDO);
    EXPECT_EQ(Saved(second), whole);

    // The raw data dialog takes back its own edits; its Save is one step.
    HWND dialog = OpenDialog(IDM_VIEW_RAW_DATA, "Raw region data"), list = GetDlgItem(dialog, IDC_RAW_LIST);
    ASSERT_NE(dialog, nullptr);
    const std::string rows = DialogItemText(dialog, IDC_RAW_COUNT);
    ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_TRUE(SendWithinTimeout(dialog, WM_COMMAND, IDC_RAW_DELETE));
    const std::string left = DialogItemText(dialog, IDC_RAW_COUNT);
    EXPECT_NE(left, rows);
    PressCtrl(dialog, 'Z');
    EXPECT_TRUE(WaitUntil([&] { return DialogItemText(dialog, IDC_RAW_COUNT) == rows; }));
    PressCtrl(dialog, 'Y');
    EXPECT_TRUE(WaitUntil([&] { return DialogItemText(dialog, IDC_RAW_COUNT) == left; }));
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    Idle();
    EXPECT_EQ(Item(IDM_UNDO), "Undo Raw data edits\tCtrl+Z");
    EXPECT_NE(Saved(second), whole);
    Command(IDM_UNDO);
    EXPECT_EQ(Saved(second), whole);
    Command(IDM_NEW);
    EXPECT_EQ(Items(), "grayed Undo\tCtrl+Z | grayed Redo\tCtrl+Y");
}

}  // namespace
