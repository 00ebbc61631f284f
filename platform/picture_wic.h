// Pictures the OLE picture object does not decode (PNG and TIFF on Windows,
// icons with more than one image), through the Windows Imaging Component, from
// a stream over bytes whose headers were checked.
// windowscodecs.dll is reached through COM at first need, so the add-in still
// loads where it is missing; decoding then simply fails.
#ifndef PELLFORM_PICTURE_WIC_H
#define PELLFORM_PICTURE_WIC_H

#include <windows.h>
#include <objidl.h>

#include <memory>

#include "core/picture_pixels.h"

// The straight alpha of every pixel of a decoded picture, top row first.
// Empty (no values) when the decoder that made the picture gives no alpha.
struct AlphaPlane {
    int width = 0;
    int height = 0;
    std::unique_ptr<BYTE[]> values;
    BYTE at(int x, int y) const { return values[static_cast<size_t>(y) * width + x]; }
};

// Image `frame` of the picture in `stream` (for an icon the image chosen from
// its directory, else 0; no other image is fetched) composed over `background`
// into a screen-format bitmap of the picture's pixel size, upright and
// selected nowhere. The stream is read from its start. COM must be initialized
// on the calling thread. 0 on any failure, and for a frame whose size is past
// the pixel limit; `alpha`, when given, receives the picture's alpha (left
// empty on failure).
HBITMAP DecodePictureWithWic(IStream* stream, UINT frame, COLORREF background, AlphaPlane* alpha);

#endif
