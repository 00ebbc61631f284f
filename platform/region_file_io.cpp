#include "platform/region_file_io.h"

#include <algorithm>
#include <cstdint>
#include <string>
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
    return ReadUnitedRegion([&](RegionHeader& header, RegionRects& stored) { return ReadRegionData(path, header, stored); },
                            rects);
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
static bool GetFolderOf(const wchar_t* path, std::wstring& folder) {
    const DWORD needed = GetFullPathNameW(path, 0, nullptr, nullptr);
    if (needed == 0) return false;
    folder.assign(needed, L'\0');
    wchar_t* name = nullptr;
    const DWORD length = GetFullPathNameW(path, needed, &folder[0], &name);
    if (length == 0 || length >= needed || !name) return false;
    folder.resize(static_cast<size_t>(name - folder.data()));
    return true;
}

// Temporary name `number` in `folder`: "PF" and six hex digits, no longer than
// a short target's own name, so a folder a plain write reaches holds it too
// (GetTempFileName refuses folders past MAX_PATH - 14 characters). A name
// past MAX_PATH is given in the long form the wide calls take.
static std::wstring TemporaryName(const std::wstring& folder, unsigned number) {
    std::wstring path = folder + L"PF";
    for (int shift = 20; shift >= 0; shift -= 4) path += L"0123456789ABCDEF"[number >> shift & 15];
    if (path.size() < MAX_PATH || path.compare(0, 4, L"\\\\?\\") == 0) return path;
    return path.compare(0, 2, L"\\\\") == 0 ? L"\\\\?\\UNC" + path.substr(1) : L"\\\\?\\" + path;
}

// A new temporary file beside the target, made by the writer itself: each
// name is created only if nothing has it yet (CREATE_NEW), so neither another
// writer's file nor a link planted under the name is ever opened; on a
// collision the next name is tried.
static OwnedFile CreateTemporaryFile(const wchar_t* target, std::wstring& temporary) {
    std::wstring folder;
    if (!GetFolderOf(target, folder)) return OwnedFile();
    for (unsigned number = 0; number < 0x10000; ++number) {
        temporary = TemporaryName(folder, number);
        OwnedFile file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_WRITE_THROUGH,
                                   nullptr));
        if (file) return file;
        const DWORD error = GetLastError();
        // A folder of that name answers "access denied".
        const bool folderThere =
            error == ERROR_ACCESS_DENIED && GetFileAttributesW(temporary.c_str()) != INVALID_FILE_ATTRIBUTES;
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && !folderThere) break;
    }
    temporary.clear();
    return OwnedFile();
}

bool WriteFileAtomically(const wchar_t* path, const void* data, size_t size, wchar_t* tempPath) {
    tempPath[0] = L'\0';
    // The rename below would refuse to replace a read-only file (Windows and
    // wine alike); refusing first spares writing a file only to delete it.
    const DWORD attributes = GetFileAttributesW(path);
    if (size > MAXDWORD || (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)))
        return false;
    std::wstring temporary;
    OwnedFile file;
    if (!ResultOrFailure(false, [&] { return static_cast<bool>(file = CreateTemporaryFile(path, temporary)); }))
        return false;
    if (temporary.size() < MAX_PATH) lstrcpynW(tempPath, temporary.c_str(), MAX_PATH);
    // The target is replaced by a rename within its own volume, and only by a
    // complete file on the disk: it is never deleted first nor copied over, so
    // any failure leaves the old file as it was.
    const bool written = WriteAll(file.get(), static_cast<const BYTE*>(data), static_cast<DWORD>(size)) &&
                         FlushFileBuffers(file.get());
    file.reset();
    if (!written || !MoveFileExW(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
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
