// The rectangle dialog (OR, AND, XOR, DIFF) and the "Move" dialog: each hands
// what the user typed back to the raw region data dialog through its parameter.
#include <windows.h>

#include <initializer_list>

#include "core/no_throw.h"
#include "platform/module.h"
#include "ui/rawdata/raw_data_dialogs.h"
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

const Operation* FindOperation(int button) {
    for (const Operation& operation : kOperations)
        if (operation.button == button) return &operation;
    return nullptr;
}

int SignedItem(HWND hwnd, int id) { return static_cast<int>(GetDlgItemInt(hwnd, id, nullptr, TRUE)); }

void InitRectDialog(HWND hwnd, RectInput* input) {
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(input));
    const Operation* operation = input ? FindOperation(input->operation) : nullptr;
    if (operation) SetWindowTextA(hwnd, operation->caption);
    if (operation && operation->button == IDC_RAW_DIFF) EnableWindow(GetDlgItem(hwnd, IDC_RECT_REVERSE), TRUE);
    for (int id : {IDC_RECT_LEFT, IDC_RECT_TOP, IDC_RECT_RIGHT, IDC_RECT_BOTTOM}) SetDlgItemInt(hwnd, id, 0, FALSE);
}

void ConfirmRectangle(HWND hwnd) {
    auto* input = reinterpret_cast<RectInput*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (input) {
        input->rect = {SignedItem(hwnd, IDC_RECT_LEFT), SignedItem(hwnd, IDC_RECT_TOP),
                       SignedItem(hwnd, IDC_RECT_RIGHT), SignedItem(hwnd, IDC_RECT_BOTTOM)};
        const Operation* operation = FindOperation(input->operation);
        input->mode = operation ? operation->mode : 0;
        input->reversed = IsDlgButtonChecked(hwnd, IDC_RECT_REVERSE) != 0;
    }
    EndDialog(hwnd, IDOK);
}

}  // namespace

static INT_PTR HandleRectMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: InitRectDialog(hwnd, reinterpret_cast<RectInput*>(lParam)); return TRUE;
    case WM_COMMAND:
        if (wParam == IDOK) ConfirmRectangle(hwnd);
        else if (wParam == IDCANCEL) EndDialog(hwnd, IDCANCEL);
        return FALSE;
    default: return FALSE;
    }
}

static INT_PTR CALLBACK RectDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWithoutThrowing(FALSE, HandleRectMessage, hwnd, message, wParam, lParam);
}

INT_PTR AskRectangle(HWND owner, RectInput& input) {
    return DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_RECT_INPUT), owner, RectDlgProc,
                           reinterpret_cast<LPARAM>(&input));
}

static INT_PTR HandleMoveMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, lParam);
        SetDlgItemInt(hwnd, IDC_MOVE_X, 0, FALSE);
        SetDlgItemInt(hwnd, IDC_MOVE_Y, 0, FALSE);
        return TRUE;
    case WM_COMMAND:
        if (wParam == IDOK) {
            if (auto* input = reinterpret_cast<MoveInput*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)))
                *input = {SignedItem(hwnd, IDC_MOVE_X), SignedItem(hwnd, IDC_MOVE_Y)};
            EndDialog(hwnd, IDOK);
        } else if (wParam == IDCANCEL) {
            EndDialog(hwnd, IDCANCEL);
        }
        return FALSE;
    default: return FALSE;
    }
}

static INT_PTR CALLBACK MoveDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWithoutThrowing(FALSE, HandleMoveMessage, hwnd, message, wParam, lParam);
}

INT_PTR AskMove(HWND owner, MoveInput& input) {
    return DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_MOVE), owner, MoveDlgProc, reinterpret_cast<LPARAM>(&input));
}
