// Finds and answers the modal boxes and common dialogs that another thread
// opened, as a user would: read the caption and text, fill fields, press buttons.
#ifndef PELLFORM_DIALOG_DRIVER_H
#define PELLFORM_DIALOG_DRIVER_H

#include <windows.h>

#include <string>

// A visible dialog (class #32770) of `threadId` with the given caption: waited
// for until the deadline (0 when none came), or found now.
HWND WaitForDialog(DWORD threadId, const char* caption);
HWND FindDialogNow(DWORD threadId, const char* caption);
std::string DialogItemText(HWND dialog, int id);
// Posts the click, so that a dialog that opens a nested box cannot deadlock us.
void PressButton(HWND dialog, int id);

#endif
