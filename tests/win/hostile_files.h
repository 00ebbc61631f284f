// Region files and pictures made to cost as much as possible to open or build.
#ifndef PELLFORM_HOSTILE_FILES_H
#define PELLFORM_HOSTILE_FILES_H

#include <windows.h>

#include <vector>

#include "region/region_data.h"

// Rectangle i = (2i, i, 2i + 1, n + i): a file of 16 n bytes whose union has
// n * n rectangles, every row a band of its own.
inline std::vector<BYTE> StaircaseFile(int n) {
    RegionRects rects;
    for (int i = 0; i < n; ++i) rects.push_back({2 * i, i, 2 * i + 1, n + i});
    const std::vector<std::uint8_t> data = EncodeRegionData(rects);
    return std::vector<BYTE>(data.begin(), data.end());
}

#endif
