// The rectangle dialog (OR, AND, XOR, DIFF) and the "Move" dialog: both change
// the working copy of the raw region data dialog when confirmed.
#include <windows.h>

#include "common/win_handles.h"
#include "editor/editor_state.h"
#include "rawdata/raw_data_dialogs.h"
#include "res/resource_ids.h"

namespace {

struct Operation {
    int button;
    const char* caption;
    int mode;
};

const Operation kOperations[] = {
    {IDC_RAW_OR, "OR", RGN_OR},
    {IDC_RAW_AND, "AND", RGN_AND},
    {IDC_RAW_XOR, "XOR", RGN_XOR},
    {IDC_RAW_DIFF, "DIFF", RGN_DIFF},
};

const Operation* FindOperation(LPARAM button) {
    for (const Operation& operation : kOperations)
        if (operation.button == button) return &operation;
    return nullptr;
}

int SignedItem(HWND hwnd, int id) { return static_cast<int>(GetDlgItemInt(hwnd, id, nullptr, TRUE)); }

void InitRectDialog(HWND hwnd, LPARAM button) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, button);
    const Operation* operation = FindOperation(button);
    if (operation) SetWindowTextA(hwnd, operation->caption);
    if (button == IDC_RAW_DIFF) EnableWindow(GetDlgItem(hwnd, IDC_RECT_REVERSE), TRUE);
    for (int id : {IDC_RECT_LEFT, IDC_RECT_TOP, IDC_RECT_RIGHT, IDC_RECT_BOTTOM}) SetDlgItemInt(hwnd, id, 0, FALSE);
}

void CombineWithRectangle(HWND hwnd) {
    const RECT rect = {SignedItem(hwnd, IDC_RECT_LEFT), SignedItem(hwnd, IDC_RECT_TOP), SignedItem(hwnd, IDC_RECT_RIGHT),
                       SignedItem(hwnd, IDC_RECT_BOTTOM)};
    const Operation* operation = FindOperation(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    OwnedRegion rectangle(CreateRectRgnIndirect(&rect));
    if (operation && rectangle) {
        if (IsDlgButtonChecked(hwnd, IDC_RECT_REVERSE))
            CombineRgn(editor.hrgnEditing, rectangle.get(), editor.hrgnEditing, operation->mode);
        else
            CombineRgn(editor.hrgnEditing, editor.hrgnEditing, rectangle.get(), operation->mode);
    }
    EndDialog(hwnd, IDOK);
}

}  // namespace

INT_PTR CALLBACK RectDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: InitRectDialog(hwnd, lParam); return TRUE;
    case WM_COMMAND:
        if (wParam == IDOK) CombineWithRectangle(hwnd);
        else if (wParam == IDCANCEL) EndDialog(hwnd, IDCANCEL);
        return FALSE;
    default: return FALSE;
    }
}

INT_PTR CALLBACK MoveDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        SetDlgItemInt(hwnd, IDC_MOVE_X, 0, FALSE);
        SetDlgItemInt(hwnd, IDC_MOVE_Y, 0, FALSE);
        return TRUE;
    case WM_COMMAND:
        if (wParam == IDOK) {
            OffsetRgn(editor.hrgnEditing, SignedItem(hwnd, IDC_MOVE_X), SignedItem(hwnd, IDC_MOVE_Y));
            EndDialog(hwnd, IDOK);
        } else if (wParam == IDCANCEL) {
            EndDialog(hwnd, IDCANCEL);
        }
        return FALSE;
    default: return FALSE;
    }
}
