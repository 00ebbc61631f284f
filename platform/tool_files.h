// Region files and the atomic writer, named as the system names files.
#ifndef PELLFORM_TOOL_FILES_H
#define PELLFORM_TOOL_FILES_H

#include <cstddef>

#include "core/region_data.h"
#include "core/region_rects.h"
#include "platform/native_path.h"

// The region data as stored; false unless the file holds all nCount
// rectangles it claims and nCount is within kMaxRegionRects.
bool ReadRegionData(const NativePath& path, RegionHeader& header, RegionRects& rects);
// The rectangles in banded form; false also when memory runs out.
bool ReadRegionFile(const NativePath& path, RegionRects& rects);
// Replaces `path` by a temporary file in its own folder, written completely
// and flushed first; the old file stays as it was on any failure.
bool WriteFileAtomically(const NativePath& path, const void* data, std::size_t size);
bool WriteRegionFile(const NativePath& path, const RegionRects& rects);

#endif
