// The mask and background colours: picking, the colour dialogs and the custom
// colours they share with other programs through the registry.
#ifndef PELLFORM_COLOURS_H
#define PELLFORM_COLOURS_H

#include <windows.h>
#include <commdlg.h>

void InitializeColourDialog(CHOOSECOLORA& dialog);
// "Pick mask color": pick mode is the editor holding the mouse capture.
void StartPickMode(HWND hwnd);
void PickColourAt(HWND hwnd, LPARAM clientPoint);
void CancelPickMode(HWND hwnd);
// Builds the region for the mask colour and makes it current.
void ApplyMaskColor(HWND hwnd);
// Runs a colour dialog with the custom colours from the registry; true when confirmed.
bool RunColorDialog(CHOOSECOLORA& dialog);
void DoEnterMaskRgbCommand(HWND hwnd);
void DoBackgroundColorCommand(HWND hwnd);

#endif
