// What every window family of the editor uses: the two message boxes, the
// busy pointer and centring a dialog over its owner.
#ifndef PELLFORM_DIALOG_SUPPORT_H
#define PELLFORM_DIALOG_SUPPORT_H

#include <windows.h>

// The boxes' icons come from `module`; called once at load.
void InitializeMessageBoxes(HINSTANCE module);
// "Error" with OK over `owner`.
int ShowError(const char* text, HWND owner);
// "Warning" with Yes and No and no owner, so the window that asks stays usable.
int AskYesNo(const char* text);

// The wait pointer around long operations; they nest.
void BeginBusy();
void EndBusy();
bool IsBusy();

void CenterOnOwner(HWND hwnd);

#endif
