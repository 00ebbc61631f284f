// The region of a picture the plain way, as the reference that the region
// engine is measured and checked against.
#ifndef PELLFORM_NAIVE_REGION_H
#define PELLFORM_NAIVE_REGION_H

#include <windows.h>

// The reference: every pixel read with GetPixel, (W + 1) x (H + 1) positions,
// each run OR-ed into one growing region.
HRGN NaiveRegion(HBITMAP picture, int width, int height, COLORREF mask);

#endif
