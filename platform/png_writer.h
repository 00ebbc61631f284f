// Pictures written as PNG files by the imaging component's encoder, through
// the same atomic writer as region files.
#ifndef PELLFORM_PNG_WRITER_H
#define PELLFORM_PNG_WRITER_H

#include <windows.h>

#include <cstdint>
#include <functional>

#include "platform/png_file.h"


// Encodes width x height pixels, asked for a strip at a time so memory beyond
// the encoded file stays small, then replaces `path` atomically. False on any
// failure, the old file as it was.
bool WritePngFile(const wchar_t* path, UINT width, UINT height, const PngRowFiller& fillRow);

#endif
