// The tool's file calls on Windows: the add-in's own readers and writer.
#include "platform/tool_files.h"

#include "platform/region_file_io.h"

bool ReadRegionData(const NativePath& path, RegionHeader& header, RegionRects& rects) {
    return ReadRegionData(path.c_str(), header, rects);
}

bool ReadRegionFile(const NativePath& path, RegionRects& rects) { return ReadRegionFile(path.c_str(), rects); }

bool WriteFileAtomically(const NativePath& path, const void* data, std::size_t size) {
    wchar_t tempPath[MAX_PATH] = L"";
    return WriteFileAtomically(path.c_str(), data, size, tempPath);
}

bool WriteRegionFile(const NativePath& path, const RegionRects& rects) {
    wchar_t tempPath[MAX_PATH] = L"";
    return WriteRegionFile(path.c_str(), rects, tempPath);
}
