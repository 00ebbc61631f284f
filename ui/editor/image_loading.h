// Bringing a picture into the editor.
#ifndef PELLFORM_IMAGE_LOADING_H
#define PELLFORM_IMAGE_LOADING_H

#include <windows.h>
#include <commdlg.h>

void InitializeImageDialog(OPENFILENAMEA& dialog);
// "Load...": asks for a picture file and loads it.
void DoLoadImageCommand(HWND hwnd);
// Loads the file `name` in place of the picture; it becomes the image file
// name if it was decoded, and the name is emptied if not.
void LoadImageIntoEditor(HWND hwnd, const char* name);

#endif
