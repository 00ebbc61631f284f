// "Raw region data": the working copy's header and rectangles, selection shown
// in the editor, Delete, the input dialogs, Save and Cancel.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <utility>

#include "core/no_throw.h"
#include "platform/module.h"
#include "platform/win_handles.h"
#include "ui/rawdata/raw_data_dialogs.h"
#include "ui/shared/dialog_support.h"
#include "ui/shared/region_bytes.h"
#include "platform/region_gdi.h"
#include "core/region_rects.h"
#include "res/resource_ids.h"

namespace {

// The dialog's keys: its modal loop runs no accelerators, so a message filter
// hook gives them its messages, and only those for it or its controls.
HWND keyedDialog = nullptr;
HACCEL dialogKeys = nullptr;

const char kEditTooLargeText[] = "Too many rectangles, region data was NOT changed.";
const char* const kColumnTitles[4] = {"RECT.left", "RECT.top", "RECT.right", "RECT.bottom"};
const int kHeaderControls[8] = {IDC_RAW_HEADER_SIZE, IDC_RAW_TYPE,  IDC_RAW_COUNT, IDC_RAW_DATA_SIZE,
                                IDC_RAW_LEFT,        IDC_RAW_TOP,   IDC_RAW_RIGHT, IDC_RAW_BOTTOM};

// What one open dialog keeps: made by the call that runs it, pointed to by its
// window's user data.
struct RawData {
    // A copy of the editor's region: what Save and Cancel act on; the edits
    // replace it one by one.
    OwnedRegion workingCopy;
    // The union of the selected rows, shown in the editor in place of the
    // working copy; none when no row is selected.
    OwnedRegion selection;
    OwnedRegion saved;  // the working copy, once Save took it
    // The working copy's rectangles in the order of its region data: row n of
    // the list is rects[n], drawn from here whenever the list shows it.
    RegionRects rects;
    ShowRegionsCallback show = nullptr;
    // The edits before Save, to take back and redo.
    EditHistory history{kHistoryBudget, kHistorySteps};
    // While the list is rebuilt its notifications say nothing about the user's selection.
    bool refreshing = false;
    // A selection change has been seen and the selection region not yet rebuilt:
    // Ctrl+A or a click after it changes thousands of rows, and the region is
    // rebuilt once when they are all through.
    bool selectionUnsettled = false;
};

RawData* DataOf(HWND hwnd) { return reinterpret_cast<RawData*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)); }
HWND List(HWND hwnd) { return GetDlgItem(hwnd, IDC_RAW_LIST); }
HWND EditorOf(HWND hwnd) { return GetWindow(hwnd, GW_OWNER); }

// Every row at once (Ctrl+A, or anyone selecting or unselecting all): an
// owner-data list changes each row, invalidating it, before it says anything,
// so it stops drawing first and draws again once the change has settled.
LRESULT HandleListMessage(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(list, GWLP_USERDATA));
    if (message != LVM_SETITEMSTATE || static_cast<int>(wParam) != -1)
        return CallWindowProcW(original, list, message, wParam, lParam);
    CallWindowProcW(original, list, WM_SETREDRAW, FALSE, 0);
    const LRESULT result = CallWindowProcW(original, list, message, wParam, lParam);
    const RawData* data = DataOf(GetParent(list));
    if (!data || !data->selectionUnsettled) {
        CallWindowProcW(original, list, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list, nullptr, TRUE);
    }
    return result;
}

LRESULT CALLBACK OwnerDataListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWithoutThrowing(0, HandleListMessage, hwnd, message, wParam, lParam);
}

// The template's list is owner-data: it asks for a cell when it draws it.
// Subclassed so that whole-list state changes run without drawing.
bool SubclassList(HWND hwnd) {
    HWND list = List(hwnd);
    if (!list) return false;
    SetWindowLongPtrW(list, GWLP_USERDATA, GetWindowLongPtrW(list, GWLP_WNDPROC));
    SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OwnerDataListProc));
    return true;
}

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

// A cell's text: the coordinate as signed decimal.
void ShowCell(const RawData& data, LVITEMA& item) {
    if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
    item.pszText[0] = '\0';
    if (item.iItem < 0 || static_cast<std::size_t>(item.iItem) >= data.rects.size() || item.iSubItem < 0 ||
        item.iSubItem > 3)
        return;
    const RegionRect& rect = data.rects[static_cast<std::size_t>(item.iItem)];
    const std::int32_t values[4] = {rect.left, rect.top, rect.right, rect.bottom};
    std::snprintf(item.pszText, static_cast<std::size_t>(item.cchTextMax), "%ld",
                  static_cast<long>(values[item.iSubItem]));
}

// The editor's view draws the working copy and the selection: it is told each
// time either changes, and given nulls before they go.
void ShowInEditor(HWND hwnd, const RawData& data) { data.show(EditorOf(hwnd), data.workingCopy.get(), data.selection.get()); }

// The view shows the whole working copy again.
void DiscardSelection(HWND hwnd, RawData& data) {
    data.show(EditorOf(hwnd), data.workingCopy.get(), nullptr);
    data.selection.reset();
}

void DropRegions(HWND hwnd, RawData& data) {
    data.show(EditorOf(hwnd), nullptr, nullptr);
    data.selection.reset();
    data.workingCopy.reset();
}

void RefreshRawData(HWND hwnd, RawData& data) {
    data.refreshing = true;
    data.selectionUnsettled = false;
    DiscardSelection(hwnd, data);
    HWND list = List(hwnd);
    // Every row goes, and its selection and focus with it.
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    data.rects.clear();
    // Out of memory, as when the data cannot be read: the list stays empty.
    RegionHeader header;
    if (FetchRegionRects(data.workingCopy.get(), data.rects, &header)) {
        const LONG values[8] = {static_cast<LONG>(header.dwSize), static_cast<LONG>(header.iType),
                                static_cast<LONG>(header.nCount), static_cast<LONG>(header.nRgnSize),
                                header.rcBound.left,              header.rcBound.top,
                                header.rcBound.right,             header.rcBound.bottom};
        for (int i = 0; i < 8; ++i) SetDlgItemInt(hwnd, kHeaderControls[i], static_cast<UINT>(values[i]), TRUE);
    }
    SendMessageA(list, LVM_SETITEMCOUNT, data.rects.size(), 0);
    InvalidateRect(list, nullptr, TRUE);
    data.refreshing = false;
    RedrawWindow(EditorOf(hwnd), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
}

// `first` combined with `second` by `mode`, as a new region; none on failure.
OwnedRegion CombinedRegion(HRGN first, HRGN second, int mode) {
    OwnedRegion result(CreateRectRgn(0, 0, 0, 0));
    if (result && CombineRgn(result.get(), first, second, mode) == ERROR) result.reset();
    return result;
}

void InitRawData(HWND hwnd, RawData* data) {
    if (!data || !SubclassList(hwnd)) {
        EndDialog(hwnd, IDCANCEL);
        return;
    }
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
    keyedDialog = hwnd;
    InsertColumns(List(hwnd));
    RefreshRawData(hwnd, *data);
}

void SettleSelection(HWND hwnd, RawData& data);

// `changed` is the selected bit of the rows that changed; -1 stands for every row.
void OnSelectionChanged(HWND hwnd, RawData& data, bool changed) {
    if (data.refreshing || !changed || data.selectionUnsettled) return;
    data.selectionUnsettled = true;
    // The list stops drawing until the batch is through: otherwise it
    // invalidates every changed row on its own, which is most of the time that
    // selecting thousands of rows takes.
    SendMessageA(List(hwnd), WM_SETREDRAW, FALSE, 0);
    if (!PostMessageA(hwnd, kSettleSelectionMessage, 0, 0)) SettleSelection(hwnd, data);
}

// The selection region made afresh from the selected rows: their rectangles
// merged into banded form in one pass, then one platform region, so selecting
// every row costs n log n instead of one growing combine per row.
void SettleSelection(HWND hwnd, RawData& data) {
    if (!data.selectionUnsettled) return;
    data.selectionUnsettled = false;
    HWND list = List(hwnd);
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    BeginBusy();
    DiscardSelection(hwnd, data);
    const LRESULT selected = SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0);
    // Out of memory: no selection is shown, the working copy is drawn whole.
    if (!ResultOrFailure(false, [&] {
        if (selected > 0 && static_cast<std::size_t>(selected) == data.rects.size()) {
            // Every row: the rows are the working copy's own rectangles, so
            // their union is the working copy itself.
            data.selection = CombinedRegion(data.workingCopy.get(), nullptr, RGN_COPY);
            RECT box{};
            if (data.selection && (GetRgnBox(data.selection.get(), &box), IsRectEmpty(&box))) data.selection.reset();
        } else if (selected > 0) {
            RegionRects rects;
            rects.reserve(static_cast<std::size_t>(selected));
            for (int row = -1;
                 (row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) != -1;)
                if (static_cast<std::size_t>(row) < data.rects.size()) rects.push_back(data.rects[row]);
            const RegionRects united = UnionOfRects(rects);
            if (!united.empty()) data.selection.reset(CreateRegionFromRects(united));
        }
        return true;
    }))
        data.selection.reset();
    EndBusy();
    // The view switches between the selection and the whole working copy, so
    // anything it drew may change.
    ShowInEditor(hwnd, data);
}

// Every edit is made into a new region, `result` (none when it could not be
// made, which changes nothing). It becomes the working copy unless it has more
// rectangles than a region file may hold: Open would refuse what Save then
// wrote, so the edit is refused and the working copy, the list and its
// selection stay as they were. False when there is nothing to refresh.
bool TakeEditResult(HWND hwnd, RawData& data, OwnedRegion& result) {
    if (!result) return true;
    if (!RegionWithinLimit(result.get())) {
        result.reset();
        ShowError(kEditTooLargeText, hwnd);
        return false;
    }
    // The edit is a step; one the history cannot keep empties it.
    const bool kept = ResultOrFailure(false, [&] {
        EditStep step;
        return CaptureRegion(data.workingCopy.get(), step.before.region) &&
               CaptureRegion(result.get(), step.after.region) && data.history.Record(std::move(step));
    });
    if (!kept) data.history.Clear();
    // The view lets go of the old working copy before it is freed.
    data.show(EditorOf(hwnd), result.get(), nullptr);
    data.selection.reset();
    data.workingCopy = std::move(result);
    return true;
}

void DeleteSelectedRows(HWND hwnd, RawData& data) {
    HWND list = List(hwnd);
    if (SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == 0) return;
    // The rows are the working copy's own rectangles, and the selection region
    // is the union of the selected ones: one subtraction takes them all, where
    // one per row would cost the square of the rows. The region is brought up
    // to date first, for a Delete that comes before its rebuild.
    SettleSelection(hwnd, data);
    OwnedRegion result;
    if (data.selection) result = CombinedRegion(data.workingCopy.get(), data.selection.get(), RGN_DIFF);
    if (TakeEditResult(hwnd, data, result)) RefreshRawData(hwnd, data);
}

// Whether an input dialog's `result` leaves something to do. Unloading the
// add-in destroys this dialog under the input dialog: then there is nothing
// left to change or refresh.
bool StillOpenAfter(HWND hwnd, INT_PTR result) { return result != IDCANCEL && IsWindow(hwnd); }

void CombineWithRectangle(HWND hwnd, RawData& data, int button) {
    RectInput input;
    input.operation = button;
    const INT_PTR answer = AskRectangle(hwnd, input);
    if (!StillOpenAfter(hwnd, answer)) return;
    OwnedRegion rectangle(answer == IDOK ? CreateRectRgnIndirect(&input.rect) : nullptr);
    OwnedRegion result;
    if (rectangle && input.mode)
        result = input.reversed ? CombinedRegion(rectangle.get(), data.workingCopy.get(), input.mode)
                                : CombinedRegion(data.workingCopy.get(), rectangle.get(), input.mode);
    if (TakeEditResult(hwnd, data, result)) RefreshRawData(hwnd, data);
}

void MoveWorkingCopy(HWND hwnd, RawData& data) {
    MoveInput input;
    const INT_PTR answer = AskMove(hwnd, input);
    if (!StillOpenAfter(hwnd, answer)) return;
    OwnedRegion result(answer == IDOK ? CombinedRegion(data.workingCopy.get(), nullptr, RGN_COPY) : OwnedRegion());
    if (result && OffsetRgn(result.get(), input.dx, input.dy) == ERROR) result.reset();
    if (TakeEditResult(hwnd, data, result)) RefreshRawData(hwnd, data);
}

// The working copy as it stood before the last edit, or after the next one.
void StepWorkingCopy(HWND hwnd, RawData& data, bool back) {
    const EditStep* step = back ? data.history.Undo() : data.history.Redo();
    if (!step) return;
    OwnedRegion restored;
    if (!RebuildRegion(back ? step->before.region : step->after.region, restored) || !restored) {
        back ? data.history.Redo() : data.history.Undo();
        return;
    }
    data.show(EditorOf(hwnd), restored.get(), nullptr);
    data.selection.reset();
    data.workingCopy = std::move(restored);
    RefreshRawData(hwnd, data);
}

// The working copy becomes the call's result; without one (it could not be
// made) the current region stays.
void SaveWorkingCopy(HWND hwnd, RawData& data) {
    data.saved = std::move(data.workingCopy);
    DropRegions(hwnd, data);
    EndDialog(hwnd, data.saved ? IDOK : IDCANCEL);
}

void DropWorkingCopy(HWND hwnd, RawData* data) {
    if (data) DropRegions(hwnd, *data);
    EndDialog(hwnd, IDCANCEL);
}

void OnRawDataCommand(HWND hwnd, RawData& data, WPARAM command) {
    switch (command) {
    case IDC_RAW_OR:
    case IDC_RAW_AND:
    case IDC_RAW_XOR:
    case IDC_RAW_DIFF: CombineWithRectangle(hwnd, data, static_cast<int>(command)); break;
    case IDC_RAW_MOVE: MoveWorkingCopy(hwnd, data); break;
    case IDC_RAW_DELETE: DeleteSelectedRows(hwnd, data); break;
    case MAKEWPARAM(IDC_RAW_UNDO, 1): StepWorkingCopy(hwnd, data, true); break;
    case MAKEWPARAM(IDC_RAW_REDO, 1): StepWorkingCopy(hwnd, data, false); break;
    case IDOK: SaveWorkingCopy(hwnd, data); break;
    case IDCANCEL: DropWorkingCopy(hwnd, &data); break;
    default: break;
    }
}

bool SelectedBitChanged(UINT changed, UINT newState, UINT oldState) {
    return (changed & LVIF_STATE) && ((newState ^ oldState) & LVIS_SELECTED);
}

// Returns the dialog result: TRUE where the notification takes an answer.
BOOL OnRawDataNotify(HWND hwnd, RawData& data, const NMHDR& header) {
    if (header.idFrom != IDC_RAW_LIST) return FALSE;
    switch (header.code) {
    case LVN_GETDISPINFOA: ShowCell(data, reinterpret_cast<NMLVDISPINFOA&>(const_cast<NMHDR&>(header)).item); break;
    case LVN_ITEMCHANGED: {
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        // Item -1 stands for every row at once; its states need not differ.
        OnSelectionChanged(hwnd, data,
                           (change.uChanged & LVIF_STATE) &&
                               (change.iItem == -1 || SelectedBitChanged(change.uChanged, change.uNewState,
                                                                         change.uOldState)));
        break;
    }
    case LVN_ODSTATECHANGED: {
        // A range of rows at once (Shift with a click or the arrow keys).
        const auto& change = reinterpret_cast<const NMLVODSTATECHANGE&>(header);
        OnSelectionChanged(hwnd, data, SelectedBitChanged(LVIF_STATE, change.uNewState, change.uOldState));
        break;
    }
    case LVN_KEYDOWN: {
        const WORD key = reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey;
        if (key == VK_DELETE) {
            DeleteSelectedRows(hwnd, data);
        } else if (key == 'A' && GetKeyState(VK_CONTROL) < 0) {
            // Ctrl+A selects every row, as in other lists; not every list view does it itself.
            LVITEMA item{};
            item.stateMask = LVIS_SELECTED;
            item.state = LVIS_SELECTED;
            SendMessageA(List(hwnd), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
        }
        break;
    }
    case LVN_DELETEALLITEMS:
        // No notification for each row while the list is emptied.
        SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, TRUE);
        return TRUE;
    default: break;
    }
    return FALSE;
}

}  // namespace

static INT_PTR HandleRawDataMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        InitRawData(hwnd, reinterpret_cast<RawData*>(lParam));
        return TRUE;
    }
    RawData* data = DataOf(hwnd);
    switch (message) {
    case WM_COMMAND:
        if (data) OnRawDataCommand(hwnd, *data, wParam);
        else if (wParam == IDOK || wParam == IDCANCEL) DropWorkingCopy(hwnd, nullptr);
        return FALSE;
    case WM_NOTIFY: return data ? OnRawDataNotify(hwnd, *data, *reinterpret_cast<const NMHDR*>(lParam)) : FALSE;
    case kSettleSelectionMessage:
        if (data) SettleSelection(hwnd, *data);
        return TRUE;
    case WM_MOUSEMOVE: SetCursor(LoadCursorA(nullptr, IsBusy() ? IDC_WAIT : IDC_ARROW)); return FALSE;
    case WM_DESTROY:
        // Closed with its owner (the editor's Exit, the add-in's unload) rather
        // than by Save or Cancel: the working copy goes as Cancel would drop it.
        if (data) DropRegions(hwnd, *data);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        keyedDialog = nullptr;
        return FALSE;
    default: return FALSE;
    }
}

static INT_PTR CALLBACK RawDataDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWithoutThrowing(FALSE, HandleRawDataMessage, hwnd, message, wParam, lParam);
}

static LRESULT FilterDialogMessage(int code, WPARAM wParam, LPARAM lParam) {
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && keyedDialog && dialogKeys &&
        (msg->hwnd == keyedDialog || IsChild(keyedDialog, msg->hwnd)) &&
        TranslateAcceleratorA(keyedDialog, dialogKeys, msg))
        return TRUE;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

static LRESULT CALLBACK DialogKeysProc(int code, WPARAM wParam, LPARAM lParam) {
    return CallWithoutThrowing(0, FilterDialogMessage, code, wParam, lParam);
}

struct HookTraits {
    static HHOOK invalid() { return nullptr; }
    static void close(HHOOK hook) { UnhookWindowsHookEx(hook); }
};

OwnedRegion EditRegionData(HWND editor, HRGN current, ShowRegionsCallback show) {
    RawData data;
    data.show = show;
    data.workingCopy = CombinedRegion(current, nullptr, RGN_COPY);
    ACCEL keys[] = {{FVIRTKEY | FCONTROL, 'Z', IDC_RAW_UNDO},
                    {FVIRTKEY | FCONTROL, 'Y', IDC_RAW_REDO},
                    {FVIRTKEY | FCONTROL | FSHIFT, 'Z', IDC_RAW_REDO}};
    const OwnedAccelerators table(CreateAcceleratorTableA(keys, 3));
    const UniqueHandle<HHOOK, HookTraits> hook(
        SetWindowsHookExA(WH_MSGFILTER, DialogKeysProc, nullptr, GetCurrentThreadId()));
    dialogKeys = table.get();
    DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_RAW_DATA), editor, RawDataDlgProc, reinterpret_cast<LPARAM>(&data));
    dialogKeys = nullptr;
    return std::move(data.saved);
}
