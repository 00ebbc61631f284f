// *.rgn files: the region data block and nothing else.
#ifndef PELLFORM_REGION_FILES_H
#define PELLFORM_REGION_FILES_H

#include <windows.h>
#include <commdlg.h>

#include "region/region_rects.h"

// Reads and checks a region file; the rectangles in banded form.
bool ReadRegionFile(const char* path, RegionRects& rects);
// Writes a region through a temporary file ("PF" prefix, system temporary
// folder, its path left in `tempPath`) that replaces `path` in one step only
// once it is complete; the old file stays as it was on any failure.
bool WriteRegionFile(const char* path, HRGN region, char* tempPath);

void InitializeRegionDialogs(OPENFILENAMEA& open, OPENFILENAMEA& save);
void DoOpenRegionCommand(HWND hwnd);
void DoSaveRegionCommand(HWND hwnd);
void DoSaveRegionAsCommand(HWND hwnd);
// Opens the file named by the region file name into the current region.
void OpenRegionFile(HWND hwnd);
// Saves the current region to the file named by the region file name.
void SaveRegionFile(HWND hwnd);

#endif
