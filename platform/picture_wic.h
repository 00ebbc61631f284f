// Pictures the OLE picture object does not decode (PNG and TIFF on Windows,
// icons with more than one image), through the Windows Imaging Component.
// windowscodecs.dll is reached through COM at first need, so the add-in still
// loads where it is missing; decoding then simply fails.
#ifndef PELLFORM_PICTURE_WIC_H
#define PELLFORM_PICTURE_WIC_H

#include <windows.h>

#include <memory>

// The straight alpha of every pixel of a decoded picture, top row first.
// Empty (no values) when the decoder that made the picture gives no alpha.
struct AlphaPlane {
    int width = 0;
    int height = 0;
    std::unique_ptr<BYTE[]> values;
    BYTE at(int x, int y) const { return values[static_cast<size_t>(y) * width + x]; }
};

// Which decoder a file goes to first, from its first bytes. PNG, TIFF and
// icons go to the imaging component, so they decode the same whether or not
// the OLE picture object knows them; a PNG whose header claims more pixels
// than the add-in takes goes nowhere, as decoders read the whole picture at once.
enum class PictureRoute { OleFirst, ImagingFirst, Refused };
PictureRoute ChoosePictureRoute(const wchar_t* path);

// The first image (of an icon, the largest) composed over `background` into a
// screen-format bitmap of the picture's pixel size, upright and selected
// nowhere. COM must be initialized on the calling thread. 0 on any failure;
// `alpha`, when given, receives the picture's alpha (left empty on failure).
HBITMAP DecodePictureWithWic(const wchar_t* path, COLORREF background, AlphaPlane* alpha);

// A color channel of a pixel with straight alpha `alpha` over the background's
// channel: (color x alpha + background x (255 - alpha)) / 255 rounded to the
// nearest integer (255 is odd, so there are no halves). Alpha 0 gives the
// background exactly and alpha 255 the color exactly.
inline BYTE BlendChannel(unsigned color, unsigned background, unsigned alpha) {
    return static_cast<BYTE>((color * alpha + background * (255 - alpha) + 127) / 255);
}

// The same for a premultiplied channel: the color is already scaled by alpha.
inline BYTE BlendPremultipliedChannel(unsigned color, unsigned background, unsigned alpha) {
    const unsigned sum = color + (background * (255 - alpha) + 127) / 255;
    return static_cast<BYTE>(sum > 255 ? 255 : sum);
}

#endif
