#include "platform/region_file_io.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/no_throw.h"
#include "platform/win_handles.h"
#include "core/region_data.h"
#include "platform/region_gdi.h"

static bool ReadAll(HANDLE file, std::uint8_t* data, DWORD size) {
    DWORD done = 0;
    while (done < size) {
        DWORD read = 0;
        if (!ReadFile(file, data + done, size - done, &read, nullptr) || read == 0) return false;
        done += read;
    }
    return true;
}

static bool ReadDataFrom(HANDLE file, RegionHeader& header, RegionRects& rects) {
    DWORD high = 0;
    const DWORD size = GetFileSize(file, &high);
    if (size == INVALID_FILE_SIZE) return false;
    return ReadRegionBlock(std::uint64_t{high} << 32 | size,
                           [&](std::uint8_t* data, std::size_t count) { return ReadAll(file, data, static_cast<DWORD>(count)); },
                           header, rects);
}

// A path in the platform's code page as the wide APIs take it; empty when it
// does not fit a path.
static bool WidenPath(const char* path, wchar_t (&wide)[MAX_PATH]) {
    return MultiByteToWideChar(CP_ACP, 0, path, -1, wide, MAX_PATH) > 0;
}

bool ReadRegionData(const wchar_t* path, RegionHeader& header, RegionRects& rects) {
    OwnedFile file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN,
                               nullptr));
    return file && ResultOrFailure(false, [&] { return ReadDataFrom(file.get(), header, rects); });
}

bool ReadRegionFile(const char* path, RegionRects& rects) {
    wchar_t wide[MAX_PATH];
    return WidenPath(path, wide) && ReadRegionFile(wide, rects);
}

bool ReadRegionFile(const wchar_t* path, RegionRects& rects) {
    // No memory, or more rectangles than a region may have: not loaded.
    return ResultOrFailure(false, [&] {
        RegionHeader header;
        RegionRects stored;
        if (!ReadRegionData(path, header, stored)) return false;
        // What ExtCreateRegion would make of any rectangles, without its cost.
        rects = UnionOfRects(stored);
        return true;
    });
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

// The folder part of `path` as a full path, so the temporary file lies on the
// target's own volume.
static bool GetFolderOf(const wchar_t* path, wchar_t* folder) {
    wchar_t* name = nullptr;
    const DWORD length = GetFullPathNameW(path, MAX_PATH, folder, &name);
    if (length == 0 || length >= MAX_PATH || !name) return false;
    *name = L'\0';
    return true;
}

static bool WriteAndFlush(const wchar_t* path, const void* data, size_t size) {
    OwnedFile file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_WRITE_THROUGH, nullptr));
    if (!file || size > MAXDWORD) return false;
    return WriteAll(file.get(), static_cast<const BYTE*>(data), static_cast<DWORD>(size)) &&
           FlushFileBuffers(file.get());
}

bool WriteFileAtomically(const wchar_t* path, const void* data, size_t size, wchar_t* tempPath) {
    // The rename below would refuse to replace a read-only file (Windows and
    // wine alike); refusing first spares writing a file only to delete it.
    const DWORD attributes = GetFileAttributesW(path);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) return false;
    wchar_t folder[MAX_PATH] = L"";
    if (!GetFolderOf(path, folder) || !GetTempFileNameW(folder, L"PF", 0, tempPath)) {
        tempPath[0] = L'\0';
        return false;
    }
    // The target is replaced by a rename within its own volume, and only by a
    // complete file on the disk: it is never deleted first nor copied over, so
    // any failure leaves the old file as it was. The temporary file is made
    // anew by GetTempFileName, so a link planted under some fixed name is
    // never followed.
    if (!WriteAndFlush(tempPath, data, size) ||
        !MoveFileExW(tempPath, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(tempPath);
        return false;
    }
    return true;
}

bool WriteRegionFile(const wchar_t* path, const RegionRects& rects, wchar_t* tempPath) {
    tempPath[0] = L'\0';
    // A file that Open and the tool would refuse is never written.
    if (rects.size() > kMaxRegionRects) return false;
    return ResultOrFailure(false, [&] {
        const std::vector<std::uint8_t> data = EncodeRegionData(rects);
        return WriteFileAtomically(path, data.data(), data.size(), tempPath);
    });
}

bool WriteRegionFile(const wchar_t* path, HRGN region, wchar_t* tempPath) {
    tempPath[0] = L'\0';
    RegionRects rects;
    // Checked before the data is copied: a region too large is never fetched.
    return RegionWithinLimit(region) && FetchRegionRects(region, rects) && WriteRegionFile(path, rects, tempPath);
}

bool WriteRegionFile(const char* path, HRGN region, char* tempPath) {
    wchar_t wide[MAX_PATH], wideTemp[MAX_PATH] = L"";
    const bool written = WidenPath(path, wide) && WriteRegionFile(wide, region, wideTemp);
    if (!WideCharToMultiByte(CP_ACP, 0, wideTemp, -1, tempPath, MAX_PATH, nullptr, nullptr)) tempPath[0] = '\0';
    return written;
}
