// The mask and background colors: picking, the color dialogs and the custom
// colors they share with other programs through the registry.
#ifndef PELLFORM_COLORS_H
#define PELLFORM_COLORS_H

#include <windows.h>
#include <commdlg.h>

void InitializeColorDialog(CHOOSECOLORA& dialog);
// "Pick mask color": pick mode is the editor holding the mouse capture.
void StartPickMode(HWND hwnd);
void PickColorAt(HWND hwnd, LPARAM clientPoint);
void CancelPickMode(HWND hwnd);
// Builds the region for the mask color and makes it current: the step of `command`.
void ApplyMaskColor(UINT command, COLORREF maskColor, int tolerance);
// Runs a color dialog opening on `color` with the custom colors from the
// registry; true when confirmed, `color` then the one chosen.
bool RunColorDialog(CHOOSECOLORA& dialog, COLORREF& color);
void DoEnterMaskRgbCommand(HWND hwnd);
// "Mask tolerance...": a new tolerance rebuilds the region from the mask color.
void DoMaskToleranceCommand(HWND hwnd);
void DoBackgroundColorCommand(HWND hwnd);

#endif
