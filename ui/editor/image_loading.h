// Bringing a picture into the editor.
#ifndef PELLFORM_IMAGE_LOADING_H
#define PELLFORM_IMAGE_LOADING_H

#include <windows.h>
#include <commdlg.h>

void InitializeImageDialog(OPENFILENAMEA& dialog);
// "Load...": asks for a picture file and loads it.
void DoLoadImageCommand(HWND hwnd);
// Loads the file named by the editor's image file name in place of the picture.
void LoadImageIntoEditor(HWND hwnd);

#endif
