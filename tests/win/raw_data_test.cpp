// The "Raw region data" dialog and its input dialogs, driven as a user would.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "dialog_driver.h"
#include "editor_fixture.h"
#include "rawdata/raw_data_dialogs.h"
#include "res/resource_ids.h"

namespace {

const COLORREF kPictureColour = RGB(200, 120, 40);

std::vector<RECT> RegionRectsOf(HRGN region) {
    const DWORD size = GetRegionData(region, 0, nullptr);
    std::vector<BYTE> data(size);
    GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data()));
    const auto* header = reinterpret_cast<const RGNDATAHEADER*>(data.data());
    const auto* rects = reinterpret_cast<const RECT*>(data.data() + header->dwSize);
    return std::vector<RECT>(rects, rects + header->nCount);
}

bool SameRects(const std::vector<RECT>& a, const std::vector<RECT>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (!EqualRect(&a[i], &b[i])) return false;
    return true;
}

HRGN RegionOfRects(std::initializer_list<RECT> rects) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    for (const RECT& r : rects) {
        HRGN part = CreateRectRgnIndirect(&r);
        CombineRgn(region, region, part, RGN_OR);
        DeleteObject(part);
    }
    return region;
}

class RawDataTest : public EditorTest {
protected:
    // A plain picture and a region handed to the editor while it is idle.
    void Give(HRGN region, int width = 60, int height = 40) {
        state_->hbmImage = MakeBitmap(width, height, [](int, int) { return kPictureColour; });
        GetObjectA(state_->hbmImage, sizeof state_->imageInfo, &state_->imageInfo);
        ShowWindow(GetDlgItem(editorWindow_.hwnd, IDC_NO_PICTURE), SW_HIDE);
        state_->hrgnCurrent = region;
        EnableMenuItem(Menu(), IDM_VIEW_RAW_DATA, MF_BYCOMMAND | MF_ENABLED);
        SendMessageA(editorWindow_.hwnd, WM_SIZE, SIZE_RESTORED, 0);
    }
    HWND OpenRawData() {
        PostMessageA(editorWindow_.hwnd, WM_COMMAND, IDM_VIEW_RAW_DATA, 0);
        return WaitForDialog(editorWindow_.threadId, "Raw region data");
    }
    HWND List(HWND dialog) { return GetDlgItem(dialog, IDC_RAW_LIST); }
    std::string Cell(HWND dialog, int row, int column) {
        char text[32] = "";
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(List(dialog), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }
    std::vector<RECT> Rows(HWND dialog) {
        std::vector<RECT> rows;
        const int count = static_cast<int>(SendMessageA(List(dialog), LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            rows.push_back({std::stol(Cell(dialog, i, 0)), std::stol(Cell(dialog, i, 1)), std::stol(Cell(dialog, i, 2)),
                            std::stol(Cell(dialog, i, 3))});
        return rows;
    }
    std::vector<int> Header(HWND dialog) {
        std::vector<int> values;
        for (int id = IDC_RAW_HEADER_SIZE; id <= IDC_RAW_BOTTOM; ++id)
            values.push_back(static_cast<int>(GetDlgItemInt(dialog, id, nullptr, TRUE)));
        return values;
    }
    void Select(HWND dialog, int row, bool selected) {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED;
        item.state = selected ? LVIS_SELECTED : 0;
        SendMessageA(List(dialog), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
        // The dialog rebuilds its selection once the list's notifications are
        // through; asking for it now makes the checks that follow see it.
        SendMessageA(dialog, kSettleSelectionMessage, 0, 0);
    }
    // Runs the rectangle dialog of a button with a rectangle; `confirm` false cancels it.
    std::string RunRectangle(HWND dialog, int button, RECT rect, bool reverse = false, bool confirm = true,
                             bool* reverseEnabled = nullptr) {
        PostMessageA(dialog, WM_COMMAND, button, 0);
        HWND input = nullptr;
        WaitUntil([&] {
            HWND popup = GetLastActivePopup(dialog);
            if (popup != dialog && IsWindowVisible(popup)) input = popup;
            return input != nullptr;
        });
        if (!input) return "(none)";
        const std::string caption = WindowText(input);
        if (reverseEnabled) *reverseEnabled = IsWindowEnabled(GetDlgItem(input, IDC_RECT_REVERSE));
        SetDlgItemInt(input, IDC_RECT_LEFT, static_cast<UINT>(rect.left), TRUE);
        SetDlgItemInt(input, IDC_RECT_TOP, static_cast<UINT>(rect.top), TRUE);
        SetDlgItemInt(input, IDC_RECT_RIGHT, static_cast<UINT>(rect.right), TRUE);
        SetDlgItemInt(input, IDC_RECT_BOTTOM, static_cast<UINT>(rect.bottom), TRUE);
        if (reverse) CheckDlgButton(input, IDC_RECT_REVERSE, BST_CHECKED);
        PressButton(input, confirm ? IDOK : IDCANCEL);
        WaitUntil([&] { return !IsWindow(input); });
        SendMessageA(dialog, WM_NULL, 0, 0);
        return caption;
    }
    void RunMove(HWND dialog, const char* dx, const char* dy) {
        PostMessageA(dialog, WM_COMMAND, IDC_RAW_MOVE, 0);
        HWND input = WaitForDialog(editorWindow_.threadId, "Move");
        ASSERT_NE(input, nullptr);
        SetDlgItemTextA(input, IDC_MOVE_X, dx);
        SetDlgItemTextA(input, IDC_MOVE_Y, dy);
        PressButton(input, IDOK);
        WaitUntil([&] { return !IsWindow(input); });
        SendMessageA(dialog, WM_NULL, 0, 0);
    }
    // Clicks a button that opens no box, and returns once its command is done
    // (a posted click would race with the checks that follow).
    void ClickNow(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }
    void Close(HWND dialog, int button) {
        PressButton(dialog, button);
        WaitUntil([&] { return !IsWindow(dialog); });
        Idle();
    }
    COLORREF ViewPixel(int x, int y) {
        SettleWindow(editorWindow_.hwnd);
        HDC dc = GetDC(editorWindow_.hwnd);
        const COLORREF pixel = GetPixel(dc, x, y);
        ReleaseDC(editorWindow_.hwnd, dc);
        return pixel;
    }
    bool Hatched(COLORREF pixel) { return pixel == GetSysColor(COLOR_BTNFACE) || pixel == GetSysColor(COLOR_BTNTEXT); }
    // Whether the view hatches anything in a small square around (x, y).
    bool HatchedNear(int x, int y) {
        for (int dy = 0; dy < 3; ++dy)
            for (int dx = 0; dx < 3; ++dx)
                if (ViewPixel(x + dx, y + dy) != kPictureColour) return Hatched(ViewPixel(x + dx, y + dy));
        return false;
    }
};

TEST_F(RawDataTest, HeaderAndRowsAreTheRegionDataAndSelectedRowsAloneAreShown) {
    Give(RegionOfRects({{5, 5, 15, 15}, {30, 10, 50, 30}}));
    HWND dialog = OpenRawData();
    ASSERT_NE(dialog, nullptr);
    const std::vector<RECT> expected = RegionRectsOf(state_->hrgnCurrent);
    ASSERT_EQ(expected.size(), 4u);
    EXPECT_TRUE(SameRects(Rows(dialog), expected));
    EXPECT_EQ(Header(dialog), (std::vector<int>{32, 1, 4, 64, 5, 5, 50, 30}));
    EXPECT_EQ(Cell(dialog, 0, 0), "5");
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), editorWindow_.hwnd);
    const char* titles[] = {"RECT.left", "RECT.top", "RECT.right", "RECT.bottom"};
    for (int i = 0; i < 4; ++i) {
        char title[32] = "";
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT;
        column.pszText = title;
        column.cchTextMax = sizeof title;
        SendMessageA(List(dialog), LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
        EXPECT_STREQ(title, titles[i]);
    }
    const LRESULT extended = SendMessageA(List(dialog), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_EQ(extended & (LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT), LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);

    // Mask mode: all of the working copy is hatched until a row is selected.
    EXPECT_TRUE(HatchedNear(8, 6));
    EXPECT_TRUE(HatchedNear(40, 20));
    Select(dialog, 3, true);  // (30, 15, 50, 30)
    EXPECT_TRUE(HatchedNear(40, 20));
    EXPECT_FALSE(HatchedNear(8, 6)) << "only the selected rectangle is drawn";
    Select(dialog, 0, true);  // (5, 5, 15, 10)
    EXPECT_TRUE(HatchedNear(8, 6));
    EXPECT_FALSE(HatchedNear(8, 12)) << "row 1 is not selected";
    Select(dialog, 3, false);
    Select(dialog, 0, false);
    EXPECT_EQ(state_->hrgnSelection, nullptr);
    EXPECT_TRUE(HatchedNear(8, 12)) << "nothing selected: the whole working copy again";
    Close(dialog, IDCANCEL);
    EXPECT_EQ(state_->hrgnEditing, nullptr);
}

// Real input: a click on a row, Ctrl+A, then a click on another row, as a user
// selects everything and then one rectangle.
TEST_F(RawDataTest, CtrlAThenAClickShowExactlyTheSelectedRectangles) {
    Give(RegionOfRects({{5, 5, 15, 15}, {30, 10, 50, 30}, {2, 33, 58, 38}}));
    HWND dialog = OpenRawData();
    ASSERT_NE(dialog, nullptr);
    const std::vector<RECT> rows = Rows(dialog);
    ASSERT_EQ(rows.size(), 5u);
    auto clickRow = [&](int row) {
        RECT bounds{};
        bounds.left = LVIR_BOUNDS;
        SendMessageA(List(dialog), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds));
        POINT point = {bounds.left + 10, (bounds.top + bounds.bottom) / 2};
        ClientToScreen(List(dialog), &point);
        SetCursorPos(point.x, point.y);
        INPUT input[2]{};
        input[0].type = input[1].type = INPUT_MOUSE;
        input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(2, input, sizeof(INPUT));
    };
    auto selectionIs = [&](const std::vector<RECT>& rects) {
        if (!state_->hrgnSelection) return false;
        HRGN expected = CreateRectRgn(0, 0, 0, 0);
        for (const RECT& r : rects) {
            HRGN part = CreateRectRgnIndirect(&r);
            CombineRgn(expected, expected, part, RGN_OR);
            DeleteObject(part);
        }
        const bool same = SameRects(RegionRectsOf(state_->hrgnSelection), RegionRectsOf(expected));
        DeleteObject(expected);
        return same;
    };
    clickRow(1);
    ASSERT_TRUE(WaitUntil([&] { return selectionIs({rows[1]}); }));

    INPUT keys[4]{};
    for (INPUT& key : keys) key.type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[3].ki.wVk = VK_CONTROL;
    keys[1].ki.wVk = keys[2].ki.wVk = 'A';
    keys[2].ki.dwFlags = keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, keys, sizeof(INPUT));
    ASSERT_TRUE(WaitUntil([&] { return selectionIs(rows); })) << "Ctrl+A selects every rectangle";
    EXPECT_EQ(SendMessageA(List(dialog), LVM_GETSELECTEDCOUNT, 0, 0), 5);
    EXPECT_TRUE(HatchedNear(8, 6));
    EXPECT_TRUE(HatchedNear(40, 20));
    EXPECT_TRUE(HatchedNear(50, 34));

    clickRow(4);  // (2, 33, 58, 38)
    ASSERT_TRUE(WaitUntil([&] { return selectionIs({rows[4]}); })) << "a click leaves its row alone selected";
    EXPECT_EQ(SendMessageA(List(dialog), LVM_GETSELECTEDCOUNT, 0, 0), 1);
    EXPECT_TRUE(HatchedNear(50, 34));
    EXPECT_FALSE(HatchedNear(8, 6));
    EXPECT_FALSE(HatchedNear(40, 20));
    Close(dialog, IDCANCEL);
}

TEST_F(RawDataTest, TheSelectionShowsAtOnceOnAScrolledView) {
    Give(RegionOfRects({{5, 5, 15, 15}, {600, 500, 640, 530}}), 900, 800);
    SetWindowPos(editorWindow_.hwnd, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageA(editorWindow_.hwnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 450), 0);
    SendMessageA(editorWindow_.hwnd, WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 400), 0);
    const int sx = GetScrollPos(editorWindow_.hwnd, SB_HORZ), sy = GetScrollPos(editorWindow_.hwnd, SB_VERT);
    HWND dialog = OpenRawData();
    ASSERT_NE(dialog, nullptr);
    Select(dialog, 0, true);  // (5, 5, 15, 15): scrolled out of sight
    // The other rectangle, in sight, is no longer drawn as soon as the selection changed.
    EXPECT_FALSE(HatchedNear(610 - sx, 510 - sy));
    Select(dialog, 0, false);
    Select(dialog, 1, true);
    EXPECT_TRUE(HatchedNear(610 - sx, 510 - sy));
    Close(dialog, IDCANCEL);
}

TEST_F(RawDataTest, DeleteWithNothingSelectedDoesNothingAndDeletingEveryRowSavesAnEmptyRegion) {
    Give(RegionOfRects({{5, 5, 15, 15}, {30, 10, 50, 30}}));
    HWND dialog = OpenRawData();
    ASSERT_NE(dialog, nullptr);
    SettleWindow(editorWindow_.hwnd);
    HDC dc = GetDC(editorWindow_.hwnd);
    SetPixel(dc, 55, 35, RGB(255, 0, 255));
    ClickNow(dialog, IDC_RAW_DELETE);
    SettleWindow(editorWindow_.hwnd);
    EXPECT_EQ(GetPixel(dc, 55, 35), RGB(255, 0, 255)) << "no redraw";
    ReleaseDC(editorWindow_.hwnd, dc);
    EXPECT_EQ(Rows(dialog).size(), 4u);

    // The Del key in the list deletes like the button.
    Select(dialog, 0, true);
    SendMessageA(List(dialog), WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(Rows(dialog).size(), 3u);
    Select(dialog, -1, true);  // every row
    ClickNow(dialog, IDC_RAW_DELETE);
    EXPECT_TRUE(Rows(dialog).empty());
    EXPECT_EQ(Header(dialog)[2], 0);
    EXPECT_EQ(state_->hrgnSelection, nullptr);
    // Enter saves.
    PostMessageA(List(dialog), WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    Idle();
    ASSERT_NE(state_->hrgnCurrent, nullptr);
    RECT box{1, 1, 1, 1};
    EXPECT_EQ(GetRgnBox(state_->hrgnCurrent, &box), NULLREGION);
}

TEST_F(RawDataTest, EachOperationGivesItsRegion) {
    const RECT base = {10, 10, 20, 20};
    const struct {
        int button;
        const char* caption;
        RECT rect;
        bool reverse;
        int mode;
    } cases[] = {
        {IDC_RAW_OR, "OR", {15, 15, 30, 30}, false, RGN_OR},
        {IDC_RAW_AND, "AND", {15, 15, 30, 30}, false, RGN_AND},
        {IDC_RAW_XOR, "XOR", {15, 15, 30, 30}, false, RGN_XOR},
        {IDC_RAW_DIFF, "DIFF", {15, 15, 30, 30}, false, RGN_DIFF},
        {IDC_RAW_DIFF, "DIFF", {0, 0, 40, 40}, true, RGN_DIFF},  // covering, reversed
        {IDC_RAW_OR, "OR", {0, 0, 0, 0}, false, RGN_OR},
        {IDC_RAW_AND, "AND", {0, 0, 0, 0}, false, RGN_AND},
        {IDC_RAW_DIFF, "DIFF", {0, 0, 0, 0}, true, RGN_DIFF},
    };
    for (const auto& c : cases) {
        if (state_->hrgnCurrent) DeleteObject(state_->hrgnCurrent);
        if (state_->hbmImage) DeleteObject(state_->hbmImage);
        Give(CreateRectRgnIndirect(&base));
        HWND dialog = OpenRawData();
        ASSERT_NE(dialog, nullptr);
        bool reverseEnabled = false;
        EXPECT_EQ(RunRectangle(dialog, c.button, c.rect, c.reverse, true, &reverseEnabled), c.caption);
        EXPECT_EQ(reverseEnabled, c.button == IDC_RAW_DIFF) << c.caption;
        Close(dialog, IDOK);
        HRGN rect = CreateRectRgnIndirect(&c.rect), expected = CreateRectRgnIndirect(&base);
        if (c.reverse) CombineRgn(expected, rect, expected, c.mode);
        else CombineRgn(expected, expected, rect, c.mode);
        EXPECT_TRUE(SameRects(RegionRectsOf(state_->hrgnCurrent), RegionRectsOf(expected)))
            << c.caption << (c.reverse ? " reversed" : "") << " with " << c.rect.left << "," << c.rect.top << ","
            << c.rect.right << "," << c.rect.bottom;
        DeleteObject(rect);
        DeleteObject(expected);
    }
}

TEST_F(RawDataTest, MovingShowsNegativeCellsThatSelectAndDeleteExactly) {
    Give(RegionOfRects({{5, 5, 15, 15}, {30, 10, 50, 30}}));
    HWND dialog = OpenRawData();
    ASSERT_NE(dialog, nullptr);
    RunMove(dialog, "-10", "5");
    const std::vector<RECT> rows = Rows(dialog);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(Cell(dialog, 0, 0), "-5");
    EXPECT_EQ(Cell(dialog, 0, 1), "10");
    Select(dialog, 0, true);
    ASSERT_NE(state_->hrgnSelection, nullptr);
    RECT box{};
    GetRgnBox(state_->hrgnSelection, &box);
    EXPECT_TRUE(EqualRect(&box, &rows[0]));
    ClickNow(dialog, IDC_RAW_DELETE);
    EXPECT_FALSE(PtInRegion(state_->hrgnEditing, -5, 10));
    EXPECT_TRUE(PtInRegion(state_->hrgnEditing, -5, 15));
    // Move by 0, 0 still rebuilds the list, so the selection goes.
    Select(dialog, 0, true);
    RunMove(dialog, "0", "zero");
    EXPECT_EQ(SendMessageA(List(dialog), LVM_GETSELECTEDCOUNT, 0, 0), 0);
    EXPECT_EQ(state_->hrgnSelection, nullptr);
    Close(dialog, IDOK);
    EXPECT_TRUE(PtInRegion(state_->hrgnCurrent, 20, 15));
}

TEST_F(RawDataTest, CancelAndEscLeaveTheRegionAndCancelledInputsChangeNothing) {
    Give(RegionOfRects({{5, 5, 15, 15}, {30, 10, 50, 30}}));
    HRGN before = state_->hrgnCurrent;
    const std::vector<RECT> original = RegionRectsOf(before);
    HWND dialog = OpenRawData();
    ASSERT_NE(dialog, nullptr);
    Select(dialog, 1, true);
    RunRectangle(dialog, IDC_RAW_OR, {0, 0, 60, 40}, false, false);
    EXPECT_EQ(Rows(dialog).size(), 4u);
    EXPECT_EQ(SendMessageA(List(dialog), LVM_GETSELECTEDCOUNT, 0, 0), 1) << "a cancelled input keeps the selection";
    RunRectangle(dialog, IDC_RAW_OR, {0, 0, 60, 40});
    RunMove(dialog, "3", "3");
    EXPECT_EQ(Rows(dialog).size(), 1u);
    Close(dialog, IDCANCEL);
    EXPECT_EQ(state_->hrgnCurrent, before);
    EXPECT_TRUE(SameRects(RegionRectsOf(state_->hrgnCurrent), original));
    EXPECT_EQ(state_->hrgnEditing, nullptr);
    EXPECT_EQ(state_->hrgnSelection, nullptr);

    dialog = OpenRawData();
    ASSERT_NE(dialog, nullptr);
    RunRectangle(dialog, IDC_RAW_AND, {0, 0, 0, 0});
    PostMessageA(List(dialog), WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
    Idle();
    EXPECT_TRUE(SameRects(RegionRectsOf(state_->hrgnCurrent), original));
}

TEST_F(RawDataTest, UnloadingWithTheDialogOpenDropsTheWorkingCopy) {
    Give(RegionOfRects({{5, 5, 15, 15}, {30, 10, 50, 30}}));
    HWND dialog = OpenRawData();
    ASSERT_NE(dialog, nullptr);
    Select(dialog, 0, true);
    HRGN editing = state_->hrgnEditing, selection = state_->hrgnSelection;
    ASSERT_NE(host_.addInUnload(), FALSE);
    host_.frameWindowProc = nullptr;
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(state_->hrgnEditing, nullptr);
    EXPECT_EQ(state_->hrgnSelection, nullptr);
    EXPECT_EQ(GetObjectType(editing), 0u);
    EXPECT_EQ(GetObjectType(selection), 0u);
}

LRESULT CALLBACK CountPaints(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcA(hwnd, message, wParam, lParam);
    ++*reinterpret_cast<int*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    ValidateRect(hwnd, nullptr);
    return 0;
}

TEST_F(RawDataTest, UnloadingWithAnInputDialogOpenRepaintsNothingElse) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = CountPaints;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PaintWitness";
    RegisterClassA(&windowClass);
    for (int button : {IDC_RAW_OR, IDC_RAW_MOVE}) {
        Give(RegionOfRects({{5, 5, 15, 15}}));
        HWND dialog = OpenRawData();
        ASSERT_NE(dialog, nullptr);
        PostMessageA(dialog, WM_COMMAND, static_cast<WPARAM>(button), 0);
        ASSERT_NE(WaitForDialog(editorWindow_.threadId, button == IDC_RAW_OR ? "OR" : "Move"), nullptr);
        // A window of ours far from the editor: only a repaint of everything reaches it.
        int paints = 0;
        HWND witness = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, "PaintWitness", "", WS_POPUP | WS_VISIBLE,
                                       1200, 950, 40, 40, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        SetWindowLongPtrA(witness, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&paints));
        UpdateWindow(witness);
        ASSERT_TRUE(WaitUntil([&] { return paints > 0; }));
        paints = 0;
        ASSERT_NE(host_.addInUnload(), FALSE) << button;
        host_.frameWindowProc = nullptr;
        PumpMessages();
        EXPECT_FALSE(GetUpdateRect(witness, nullptr, FALSE)) << button;
        EXPECT_EQ(paints, 0) << button;
        DestroyWindow(witness);
        if (button == IDC_RAW_OR) {
            ASSERT_TRUE(LoadTheAddIn());
            editorWindow_ = OpenEditor();
            ASSERT_NE(editorWindow_.hwnd, nullptr);
        }
    }
}

TEST_F(RawDataTest, WithoutARegionTheCommandDoesNothing) {
    PostMessageA(editorWindow_.hwnd, WM_COMMAND, IDM_VIEW_RAW_DATA, 0);
    Idle();
    EXPECT_FALSE(BoxIsUp("Raw region data"));
}

TEST_F(RawDataTest, EveryRegionTheDialogMakesIsReleased) {
    // Wine's list view makes objects of its own now and then (a dozen at a time,
    // then none for many openings), so this follows the dialog's own regions.
    Give(RegionOfRects({{5, 5, 15, 15}, {30, 10, 50, 30}}));
    for (int closeWith : {IDCANCEL, IDOK}) {
        HWND dialog = OpenRawData();
        ASSERT_NE(dialog, nullptr);
        std::vector<HRGN> made = {state_->hrgnEditing};
        Select(dialog, 0, true);
        made.push_back(state_->hrgnSelection);
        RunRectangle(dialog, IDC_RAW_XOR, {1, 1, 4, 4});
        Select(dialog, 1, true);
        made.push_back(state_->hrgnSelection);
        ClickNow(dialog, IDC_RAW_DELETE);
        Select(dialog, 0, true);
        made.push_back(state_->hrgnSelection);
        HRGN current = state_->hrgnCurrent;
        Close(dialog, closeWith);
        EXPECT_EQ(state_->hrgnEditing, nullptr);
        EXPECT_EQ(state_->hrgnSelection, nullptr);
        if (closeWith == IDOK) {
            EXPECT_EQ(GetObjectType(current), 0u) << "the old current region is replaced";
        }
        for (HRGN region : made) {
            if (region == state_->hrgnCurrent) continue;  // the saved working copy
            EXPECT_EQ(GetObjectType(region), 0u) << (closeWith == IDOK ? "Save" : "Cancel");
        }
    }
}

}  // namespace
