// Platform regions from and to banded rectangles, and the region of a picture.
#ifndef PELLFORM_REGION_GDI_H
#define PELLFORM_REGION_GDI_H

#include <windows.h>

#include <vector>

#include "core/flood_fill.h"
#include "core/region_data.h"
#include "core/region_rects.h"

// A region of exactly these banded rectangles (an empty region for none), or 0.
HRGN CreateRegionFromRects(const RegionRects& rects);
// Whether a region has at most kMaxRegionRects rectangles, told by the size of
// its data without copying it; false when that size cannot be had.
bool RegionWithinLimit(HRGN region);
// The rectangles a region reports (and, when asked, the header of its data as
// GetRegionData gives it); false when its data cannot be read or memory runs out.
bool FetchRegionRects(HRGN region, RegionRects& rects, RegionHeader* header = nullptr);
// The rectangles of every pixel of `picture` (width x height) whose color
// differs from `maskColor` (in any of red, green and blue by more than
// `tolerance`), plus the strip (0, height, width, height + 1). False on failure,
// also when memory runs out or there would be more than kMaxRegionRects.
bool BuildPictureRects(HBITMAP picture, int width, int height, COLORREF maskColor, int tolerance, RegionRects& rects);
// The region of those rectangles; 0 on failure.
HRGN BuildRegionFromPicture(HBITMAP picture, int width, int height, COLORREF maskColor, int tolerance = 0);
// The same with only the mask pixels a flood from `starts` reaches left out.
bool BuildFloodPictureRects(HBITMAP picture, int width, int height, COLORREF maskColor, int tolerance,
                            const FloodStarts& starts, RegionRects& rects);
HRGN BuildFloodRegionFromPicture(HBITMAP picture, int width, int height, COLORREF maskColor, int tolerance,
                                 const FloodStarts& starts);

#endif
