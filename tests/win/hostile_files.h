// Files for the region file tests: written as given, and made to cost as much
// as possible to open.
#ifndef PELLFORM_HOSTILE_FILES_H
#define PELLFORM_HOSTILE_FILES_H

#include <windows.h>

#include <fstream>
#include <string>

#include "region/region_data.h"

inline bool WriteBytes(const std::string& path, const std::vector<BYTE>& data) {
    std::ofstream file(path, std::ios::binary);
    return file.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size())).good();
}

// Rectangle i = (2i, i, 2i + 1, n + i): a file of 16 n bytes whose union has
// n * n rectangles, every row a band of its own.
inline std::vector<BYTE> StaircaseFile(int n) {
    RegionRects rects;
    for (int i = 0; i < n; ++i) rects.push_back({2 * i, i, 2 * i + 1, n + i});
    return EncodeRegionData(rects);
}

#endif
