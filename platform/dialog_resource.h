// Modeless dialogs from templates of any module.
#ifndef PELLFORM_DIALOG_RESOURCE_H
#define PELLFORM_DIALOG_RESOURCE_H

#include <windows.h>

// Creates a modeless dialog from a template resource of `module`; the dialog's
// instance is the host process, where the editor's window class lives.
HWND CreateDialogFromResource(HINSTANCE module, LPCSTR templateName, HWND owner, DLGPROC dialogProc,
                              LPARAM initParam);

#endif
