// The "Raw region data" dialog and its rectangle and "Move" input dialogs.
#ifndef PELLFORM_RAW_DATA_DIALOGS_H
#define PELLFORM_RAW_DATA_DIALOGS_H

#include <windows.h>

INT_PTR CALLBACK RawDataDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// What the rectangle dialog is opened with (its dialog parameter points here)
// and, once confirmed, what the user asked for.
struct RectInput {
    int operation = 0;  // the button that opened it: IDC_RAW_OR, _AND, _XOR or _DIFF
    RECT rect{};        // the rectangle typed
    int mode = 0;       // its CombineRgn mode
    bool reversed = false;
};
INT_PTR CALLBACK RectDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The "Move" dialog's result: its dialog parameter points here.
struct MoveInput {
    int dx = 0;
    int dy = 0;
};
INT_PTR CALLBACK MoveDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Posted by the raw data dialog to itself when the list's selection changes;
// the selection region is rebuilt once when it arrives. Sending it rebuilds at once.
constexpr UINT kSettleSelectionMessage = WM_APP + 1;

#endif
