// "Preview": the picture in a window cut to the current region, as a skinned
// program would show it.
#ifndef PELLFORM_PREVIEW_WINDOW_H
#define PELLFORM_PREVIEW_WINDOW_H

#include <windows.h>

// Shows the preview modally over the editor, when there is a picture and a region.
void DoPreviewCommand(HWND hwnd);

#endif
