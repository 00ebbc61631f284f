// The region of a picture the plain way, the reference the region engine is
// checked and measured against: every pixel read with GetPixel, (W + 1) x (H + 1)
// positions, each run OR-ed into one growing region.
#ifndef PELLFORM_NAIVE_REGION_H
#define PELLFORM_NAIVE_REGION_H

#include <windows.h>

HRGN NaiveRegion(HBITMAP picture, int width, int height, COLORREF mask);

#endif
