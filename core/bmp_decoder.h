// BMP files and the device-independent bitmaps inside icons, decoded in plain
// C++ as the Windows build's picture object and imaging component decode them.
#ifndef PELLFORM_BMP_DECODER_H
#define PELLFORM_BMP_DECODER_H

#include <cstddef>
#include <cstdint>

#include "core/picture_pixels.h"

// A BMP file whose header CheckPictureHeader accepted: every depth, run
// lengths (8 and 4 bits) and bit fields. Pixels opaque: a 32-bit file's fourth
// byte is not alpha, as the Windows build takes it; pixels that run lengths
// skip are black. False for data that does not hold what the header claims.
// Throws std::bad_alloc.
bool DecodeBmp(const std::uint8_t* data, std::size_t size, DecodedPicture& picture);

// An icon's or cursor's image: the bitmap header, its colors, the color rows
// and the AND mask; the height given counts both. A 32-bit image whose alpha
// is not all zero keeps its alpha; otherwise the mask decides (set: alpha 0).
bool DecodeIconDib(const std::uint8_t* data, std::size_t size, DecodedPicture& picture);

// The image of an icon or cursor file chosen by CheckPictureHeader: a bitmap
// decoded here, or the bytes of a PNG image (`pngData`, `pngSize`) left to the
// PNG decoder. False when the entry does not lie in the file.
bool DecodeIconImage(const std::uint8_t* data, std::size_t size, std::size_t index, DecodedPicture& picture,
                     const std::uint8_t*& pngData, std::size_t& pngSize);

#endif
