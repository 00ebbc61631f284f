// The image information dialog, the About box and the Read Me window.
#ifndef PELLFORM_ABOUT_DIALOGS_H
#define PELLFORM_ABOUT_DIALOGS_H

#include <windows.h>

INT_PTR CALLBACK ImageInfoDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Its dialog parameter is the display time in milliseconds, or -1 for no limit.
INT_PTR CALLBACK AboutDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ReadMeDlgProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

#endif
