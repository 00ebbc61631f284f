// A picture file decoded into pixels over a background, as the tool builds
// from it. Windows: the add-in's own picture loading; elsewhere: the
// distribution's decoding libraries and the core's BMP and icon decoders.
#ifndef PELLFORM_PICTURE_DECODING_H
#define PELLFORM_PICTURE_DECODING_H

#include <cstdint>

#include "core/picture_pixels.h"
#include "platform/native_path.h"

// The file, read once and checked by CheckPictureHeader, decoded and composed
// over `background` (a COLORREF). False on any failure, also for a picture past
// the pixel limit. Throws std::bad_alloc.
bool DecodePictureFile(const NativePath& path, std::uint32_t background, PicturePixels& picture);

#endif
