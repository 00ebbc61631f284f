// Files dropped on the editor from a file manager.
#ifndef PELLFORM_FILE_DROP_H
#define PELLFORM_FILE_DROP_H

#include <windows.h>
#include <shellapi.h>

// The first file dropped: a region file (*.rgn) is opened as "Open..." opens
// the file chosen, anything else loaded as "Load..." loads it. Refused with a
// beep while an owner-less question is up. Releases the drop in every case.
void DropFilesOnEditor(HWND hwnd, HDROP drop);

#endif
