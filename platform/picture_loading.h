// Pictures decoded by the platform's OLE picture object, or by the imaging
// component, into screen-format bitmaps of the picture's natural size. The
// caller owns a returned bitmap.
#ifndef PELLFORM_PICTURE_LOADING_H
#define PELLFORM_PICTURE_LOADING_H

#include <windows.h>
#include <ole2.h>
#include <olectl.h>

#include "platform/picture_wic.h"

// A picture file drawn upright over a bitmap first filled with `background`, so
// transparent pixels take that color; partly transparent pixels of pictures
// the imaging component decodes are blended with it (BlendChannel). The file is
// read once and the decoders get those bytes only after every size in their
// headers passed CheckPictureHeader; bytes it does not recognise go to the
// imaging component alone. 0 on any failure, and for a picture past the pixel
// limit.
HBITMAP LoadPictureFile(const char* path, COLORREF background);
// The same, and the picture's alpha when the imaging component decoded it
// (left empty for the OLE picture object, which gives none).
HBITMAP LoadPictureFileWithAlpha(const char* path, COLORREF background, AlphaPlane* alpha);
HBITMAP LoadPictureFileWithAlpha(const wchar_t* path, COLORREF background, AlphaPlane* alpha);
// An "IMAGE" resource of `module`. 0 with last-error 2 when missing or empty.
HBITMAP LoadPictureResource(HMODULE module, LPCSTR name);
// The bytes of a picture file held in memory, checked as a file's are.
HBITMAP LoadPictureMemory(const void* data, DWORD size);
// 0 with last-error 87 for no picture, or the HRESULT when drawing fails.
HBITMAP PictureToBitmap(IPicture* picture);

#endif
