// pellform.exe: the add-in's region engine for build pipelines.
//   pellform build PICTURE OUT.rgn [--mask-at X,Y | --mask RRGGBB] [--background RRGGBB]
//   pellform info FILE.rgn
// Exit status: 0 done, 1 failed (one line on stderr), 2 usage error.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/no_throw.h"
#include "common/win_handles.h"
#include "picture/picture_loading.h"
#include "region/region_data.h"
#include "region/region_file_io.h"
#include "region/region_gdi.h"

namespace {

const char kUsage[] =
    "usage: pellform build PICTURE OUT.rgn [--mask-at X,Y | --mask RRGGBB] [--background RRGGBB]\n"
    "       pellform info FILE.rgn\n";

int UsageError(const char* problem) {
    std::fprintf(stderr, "pellform: %s\n%s", problem, kUsage);
    return 2;
}

int Failure(const std::string& message) {
    std::fprintf(stderr, "pellform: %s\n", message.c_str());
    return 1;
}

// "RRGGBB" in hex as a COLORREF.
bool ParseColour(const char* text, COLORREF& colour) {
    if (std::strlen(text) != 6) return false;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 16);
    if (*end != '\0') return false;
    colour = RGB(value >> 16 & 0xFF, value >> 8 & 0xFF, value & 0xFF);
    return true;
}

bool ParsePoint(const char* text, int& x, int& y) {
    char* end = nullptr;
    const long first = std::strtol(text, &end, 10);
    if (end == text || *end != ',') return false;
    const char* second = end + 1;
    const long other = std::strtol(second, &end, 10);
    if (end == second || *end != '\0' || first < 0 || other < 0) return false;
    x = static_cast<int>(first);
    y = static_cast<int>(other);
    return true;
}

// The picture decoder wants a full path.
std::string FullPath(const char* path) {
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path, MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(full, length) : std::string(path);
}

COLORREF PixelOf(HBITMAP picture, int x, int y) {
    OwnedMemoryDc memory(CreateCompatibleDC(nullptr));
    Selection selected(memory.get(), picture);
    return selected ? GetPixel(memory.get(), x, y) : CLR_INVALID;
}

void PrintBounds(const RegionRect& b) { std::printf("(%d, %d, %d, %d)", b.left, b.top, b.right, b.bottom); }

int Build(int argc, char** argv) {
    if (argc < 4) return UsageError("build needs a picture and an output file");
    const char* picturePath = argv[2];
    const char* outPath = argv[3];
    bool maskGiven = false, maskAtGiven = false;
    COLORREF mask = 0, background = GetSysColor(COLOR_BTNFACE);
    int maskX = 0, maskY = 0;
    for (int i = 4; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) return UsageError(("missing value after " + option).c_str());
        const char* value = argv[++i];
        if (option == "--mask") {
            if (!ParseColour(value, mask)) return UsageError("--mask wants RRGGBB in hex");
            maskGiven = true;
        } else if (option == "--mask-at") {
            if (!ParsePoint(value, maskX, maskY)) return UsageError("--mask-at wants X,Y");
            maskAtGiven = true;
        } else if (option == "--background") {
            if (!ParseColour(value, background)) return UsageError("--background wants RRGGBB in hex");
        } else {
            return UsageError(("unknown option " + option).c_str());
        }
    }
    if (maskGiven && maskAtGiven) return UsageError("give --mask or --mask-at, not both");

    OwnedBitmap picture(LoadPictureFile(FullPath(picturePath).c_str(), background));
    if (!picture) return Failure(std::string("the picture could not be decoded: ") + picturePath);
    BITMAP size{};
    GetObjectA(picture.get(), sizeof size, &size);
    if (!maskGiven) {
        if (maskX >= size.bmWidth || maskY >= size.bmHeight)
            return Failure("--mask-at lies outside the " + std::to_string(size.bmWidth) + " x " +
                           std::to_string(size.bmHeight) + " picture");
        mask = PixelOf(picture.get(), maskX, maskY);
        if (mask == CLR_INVALID) return Failure("the pixel under --mask-at could not be read");
    }
    OwnedRegion region(BuildRegionFromPicture(picture.get(), size.bmWidth, size.bmHeight, mask));
    RegionRects rects;
    if (!region || !ReadRegionRects(region.get(), rects)) return Failure("the region could not be built");
    char tempPath[MAX_PATH] = "";
    if (!WriteRegionFile(outPath, region.get(), tempPath))
        return Failure(std::string("the output could not be written: ") + outPath);
    std::printf("%s: %zu rectangles, bounding box ", outPath, rects.size());
    PrintBounds(BoundsOf(rects));
    std::printf("\n");
    return 0;
}

int Info(int argc, char** argv) {
    if (argc != 3) return UsageError("info needs one region file");
    RegionRects rects;
    if (!ReadRegionFile(argv[2], rects)) return Failure(std::string("not region data: ") + argv[2]);
    const RegionRect bounds = BoundsOf(rects);
    std::printf("Size of header: %u\n", kRegionHeaderSize);
    std::printf("Type of region: 1\n");
    std::printf("Number of regions: %zu\n", rects.size());
    std::printf("Size of raw data: %zu\n", rects.size() * kRegionRectSize);
    std::printf("Upper left X: %d\nUpper left Y: %d\n", bounds.left, bounds.top);
    std::printf("Lower right X: %d\nLower right Y: %d\n", bounds.right, bounds.bottom);
    for (const RegionRect& r : rects) std::printf("%d %d %d %d\n", r.left, r.top, r.right, r.bottom);
    return 0;
}

}  // namespace

int Run(int argc, char** argv) {
    if (argc < 2) return UsageError("no command");
    const std::string command = argv[1];
    if (command == "build") return Build(argc, argv);
    if (command == "info") return Info(argc, argv);
    return UsageError(("unknown command " + command).c_str());
}

int main(int argc, char** argv) {
    return ResultOrRecovery([&] { return Run(argc, argv); },
                            [] {
                                std::fputs("pellform: out of memory\n", stderr);
                                return 1;
                            });
}
