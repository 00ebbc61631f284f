#include "ui/editor/tolerance_dialog.h"

#include "core/no_throw.h"
#include "platform/module.h"
#include "ui/editor/editor_state.h"
#include "res/resource_ids.h"

// The entry's number when it is digits alone (spaces around them allowed) from
// 0 to 255, else -1. GetDlgItemInt would take the digits before any other
// character, so "1x" would count as 1.
static int ReadTolerance(HWND hwnd) {
    char text[16] = "";
    GetDlgItemTextA(hwnd, IDC_TOLERANCE_VALUE, text, sizeof text);
    const char* next = text;
    while (*next == ' ') ++next;
    int value = -1;
    for (; *next >= '0' && *next <= '9'; ++next)
        if ((value = (value < 0 ? 0 : value * 10) + (*next - '0')) > kMaxMaskTolerance) return -1;
    while (*next == ' ') ++next;
    return *next ? -1 : value;
}

// Anything but a number from 0 to 255 is refused as the editor refuses a
// command: a beep, and the entry selected for typing it again.
static void ConfirmTolerance(HWND hwnd) {
    const int value = ReadTolerance(hwnd);
    if (value < 0) {
        MessageBeep(MB_ICONWARNING);
        HWND entry = GetDlgItem(hwnd, IDC_TOLERANCE_VALUE);
        SendMessageA(entry, EM_SETSEL, 0, -1);
        SetFocus(entry);
        return;
    }
    if (auto* input = reinterpret_cast<ToleranceInput*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)))
        input->tolerance = value;
    EndDialog(hwnd, IDOK);
}

static INT_PTR HandleToleranceMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, lParam);
        SendDlgItemMessageA(hwnd, IDC_TOLERANCE_VALUE, EM_LIMITTEXT, 3, 0);
        SetDlgItemInt(hwnd, IDC_TOLERANCE_VALUE, static_cast<UINT>(reinterpret_cast<ToleranceInput*>(lParam)->tolerance),
                      FALSE);
        CenterOnOwner(hwnd);
        return TRUE;
    case WM_COMMAND:
        if (wParam == IDOK) ConfirmTolerance(hwnd);
        else if (wParam == IDCANCEL) EndDialog(hwnd, IDCANCEL);
        return FALSE;
    default: return FALSE;
    }
}

static INT_PTR CALLBACK ToleranceDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWithoutThrowing(FALSE, HandleToleranceMessage, hwnd, message, wParam, lParam);
}

bool AskMaskTolerance(HWND owner, ToleranceInput& input) {
    return DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_MASK_TOLERANCE), owner, ToleranceDlgProc,
                           reinterpret_cast<LPARAM>(&input)) == IDOK;
}
