#include "region/region_file_io.h"

#include <cstdint>
#include <vector>

#include "common/win_handles.h"
#include "region/region_data.h"
#include "region/region_gdi.h"

constexpr DWORD kPathLength = 260;

bool ReadRegionFile(const char* path, RegionRects& rects) {
    OwnedFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                               nullptr));
    if (!file) return false;
    DWORD high = 0;
    const DWORD size = GetFileSize(file.get(), &high);
    if (size == INVALID_FILE_SIZE || high != 0 || size == 0) return false;
    std::vector<std::uint8_t> data(size);
    DWORD done = 0;
    while (done < size) {
        DWORD read = 0;
        if (!ReadFile(file.get(), data.data() + done, size - done, &read, nullptr) || read == 0) return false;
        done += read;
    }
    RegionRects stored;
    if (!DecodeRegionData(data.data(), data.size(), stored)) return false;
    // What ExtCreateRegion would make of any rectangles, without its cost.
    rects = UnionOfRects(stored);
    return true;
}

static bool WriteAll(HANDLE file, const BYTE* data, DWORD size) {
    DWORD done = 0;
    while (done < size) {
        DWORD written = 0;
        if (!WriteFile(file, data + done, size - done, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

static bool WriteRegionData(const char* path, HRGN region) {
    OwnedFile file(CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_WRITE_THROUGH, nullptr));
    if (!file) return false;
    std::vector<BYTE> data = FetchRegionData(region);
    if (data.empty()) return false;
    const DWORD size = static_cast<DWORD>(data.size());
    reinterpret_cast<RGNDATAHEADER*>(data.data())->nRgnSize = size - sizeof(RGNDATAHEADER);
    return WriteAll(file.get(), data.data(), size);
}

bool WriteRegionFile(const char* path, HRGN region, char* tempPath) {
    // Windows refuses to replace a read-only file; wine would replace it.
    const DWORD attributes = GetFileAttributesA(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
    char folder[kPathLength] = "";
    const DWORD length = GetTempPathA(kPathLength, folder);
    if (length == 0 || length >= kPathLength || !GetTempFileNameA(folder, "PF", 0, tempPath)) {
        tempPath[0] = '\0';
        return false;
    }
    // The target is replaced in one step, and only by a complete file: it is
    // never deleted first, so a failed move leaves the old file as it was.
    if (!WriteRegionData(tempPath, region) ||
        !MoveFileExA(tempPath, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileA(tempPath);
        return false;
    }
    return true;
}

