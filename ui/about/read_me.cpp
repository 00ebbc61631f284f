// "Read Me": the text resource in a read-only RichEdit control filling the window.
#include <windows.h>

#include <string>

#include "core/no_throw.h"
#include "ui/about/about_dialogs.h"
#include "platform/module.h"
#include "platform/resource_bytes.h"
#include "res/resource_ids.h"

static void ShowReadMeText(HWND hwnd) {
    const ResourceBytes bytes = FindResourceBytes(hInstance, MAKEINTRESOURCEA(IDR_README_TEXT), RT_RCDATA);
    if (!bytes.data) return;  // the window still opens, empty
    // The resource has no terminating zero: it is used by its size. Without
    // memory for the copy the control stays empty, as without the resource.
    ResultOrFailure(false, [&] {
        const std::string text(static_cast<const char*>(bytes.data), bytes.size);
        return SetDlgItemTextA(hwnd, IDC_README_TEXT, text.c_str()) != FALSE;
    });
}

static void FillWindowWithText(HWND hwnd) {
    RECT client{};
    GetClientRect(hwnd, &client);
    MoveWindow(GetDlgItem(hwnd, IDC_README_TEXT), 0, 0, client.right, client.bottom, TRUE);
}

static INT_PTR HandleReadMeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG: ShowReadMeText(hwnd); return TRUE;
    case WM_SIZE: FillWindowWithText(hwnd); return FALSE;
    case WM_COMMAND:
        if (wParam == IDCANCEL) EndDialog(hwnd, IDCANCEL);
        return FALSE;
    default: return FALSE;
    }
}

static INT_PTR CALLBACK ReadMeDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWithoutThrowing(FALSE, HandleReadMeMessage, hwnd, message, wParam, lParam);
}

void ShowReadMe(HWND owner) { DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_README), owner, ReadMeDlgProc, 0); }
