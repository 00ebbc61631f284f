// *.rgn files: the region data block and nothing else.
#ifndef PELLFORM_REGION_FILE_IO_H
#define PELLFORM_REGION_FILE_IO_H

#include <windows.h>

#include <cstdint>
#include <vector>

#include "core/region_data.h"
#include "core/region_rects.h"

// The region data of a file as stored: its checked header and the nCount
// rectangles it claims, read only when the file holds them all and nCount is
// within kMaxRegionRects. Bytes after the rectangles are left out.
bool ReadRegionData(const wchar_t* path, RegionHeader& header, RegionRects& rects);
// Reads and checks a region file; the rectangles in banded form, as the
// platform's region constructor would make them. False also when memory runs
// out or the rectangles would pass kMaxRegionRects.
bool ReadRegionFile(const wchar_t* path, RegionRects& rects);
bool ReadRegionFile(const char* path, RegionRects& rects);
// The one way a file is replaced: `size` bytes go to a temporary file ("PF"
// prefix, a name made here in the target's own folder, its path left in
// `tempPath` of 260 characters when it fits) that replaces `path` by a rename
// only once it is complete and flushed; the old file stays as it was on any
// failure, and the temporary file is removed.
bool WriteFileAtomically(const wchar_t* path, const void* data, size_t size, wchar_t* tempPath);
// The data block of banded rectangles written so; never more than kMaxRegionRects.
bool WriteRegionFile(const wchar_t* path, const RegionRects& rects, wchar_t* tempPath);
// A region's rectangles written so.
bool WriteRegionFile(const wchar_t* path, HRGN region, wchar_t* tempPath);
// The same for a path in the platform's code page, as the editor's dialogs give it.
bool WriteRegionFile(const char* path, HRGN region, char* tempPath);

#endif
