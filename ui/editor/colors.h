// The mask and background colors: picking, the color dialogs and the custom
// colors they share with other programs through the registry.
#ifndef PELLFORM_COLORS_H
#define PELLFORM_COLORS_H

#include <windows.h>
#include <commdlg.h>

#include "core/flood_fill.h"

void InitializeColorDialog(CHOOSECOLORA& dialog);
// "Pick mask color": pick mode is the editor holding the mouse capture.
void StartPickMode(HWND hwnd);
// With Shift held and "Contiguous mask" on, the click adds the flood from its
// pixel to the mask, keeping the mask color (nothing when the pixel is not of it).
void PickColorAt(HWND hwnd, WPARAM keys, LPARAM clientPoint);
void CancelPickMode(HWND hwnd);
// Builds the region for the mask color and makes it current: the step of `command`.
void ApplyMaskColor(UINT command, COLORREF maskColor, int tolerance, bool contiguous, const FloodStarts& starts);
// Runs a color dialog opening on `color` with the custom colors from the
// registry; true when confirmed, `color` then the one chosen.
bool RunColorDialog(CHOOSECOLORA& dialog, COLORREF& color);
void DoEnterMaskRgbCommand(HWND hwnd);
// "Mask tolerance...": a new tolerance rebuilds the region from the mask color.
void DoMaskToleranceCommand(HWND hwnd);
// "Contiguous mask": turned on or off, the region is rebuilt from the last mask input.
void DoContiguousMaskCommand(HWND hwnd);
void DoBackgroundColorCommand(HWND hwnd);

#endif
