// "Raw region data": the working copy's header and rectangles, selection shown
// in the editor, Delete, the input dialogs, Save and Cancel.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/module.h"
#include "common/win_handles.h"
#include "editor/editor_state.h"
#include "rawdata/raw_data_dialogs.h"
#include "region/region_gdi.h"
#include "region/region_rects.h"
#include "res/resource_ids.h"

namespace {

const char* const kColumnTitles[4] = {"RECT.left", "RECT.top", "RECT.right", "RECT.bottom"};
const int kHeaderControls[8] = {IDC_RAW_HEADER_SIZE, IDC_RAW_TYPE,  IDC_RAW_COUNT, IDC_RAW_DATA_SIZE,
                                IDC_RAW_LEFT,        IDC_RAW_TOP,   IDC_RAW_RIGHT, IDC_RAW_BOTTOM};

// While the list is rebuilt its notifications say nothing about the user's selection.
bool refreshing = false;
// A selection change has been seen and the selection region not yet rebuilt:
// Ctrl+A or a click after it changes thousands of rows, one notification
// each, and the region is rebuilt once when they are all through.
bool selectionUnsettled = false;

HWND List(HWND hwnd) { return GetDlgItem(hwnd, IDC_RAW_LIST); }
HWND EditorOf(HWND hwnd) { return GetWindow(hwnd, GW_OWNER); }

void InsertColumns(HWND list) {
    for (int i = 0; i < 4; ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = 70;
        column.pszText = const_cast<char*>(kColumnTitles[i]);
        column.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    for (int i = 3; i >= 0; --i) SendMessageA(list, LVM_SETCOLUMNWIDTH, i, LVSCW_AUTOSIZE_USEHEADER);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
}

// A row's rectangle, read back from the text of its four cells.
bool ReadRow(HWND list, int row, RECT& rect) {
    LONG* fields[4] = {&rect.left, &rect.top, &rect.right, &rect.bottom};
    for (int i = 0; i < 4; ++i) {
        char cell[20] = "";
        LVITEMA item{};
        item.iSubItem = i;
        item.pszText = cell;
        item.cchTextMax = sizeof cell;
        if (SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item)) <= 0) return false;
        *fields[i] = std::strtol(cell, nullptr, 10);
    }
    return true;
}

void DiscardSelection() {
    if (editor.hrgnSelection) DeleteObject(editor.hrgnSelection);
    editor.hrgnSelection = nullptr;
}

void FillRows(HWND list, const RGNDATA* data) {
    const auto* rects = reinterpret_cast<const RECT*>(reinterpret_cast<const BYTE*>(data) + data->rdh.dwSize);
    // Room for all rows made at once.
    SendMessageA(list, LVM_SETITEMCOUNT, data->rdh.nCount, 0);
    char text[4][16];
    for (DWORD i = 0; i < data->rdh.nCount; ++i) {
        const LONG values[4] = {rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
        for (int c = 0; c < 4; ++c) std::snprintf(text[c], sizeof text[c], "%ld", static_cast<long>(values[c]));
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = text[0];
        const int row = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        for (int c = 1; c < 4; ++c) {
            LVITEMA cell{};
            cell.mask = LVIF_TEXT;
            cell.iItem = row;
            cell.iSubItem = c;
            cell.pszText = text[c];
            SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&cell));
        }
    }
}

void InitRawData(HWND hwnd) {
    selectionUnsettled = false;
    InsertColumns(List(hwnd));
    editor.hrgnEditing = CreateRectRgn(0, 0, 0, 0);
    if (editor.hrgnEditing && CombineRgn(editor.hrgnEditing, editor.hrgnCurrent, nullptr, RGN_COPY) == ERROR) {
        DeleteObject(editor.hrgnEditing);
        editor.hrgnEditing = nullptr;
    }
    RefreshRawData(hwnd);
}

void SettleSelection(HWND hwnd);

void OnSelectionChanged(HWND hwnd, const NMLISTVIEW& change) {
    if (refreshing || !(change.uChanged & LVIF_STATE)) return;
    // Item -1 stands for every row at once.
    if (change.iItem != -1 && ((change.uNewState ^ change.uOldState) & LVIS_SELECTED) == 0) return;
    if (selectionUnsettled) return;
    selectionUnsettled = true;
    // The list stops drawing until the batch is through: otherwise it
    // invalidates every changed row on its own, which is most of the time that
    // selecting thousands of rows takes.
    SendMessageA(List(hwnd), WM_SETREDRAW, FALSE, 0);
    if (!PostMessageA(hwnd, kSettleSelectionMessage, 0, 0)) SettleSelection(hwnd);
}

// The selection region made afresh from the selected rows: their rectangles
// merged into banded form in one pass, then one platform region, so selecting
// every row costs n log n instead of one growing combine per row.
void SettleSelection(HWND hwnd) {
    if (!selectionUnsettled) return;
    selectionUnsettled = false;
    HWND list = List(hwnd);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    BeginBusy();
    DiscardSelection();
    const LRESULT selected = SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0);
    try {
        if (selected > 0 && selected == SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) {
            // Every row: the rows are the working copy's own rectangles, so
            // their union is the working copy itself.
            editor.hrgnSelection = CreateRectRgn(0, 0, 0, 0);
            RECT box{};
            if (editor.hrgnSelection &&
                (CombineRgn(editor.hrgnSelection, editor.hrgnEditing, nullptr, RGN_COPY) == ERROR ||
                 (GetRgnBox(editor.hrgnSelection, &box), IsRectEmpty(&box))))
                DiscardSelection();
        } else if (selected > 0) {
            RegionRects rects;
            rects.reserve(static_cast<std::size_t>(selected));
            for (int row = -1;
                 (row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) != -1;) {
                RECT rect{};
                if (ReadRow(list, row, rect)) rects.push_back({rect.left, rect.top, rect.right, rect.bottom});
            }
            const RegionRects united = UnionOfRects(rects);
            if (!united.empty()) editor.hrgnSelection = CreateRegionFromRects(united);
        }
    } catch (...) {
        // Out of memory: no selection is shown, the working copy is drawn whole.
        DiscardSelection();
    }
    EndBusy();
    // The view switches between the selection and the whole working copy, so
    // anything it drew may change.
    InvalidateRect(EditorOf(hwnd), nullptr, TRUE);
}

void DeleteSelectedRows(HWND hwnd) {
    HWND list = List(hwnd);
    if (SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == 0) return;
    for (int row = -1; (row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) != -1;) {
        RECT rect{};
        if (!ReadRow(list, row, rect)) continue;
        OwnedRegion area(CreateRectRgnIndirect(&rect));
        if (area) CombineRgn(editor.hrgnEditing, editor.hrgnEditing, area.get(), RGN_DIFF);
    }
    RefreshRawData(hwnd);
}

void RunInputDialog(HWND hwnd, int templateId, DLGPROC procedure, int button) {
    const INT_PTR result = DialogBoxParamA(hInstance, MAKEINTRESOURCEA(templateId), hwnd, procedure, button);
    // Unloading the add-in destroys this dialog under the input dialog: there is
    // nothing left to refresh (its owner would be none, the whole desktop).
    if (result != IDCANCEL && IsWindow(hwnd)) RefreshRawData(hwnd);
}

void SaveWorkingCopy(HWND hwnd) {
    // Without a working copy (it could not be made) the current region stays.
    if (!editor.hrgnEditing) {
        DiscardSelection();
        EndDialog(hwnd, IDCANCEL);
        return;
    }
    if (editor.hrgnCurrent) DeleteObject(editor.hrgnCurrent);
    editor.hrgnCurrent = editor.hrgnEditing;
    editor.hrgnEditing = nullptr;
    DiscardSelection();
    EndDialog(hwnd, IDOK);
}

void DropWorkingCopy(HWND hwnd) {
    if (editor.hrgnEditing) DeleteObject(editor.hrgnEditing);
    editor.hrgnEditing = nullptr;
    DiscardSelection();
    EndDialog(hwnd, IDCANCEL);
}

void OnRawDataCommand(HWND hwnd, WPARAM command) {
    switch (command) {
    case IDC_RAW_OR:
    case IDC_RAW_AND:
    case IDC_RAW_XOR:
    case IDC_RAW_DIFF: RunInputDialog(hwnd, IDD_RECT_INPUT, RectDlgProc, static_cast<int>(command)); break;
    case IDC_RAW_MOVE: RunInputDialog(hwnd, IDD_MOVE, MoveDlgProc, IDC_RAW_MOVE); break;
    case IDC_RAW_DELETE: DeleteSelectedRows(hwnd); break;
    case IDOK: SaveWorkingCopy(hwnd); break;
    case IDCANCEL: DropWorkingCopy(hwnd); break;
    default: break;
    }
}

// Returns the dialog result: TRUE where the notification takes an answer.
BOOL OnRawDataNotify(HWND hwnd, const NMHDR& header) {
    if (header.idFrom != IDC_RAW_LIST) return FALSE;
    if (header.code == LVN_ITEMCHANGED) {
        OnSelectionChanged(hwnd, reinterpret_cast<const NMLISTVIEW&>(header));
    } else if (header.code == LVN_KEYDOWN && reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_DELETE) {
        DeleteSelectedRows(hwnd);
    } else if (header.code == LVN_KEYDOWN && reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == 'A' &&
               GetKeyState(VK_CONTROL) < 0) {
        // Ctrl+A selects every row, as in other lists; not every list view does it itself.
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED;
        item.state = LVIS_SELECTED;
        SendMessageA(List(hwnd), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    } else if (header.code == LVN_DELETEALLITEMS) {
        // No notification for each of thousands of rows while the list is emptied.
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

void RefreshRawData(HWND hwnd) {
    refreshing = true;
    selectionUnsettled = false;
    DiscardSelection();
    HWND list = List(hwnd);
    // Thousands of rows: nothing is drawn while they go out and in.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    const DWORD size = GetRegionData(editor.hrgnEditing, 0, nullptr);
    OwnedGlobal block(size ? GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, size) : nullptr);
    auto* data = static_cast<RGNDATA*>(block.get());
    if (data && GetRegionData(editor.hrgnEditing, size, data)) {
        const LONG header[8] = {static_cast<LONG>(data->rdh.dwSize), static_cast<LONG>(data->rdh.iType),
                                static_cast<LONG>(data->rdh.nCount), static_cast<LONG>(data->rdh.nRgnSize),
                                data->rdh.rcBound.left,            data->rdh.rcBound.top,
                                data->rdh.rcBound.right,           data->rdh.rcBound.bottom};
        for (int i = 0; i < 8; ++i) SetDlgItemInt(hwnd, kHeaderControls[i], static_cast<UINT>(header[i]), TRUE);
        FillRows(list, data);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    refreshing = false;
    RedrawWindow(EditorOf(hwnd), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
}

INT_PTR CALLBACK RawDataDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: InitRawData(hwnd); return TRUE;
    case WM_COMMAND: OnRawDataCommand(hwnd, wParam); return FALSE;
    case WM_NOTIFY: return OnRawDataNotify(hwnd, *reinterpret_cast<const NMHDR*>(lParam));
    case kSettleSelectionMessage: SettleSelection(hwnd); return TRUE;
    case WM_MOUSEMOVE:
        SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(editor.busyCount ? 32514 : 32512)));
        return FALSE;
    case WM_DESTROY:
        // Closed with its owner (the editor's Exit, the add-in's unload) rather
        // than by Save or Cancel: the working copy goes as Cancel would drop it.
        if (editor.hrgnEditing) DeleteObject(editor.hrgnEditing);
        editor.hrgnEditing = nullptr;
        selectionUnsettled = false;
        DiscardSelection();
        return FALSE;
    default: return FALSE;
    }
}
