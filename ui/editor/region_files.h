// The editor's region file commands.
#ifndef PELLFORM_REGION_FILES_H
#define PELLFORM_REGION_FILES_H

#include <windows.h>
#include <commdlg.h>

#include "core/flood_fill.h"

// The region of the editor's picture for a mask color, or 0.
HRGN BuildRegionFromImage(COLORREF maskColor, int tolerance, bool contiguous, const FloodStarts& starts);

void InitializeRegionDialogs(OPENFILENAMEA& open, OPENFILENAMEA& save);
void DoOpenRegionCommand(HWND hwnd);
void DoSaveRegionCommand(HWND hwnd);
void DoSaveRegionAsCommand(HWND hwnd);
// Opens the file `name` into the current region; it becomes the region file
// name if it was read, and the name is emptied if not.
void OpenRegionFile(HWND hwnd, const char* name);
// Saves the current region to the file named by the region file name.
void SaveRegionFile(HWND hwnd);

#endif
