// Files for the region file tests: written as given, and made to cost as much
// as possible to open.
#ifndef PELLFORM_HOSTILE_FILES_H
#define PELLFORM_HOSTILE_FILES_H

#include <windows.h>

#include <string>

#include "region/region_data.h"

inline bool WriteBytes(const std::string& path, const std::vector<BYTE>& data) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool ok = file != INVALID_HANDLE_VALUE &&
                    (data.empty() || WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr));
    return CloseHandle(file) && ok;
}

// Rectangle i = (2i, i, 2i + 1, n + i): a file of 16 n bytes whose union has
// n * n rectangles, every row a band of its own.
inline std::vector<BYTE> StaircaseFile(int n) {
    RegionRects rects;
    for (int i = 0; i < n; ++i) rects.push_back({2 * i, i, 2 * i + 1, n + i});
    return EncodeRegionData(rects);
}

#endif
