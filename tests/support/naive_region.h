// The region of a picture the plain way, the reference the region engine is
// checked and measured against: every pixel read with GetPixel, (W + 1) x (H + 1)
// positions, each run OR-ed into one growing region. A tolerance also leaves
// out the pixels whose red, green and blue are each at most that far from the mask's.
#ifndef PELLFORM_NAIVE_REGION_H
#define PELLFORM_NAIVE_REGION_H

#include <windows.h>

HRGN NaiveRegion(HBITMAP picture, int width, int height, COLORREF mask, int tolerance = 0);

#endif
