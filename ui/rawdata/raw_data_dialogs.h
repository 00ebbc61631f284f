// The "Raw region data" dialog and its rectangle and "Move" input dialogs.
#ifndef PELLFORM_RAW_DATA_DIALOGS_H
#define PELLFORM_RAW_DATA_DIALOGS_H

#include <windows.h>

#include "platform/win_handles.h"

// Has `editor` draw `workingCopy`, or `selection` when not null, in place of
// its region; both null when the dialog lets them go.
using ShowRegionsCallback = void (*)(HWND editor, HRGN workingCopy, HRGN selection);

// Runs "Raw region data" over the editor window on a working copy of `current`,
// which it leaves as it is: returns the working copy when the user saved it,
// none when they cancelled or the dialog was closed with the editor. Ctrl+Z and
// Ctrl+Y take back and redo its edits.
OwnedRegion EditRegionData(HWND editor, HRGN current, ShowRegionsCallback show);

// What the rectangle dialog is opened with and, once confirmed, what the user
// asked for.
struct RectInput {
    int operation = 0;  // the button that opened it: IDC_RAW_OR, _AND, _XOR or _DIFF
    RECT rect{};        // the rectangle typed
    int mode = 0;       // its CombineRgn mode
    bool reversed = false;
};
// Runs the rectangle dialog over `owner`; returns IDOK when confirmed, IDCANCEL
// when cancelled, anything else when it could not run or was closed with its owner.
INT_PTR AskRectangle(HWND owner, RectInput& input);

// The "Move" dialog's result.
struct MoveInput {
    int dx = 0;
    int dy = 0;
};
// Runs the "Move" dialog over `owner`; returns as AskRectangle does.
INT_PTR AskMove(HWND owner, MoveInput& input);

// Posted by the raw data dialog to itself when the list's selection changes;
// the selection region is rebuilt once when it arrives. Sending it rebuilds at once.
constexpr UINT kSettleSelectionMessage = WM_APP + 1;

#endif
