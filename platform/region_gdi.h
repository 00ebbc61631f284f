// Platform regions from and to banded rectangles, and the region of a picture.
#ifndef PELLFORM_REGION_GDI_H
#define PELLFORM_REGION_GDI_H

#include <windows.h>

#include <vector>

#include "core/region_rects.h"

// A region of exactly these banded rectangles (an empty region for none), or 0.
HRGN CreateRegionFromRects(const RegionRects& rects);
// A region's data block exactly as GetRegionData gives it; empty when it cannot be read.
std::vector<BYTE> FetchRegionData(HRGN region);
// Whether a region has at most kMaxRegionRects rectangles, told by the size of
// its data without copying it; false when that size cannot be had.
bool RegionWithinLimit(HRGN region);
// The rectangles a region reports; false when its data cannot be read.
bool ReadRegionRects(HRGN region, RegionRects& rects);
// The region of every pixel of `picture` (width x height) whose color differs
// from `maskColor` (in any of red, green and blue by more than `tolerance`), plus
// the strip (0, height, width, height + 1). 0 on failure, also when memory runs
// out or it would have more than kMaxRegionRects rectangles.
HRGN BuildRegionFromPicture(HBITMAP picture, int width, int height, COLORREF maskColor, int tolerance = 0);

#endif
