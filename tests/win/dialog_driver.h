// Finds and answers the modal boxes and common dialogs that another thread
// opened, as a user would: read the caption and text, fill fields, press buttons.
#ifndef PELLFORM_DIALOG_DRIVER_H
#define PELLFORM_DIALOG_DRIVER_H

#include <windows.h>

#include <string>

// Waits for a visible dialog (class #32770) of `threadId`, optionally with the
// given caption. Returns 0 when none appears before the deadline.
HWND WaitForDialog(DWORD threadId, const char* caption = nullptr, DWORD timeoutMs = 10000);

// The message of a message box (its static control 0xFFFF).
std::string MessageBoxText(HWND box);
bool HasMessageBoxIcon(HWND box);
std::string DialogItemText(HWND dialog, int id);
void SetDialogItemText(HWND dialog, int id, const char* text);
// Whether such a dialog is up right now, without waiting.
HWND FindDialogNow(DWORD threadId, const char* caption);
// Types a full path into an open or save dialog's name box and confirms it.
void ChooseFileInDialog(HWND dialog, const std::string& path);
// Posts the click, so that a dialog that opens a nested box cannot deadlock us.
void PressButton(HWND dialog, int id);

#endif
