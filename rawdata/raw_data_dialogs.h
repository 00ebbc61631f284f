// The "Raw region data" dialog and its rectangle and "Move" input dialogs.
#ifndef PELLFORM_RAW_DATA_DIALOGS_H
#define PELLFORM_RAW_DATA_DIALOGS_H

#include <windows.h>

INT_PTR CALLBACK RawDataDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Dialog parameter: the button that opened it (201 OR, 202 AND, 204 XOR, 205 DIFF).
INT_PTR CALLBACK RectDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK MoveDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Posted by the raw data dialog to itself when the list's selection changes;
// the selection region is rebuilt once when it arrives. Sending it rebuilds at once.
constexpr UINT kSettleSelectionMessage = WM_APP + 1;

// Rebuilds the header fields and the rectangle list from the working copy.
void RefreshRawData(HWND hwnd);

#endif
