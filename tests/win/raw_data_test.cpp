// The "Raw region data" dialog and its input dialogs, driven as a user would.
#include <windows.h>
#include <commctrl.h>

#include <sstream>

#include "editor_fixture.h"
#include "ui/rawdata/raw_data_dialogs.h"
#include "res/resource_ids.h"

namespace {

using Rects = std::vector<RECT>;
const COLORREF kPicture = RGB(200, 120, 40);

HRGN RegionOf(const Rects& rects) {
    HRGN region = CreateRectRgn(0, 0, 0, 0), part = CreateRectRgn(0, 0, 0, 0);
    for (const RECT& r : rects)
        SetRectRgn(part, r.left, r.top, r.right, r.bottom), CombineRgn(region, region, part, RGN_OR);
    return DeleteObject(part), region;
}
// Whether `region` is exactly the union of `rects` (none for none).
bool Covers(HRGN region, const Rects& rects) {
    HRGN expected = RegionOf(rects);
    const bool same = region ? EqualRgn(region, expected) != FALSE : rects.empty();
    return DeleteObject(expected), same;
}
int witnessPaints = 0;
LRESULT CALLBACK CountPaints(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcA(hwnd, message, wParam, lParam);
    return ++witnessPaints, ValidateRect(hwnd, nullptr), 0;
}

class RawDataTest : public EditorTest {
protected:
    // A plain picture and a region given on the editor thread, the view scrolled by `scroll`, the dialog opened.
    HWND Open(const Rects& rects, int scroll = 0) { return Open(RegionOf(rects), scroll); }
    HWND Open(HRGN region, int scroll = 0) {
        OnEditorThread([&] {
            Doc().hrgnCurrent.reset(region);
            Doc().hbmImage.reset(MakeBitmap(60 + 2 * scroll, 40 + 2 * scroll, [](int, int) { return kPicture; }));
            GetObjectA(Doc().hbmImage.get(), sizeof Doc().imageInfo, &Doc().imageInfo);
            ShowWindow(GetDlgItem(editorWindow_.hwnd, IDC_NO_PICTURE), SW_HIDE);
            SetWindowPos(editorWindow_.hwnd, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
        });
        for (UINT m : {WM_HSCROLL, WM_VSCROLL}) SendMessageA(editorWindow_.hwnd, m, SB_THUMBTRACK | scroll << 16, 0);
        scroll_ = {GetScrollPos(editorWindow_.hwnd, SB_HORZ), GetScrollPos(editorWindow_.hwnd, SB_VERT)};
        return list_ = GetDlgItem(dialog_ = OpenDialog(IDM_VIEW_RAW_DATA, "Raw region data"), IDC_RAW_LIST);
    }
    // The header fields, then every cell, rows ended by "|".
    std::string Rows() {
        std::string rows;
        for (int id = IDC_RAW_HEADER_SIZE; id <= IDC_RAW_BOTTOM; ++id) rows += DialogItemText(dialog_, id) + " ";
        for (int i = 0; i < ListView_GetItemCount(list_) * 4; ++i) {
            char text[32];
            ListView_GetItemText(list_, i / 4, i % 4, text, sizeof text);
            rows += text + std::string(i % 4 == 3 ? "|" : " ");
        }
        return rows;
    }
    // Clicks a row (-1: below the rows) holding `keys` (MK_CONTROL, MK_SHIFT); the selection settles on its own.
    void Click(int row, WPARAM keys = 0) {
        RECT r{};
        GetClientRect(list_, &r);
        if (row >= 0) ListView_GetItemRect(list_, row, &r, LVIR_LABEL);
        const LPARAM at = MAKELPARAM(r.left + 2, r.bottom - 2);
        for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP})
            PostMessageA(list_, message, keys | (message == WM_LBUTTONDOWN ? MK_LBUTTON : 0), at);
    }
    // Ctrl+A, with Ctrl down in the dialog thread's keyboard state while the key is read.
    void SelectAllByKeys() {
        for (BYTE control : {0x80, 0}) {
            OnEditorThread([&] { BYTE k[256]; GetKeyboardState(k), k[VK_CONTROL] = control, SetKeyboardState(k); });
            if (control) SendMessageA(list_, WM_KEYDOWN, 'A', 0);
        }
    }
    // Runs the input dialog of `button`, titled `caption`, with `typed` in its edits.
    void Input(int button, const char* caption, const std::string& typed, bool confirm = true, bool reverse = false) {
        PostMessageA(dialog_, WM_COMMAND, button, 0);
        const HWND input = WaitForDialog(editorWindow_.threadId, caption);
        ASSERT_NE(input, nullptr) << caption;
        EXPECT_EQ(IsWindowEnabled(GetDlgItem(input, IDC_RECT_REVERSE)) != FALSE, button == IDC_RAW_DIFF) << caption;
        std::istringstream words(typed);
        int id = IDC_RECT_LEFT;
        for (std::string word; words >> word; ++id) SetDlgItemTextA(input, id, word.c_str());
        CheckDlgButton(input, IDC_RECT_REVERSE, reverse ? BST_CHECKED : BST_UNCHECKED);
        PressButton(input, confirm ? IDOK : IDCANCEL);
        WaitUntil([&] { return !IsWindow(input); });
        SendMessageA(dialog_, WM_NULL, 0, 0);
    }
    HWND dialog_ = nullptr, list_ = nullptr;
    POINT scroll_{};
};

// On a scrolled view: the header and rows are the region data, selected rows alone are shown, Delete and Move
// act on exactly the rows' rectangles.
TEST_F(RawDataTest, RowsAreTheRegionDataAndEditsActOnExactlyTheSelectedRows) {
    Command(IDM_VIEW_TRANSPARENCY);
    ASSERT_NE(Open({{455, 455, 465, 465}, {480, 460, 500, 480}, {452, 483, 508, 488}}, 450), nullptr);
    const Rects rects = {{455, 455, 465, 460}, {455, 460, 465, 465}, {480, 460, 500, 465}, {480, 465, 500, 480},
                         {452, 483, 508, 488}};
    EXPECT_EQ(Rows(), "32 1 5 80 452 455 508 488 455 455 465 460|455 460 465 465|480 460 500 465|"
                               "480 465 500 480|452 483 508 488|");
    EXPECT_TRUE(SendWithinTimeout(GetDlgItem(dialog_, IDC_RAW_DELETE), BM_CLICK));  // nothing selected: no change
    // Clicks with Ctrl or Shift, Ctrl+A (row -2), a click below the rows (-1).
    const struct { int row; WPARAM keys; Rects shown; const char* seen; } steps[] = {
        {3, 0, {rects[3]}, "..x."}, {0, MK_CONTROL, {rects[0], rects[3]}, "x.x."}, {3, MK_CONTROL, {rects[0]}, "x..."},
        {2, MK_SHIFT, {rects[2], rects[3]}, "..x."}, {-2, 0, rects, "xxxx"}, {-1, 0, {}, "xxxx"}};
    for (const auto& step : steps) {
        step.row == -2 ? SelectAllByKeys() : Click(step.row, step.keys);
        EXPECT_TRUE(WaitUntil([&] { return Covers(Doc().shownSelection, step.shown); })) << step.seen;
        // At four picture points, "x" where the view shows the picture (in the drawn region, "Show as transparency").
        SettleWindow(editorWindow_.hwnd);
        HDC dc = GetDC(editorWindow_.hwnd);
        std::string seen;
        for (POINT p : {POINT{458, 456}, {458, 462}, {490, 470}, {500, 484}})
            seen += GetPixel(dc, p.x - scroll_.x, p.y - scroll_.y) == kPicture ? 'x' : '.';
        EXPECT_EQ(seen, step.seen);
        ReleaseDC(editorWindow_.hwnd, dc);
    }

    Input(IDC_RAW_MOVE, "Move", "-460 5");
    Click(0);
    ASSERT_TRUE(WaitUntil([&] { return Covers(Doc().shownSelection, {{-5, 460, 5, 465}}); }));
    EXPECT_TRUE(SendWithinTimeout(list_, WM_KEYDOWN, VK_DELETE));  // the Del key deletes like the button
    // Negative coordinates, in the bounds too, with their sign.
    EXPECT_EQ(Rows(), "32 1 4 64 -8 465 48 493 -5 465 5 470|20 465 40 470|20 470 40 485|-8 488 48 493|");
    EXPECT_TRUE(Covers(Doc().shownWorkingCopy, {{-5, 465, 5, 470}, {20, 465, 40, 485}, {-8, 488, 48, 493}}));
    Click(0);
    ASSERT_TRUE(WaitUntil([&] { return Covers(Doc().shownSelection, {{-5, 465, 5, 470}}); }));
    OnEditorThread([&] {  // row 2 joins, and Del comes before the selection region is rebuilt
        ListView_SetItemState(list_, 2, LVIS_SELECTED, LVIS_SELECTED);
        SendMessageA(list_, WM_KEYDOWN, VK_DELETE, 0);
    });
    EXPECT_EQ(Rows(), "32 1 2 32 -8 465 48 493 20 465 40 470|-8 488 48 493|");
}

// A staircase of 2^19 + 1 squares, XOR a rectangle over it: one rectangle more than a region file may hold.
TEST_F(RawDataTest, EditsPastTheRectangleLimitAreRefusedAndSuchARegionIsNeverSaved) {
    RegionRects stairs;
    for (LONG i = 0; i <= 1 << 19; ++i) stairs.push_back({i, i, i + 1, i + 1});
    HRGN expected = probe_->createRegionFromRects(stairs), past = CreateRectRgn(0, 0, 1 << 20, 1 << 20);
    ASSERT_NE(Open(probe_->createRegionFromRects(stairs)), nullptr);
    Click(1);
    ASSERT_TRUE(WaitUntil([&] { return Covers(Doc().shownSelection, {{1, 1, 2, 2}}); }));
    Input(IDC_RAW_XOR, "XOR", "0 0 1048576 1048576");
    EXPECT_EQ(AnswerBox("Error", IDOK), "Too many rectangles, region data was NOT changed.");
    EXPECT_EQ(DialogItemText(dialog_, IDC_RAW_COUNT), "524289");
    EXPECT_EQ(ListView_GetSelectedCount(list_), 1u);
    EXPECT_TRUE(Covers(Doc().shownSelection, {{1, 1, 2, 2}}));
    EXPECT_TRUE(EqualRgn(Doc().shownWorkingCopy, expected));
    PressButton(dialog_, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog_); }));
    Idle();  // the saved working copy is the editor's once the dialog has returned it
    OnEditorThread([&] {  // what no edit can make: Save refuses it before any file is made
        Doc().inputs.regionFileName = TemporaryPath("stairs.rgn"), Doc().inputs.nameShown = true;
        CombineRgn(Doc().hrgnCurrent.get(), Doc().hrgnCurrent.get(), past, RGN_XOR);
    });
    PostMessageA(editorWindow_.hwnd, WM_COMMAND, IDM_SAVE, 0);
    EXPECT_EQ(AnswerBox("Error", IDOK), "An error occured, region data was NOT saved.");
    EXPECT_EQ(GetFileAttributesA(TemporaryPath("stairs.rgn").c_str()), INVALID_FILE_ATTRIBUTES);
}

// Inputs change the working copy, cancelled ones nothing; Cancel and Esc keep the current region, Enter replaces
// it (by an empty one, not none); unloading under an input dialog refreshes nothing (with no owner left that would
// repaint the whole desktop).
TEST_F(RawDataTest, InputsChangeTheWorkingCopyAndOnlySaveKeepsIt) {
    // The rows after each step from (10, 10, 20, 20), worked out by hand: the header, then each band's rectangles.
    const std::string ored = "32 1 3 48 10 10 30 30 10 10 20 15|10 15 30 20|15 20 30 30|";
    const std::string reversed = "32 1 12 192 0 0 40 40 14 0 16 12|18 0 40 12|12 12 18 15|20 12 40 15|12 15 18 18|"
                                 "25 15 40 18|0 18 12 20|14 18 16 20|25 18 40 20|0 20 16 25|25 20 40 25|0 25 40 40|";
    const struct { int button; const char* typed; bool reverse; const char* caption; std::string rows; } steps[] = {
        {IDC_RAW_OR, "15 15 30 30", false, "OR", ored}, {IDC_RAW_MOVE, "0 zero", false, "Move", ored},
        {IDC_RAW_AND, "12 12 25 25", false, "AND", "32 1 3 48 12 12 25 25 12 12 20 15|12 15 25 20|15 20 25 25|"},
        {IDC_RAW_XOR, "0 0 18 18", false, "XOR",
         "32 1 7 112 0 0 25 25 0 0 18 12|0 12 12 15|18 12 20 15|0 15 12 18|18 15 25 18|12 18 25 20|15 20 25 25|"},
        {IDC_RAW_DIFF, "14 0 16 40", false, "DIFF", "32 1 9 144 0 0 25 25 0 0 14 12|16 0 18 12|0 12 12 15|18 12 20 15|"
                                                    "0 15 12 18|18 15 25 18|12 18 14 20|16 18 25 20|16 20 25 25|"},
        {IDC_RAW_DIFF, "0 0 40 40", true, "DIFF", reversed},
        // The initial zeros: for OR no change, for AND an empty region.
        {IDC_RAW_OR, "", false, "OR", reversed}, {IDC_RAW_AND, "", false, "AND", "32 1 0 0 0 0 0 0 "}};
    WNDCLASSA windowClass{0, CountPaints, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "Witness"};
    RegisterClassA(&windowClass);
    // Ours, far from the editor and shown long before it counts: only a repaint of everything reaches it.
    HWND witness = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "Witness", "", WS_POPUP | WS_VISIBLE, 1200, 950,
                                   40, 40, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    for (int end : {IDCANCEL, VK_ESCAPE, VK_RETURN, IDC_RAW_MOVE}) {
        ASSERT_NE(Open({{10, 10, 20, 20}}), nullptr);
        HRGN before = Doc().hrgnCurrent.get();
        Click(0);
        Input(IDC_RAW_OR, "OR", "0 0 60 40", false);
        EXPECT_EQ(Rows(), "32 1 1 16 10 10 20 20 10 10 20 20|") << "cancelled: no change";
        EXPECT_EQ(ListView_GetSelectedCount(list_), 1u);
        for (const auto& step : steps) {
            Input(step.button, step.caption, step.typed, true, step.reverse);
            EXPECT_EQ(Rows(), step.rows) << step.caption << " " << step.typed;
            EXPECT_EQ(std::pair(ListView_GetSelectedCount(list_), Doc().shownSelection), std::pair(0u, HRGN{}));
            Click(0);
        }
        if (end == IDC_RAW_MOVE) {
            PostMessageA(dialog_, WM_COMMAND, IDC_RAW_MOVE, 0);
            ASSERT_NE(WaitForDialog(editorWindow_.threadId, "Move"), nullptr);
            SettleWindow(witness);
            witnessPaints = 0;
            ASSERT_NE(host_.addInUnload(), FALSE);
            host_.frameWindowProc = nullptr;
            EXPECT_EQ(std::make_pair(witnessPaints, GetUpdateRect(witness, nullptr, FALSE)), std::make_pair(0, FALSE));
        } else {
            end == IDCANCEL ? PressButton(dialog_, IDCANCEL) : void(PostMessageA(list_, WM_KEYDOWN, WPARAM(end), 0));
        }
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog_); }));
        if (end == IDC_RAW_MOVE) {  // the editor is gone, its region with it
            EXPECT_EQ(GetObjectType(before), 0u);
            break;
        }
        Idle();
        EXPECT_EQ(std::make_pair(Doc().shownWorkingCopy, Doc().shownSelection), std::make_pair(HRGN{}, HRGN{})) << end;
        // The region kept (Cancel, Esc) or replaced by an empty one (Enter); the replaced one stays for Undo.
        const bool kept = end == IDCANCEL || end == VK_ESCAPE;
        EXPECT_EQ(Doc().hrgnCurrent.get() == before, kept) << end;
        EXPECT_NE(Doc().hrgnCurrent.get(), nullptr) << end;
        EXPECT_EQ(RectsOf(Doc().hrgnCurrent.get()), (kept ? RegionRects{{10, 10, 20, 20}} : RegionRects{})) << end;
    }
    DestroyWindow(witness);
}

}  // namespace
