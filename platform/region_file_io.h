// *.rgn files: the region data block and nothing else.
#ifndef PELLFORM_REGION_FILE_IO_H
#define PELLFORM_REGION_FILE_IO_H

#include <windows.h>

#include <cstdint>
#include <vector>

#include "core/region_rects.h"

// The region data block of a file as stored: its checked header and the nCount
// rectangles it claims, read only when the file holds them all and nCount is
// within kMaxRegionRects. Bytes after the rectangles are left out.
bool ReadRegionBlock(const char* path, std::vector<std::uint8_t>& block);
// Reads and checks a region file; the rectangles in banded form, as the
// platform's region constructor would make them. False also when memory runs
// out or the rectangles would pass kMaxRegionRects.
bool ReadRegionFile(const char* path, RegionRects& rects);
// Writes a region through a temporary file ("PF" prefix, in the target's own
// folder, its path left in `tempPath`, at least MAX_PATH characters) that replaces
// `path` by a rename only once it is complete and flushed; the old file stays
// as it was on any failure, and the temporary file is removed.
bool WriteRegionFile(const char* path, HRGN region, char* tempPath);

#endif
