// Pictures written as PNG files through the atomic writer.
#ifndef PELLFORM_PNG_FILE_H
#define PELLFORM_PNG_FILE_H

#include <cstdint>
#include <functional>

#include "platform/native_path.h"

// Fills one row, top row first: `width` pixels 0xAARRGGBB (BGRA in memory),
// straight alpha.
using PngRowFiller = std::function<void(std::uint32_t y, std::uint32_t* row)>;

// Encodes width x height pixels, asked for a strip at a time, then replaces
// `path` atomically. False on any failure, the old file as it was.
bool WritePngFile(const NativePath& path, std::uint32_t width, std::uint32_t height, const PngRowFiller& fillRow);

#endif
