// Measures the region engine against its baselines and prints one line per
// measurement: "NAME: ours X ms, baseline Y ms, ratio R".
//   region_bench.exe PATH-TO-PROBE-DLL [quick]
#include <windows.h>

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "region/region_data.h"
#include "region/region_rects.h"
#include "bench/scattered_rects.h"
#include "tests/win/naive_region.h"
#include "tests/win/probe/probe_api.h"

namespace {

const ProbeApi* probe = nullptr;

double NowMs() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double TimeMs(const std::function<void()>& work) {
    const double start = NowMs();
    work();
    return NowMs() - start;
}

void Report(const std::string& name, double ours, double baseline, const char* note = "") {
    std::printf("%s: ours %.1f ms, baseline %.1f ms, ratio %.2f%s\n", name.c_str(), ours, baseline,
                ours > 0 ? baseline / ours : 0.0, note);
    std::fflush(stdout);
}

HBITMAP MakePicture(int width, int height, const std::function<COLORREF(int, int)>& colour) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colour(x, y);
            pixels[static_cast<size_t>(y) * width + x] = GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
        }
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    SetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

const COLORREF kMask = RGB(255, 0, 255);

HBITMAP NoisePicture(int width, int height, int percent) {
    std::mt19937 random(42);
    return MakePicture(width, height, [&](int, int) {
        return static_cast<int>(random() % 100) < percent ? RGB(20, 40, 60) : kMask;
    });
}

HBITMAP ShapesPicture(int width, int height) {
    return MakePicture(width, height, [=](int x, int y) {
        const int dx = x - width / 3, dy = y - height / 2, r = width / 4;
        const bool disc = dx * dx + dy * dy < r * r;
        const bool frame = x > width * 6 / 10 && x < width * 9 / 10 && y > height / 10 && y < height * 9 / 10 &&
                           !(x > width * 7 / 10 && x < width * 8 / 10 && y > height / 5 && y < height * 4 / 5);
        return disc || frame ? RGB(10, 10, 10) : kMask;
    });
}

// The best of three runs: the first pays for cold caches and heap growth.
double BestOfThree(const std::function<double()>& run) {
    double best = run();
    for (int i = 0; i < 2; ++i) best = std::min(best, run());
    return best;
}

double OursMs(HBITMAP picture, int width, int height) {
    return BestOfThree([&] {
        HRGN region = nullptr;
        const double ms = TimeMs([&] { region = probe->buildRegionFromPicture(picture, width, height, kMask); });
        DeleteObject(region);
        return ms;
    });
}

// What no builder can beat: reading the bits once, one pass over them, and
// copying a finished region of the same size.
double FloorMs(HBITMAP picture, int width, int height) {
    HRGN finished = probe->buildRegionFromPicture(picture, width, height, kMask);
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    volatile long runs = 0;
    const double ms = BestOfThree([&] { return TimeMs([&] {
        HDC screen = GetDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        GetDIBits(screen, picture, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        long count = 0;
        const DWORD mask = 0xFF00FF;
        for (size_t i = 1; i < pixels.size(); ++i) count += ((pixels[i] & 0xFFFFFF) == mask) != ((pixels[i - 1] & 0xFFFFFF) == mask);
        runs = count;
        CombineRgn(copy, finished, nullptr, RGN_COPY);
    }); });
    DeleteObject(copy);
    DeleteObject(finished);
    return ms;
}

// The naive algorithm costs the square of the run count; on big noise it runs
// for hours, so it is timed on the first rows, doubling them, and carried on to
// the full height by the growth measured between the last two sizes.
double NaiveMs(HBITMAP picture, int width, int height, const char** note) {
    *note = "";
    const double budgetMs = 3000;
    double previousMs = 0;
    int rows = std::min(25, height);
    for (;;) {
        HRGN region = nullptr;
        const double ms = TimeMs([&] { region = NaiveRegion(picture, width, rows, kMask); });
        DeleteObject(region);
        if (rows == height) return ms;
        if (ms > budgetMs) {
            const double growth = previousMs > 0 ? ms / previousMs : 4.0;
            double estimate = ms;
            for (double r = rows; r < height; r *= 2) estimate *= growth;
            *note = " (baseline carried on from the first rows)";
            return estimate;
        }
        previousMs = ms;
        rows = std::min(rows * 2, height);
    }
}

// Where the time goes: reading and scanning the pixels, and making the region.
void ReportParts(HBITMAP picture, int width, int height, const char* kind) {
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    RegionRects rects;
    const double scanMs = TimeMs([&] {
        HDC screen = GetDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        GetDIBits(screen, picture, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
        ReleaseDC(nullptr, screen);
        rects = BuildRegionRects(reinterpret_cast<const std::uint32_t*>(pixels.data()), width, height, width, kMask);
    });
    HRGN region = nullptr;
    const double makeMs = TimeMs([&] { region = probe->createRegionFromRects(rects); });
    DeleteObject(region);
    std::printf("  %s parts: pixels to %zu rectangles %.1f ms, rectangles to region %.1f ms\n", kind, rects.size(),
                scanMs, makeMs);
}

std::vector<std::uint8_t> FileFromRects(const RegionRects& rects) { return EncodeRegionData(rects); }

void BenchOpening(std::size_t count) {
    const std::vector<std::uint8_t> file = FileFromRects(ScatteredRects(count));
    HRGN ours = nullptr, theirs = nullptr;
    const double oursMs = TimeMs([&] {
        RegionRects rects;
        DecodeRegionData(file.data(), file.size(), rects);
        ours = probe->createRegionFromRects(UnionOfRects(rects));
    });
    const double theirsMs = TimeMs([&] {
        theirs = ExtCreateRegion(nullptr, static_cast<DWORD>(file.size()), reinterpret_cast<const RGNDATA*>(file.data()));
    });
    const bool same = EqualRgn(ours, theirs);
    DeleteObject(ours);
    DeleteObject(theirs);
    Report("open " + std::to_string(count) + " rectangles vs ExtCreateRegion", oursMs, theirsMs,
           same ? "" : " (REGIONS DIFFER)");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: region_bench PROBE-DLL [quick]\n");
        return 2;
    }
    const bool quick = argc > 2 && std::strcmp(argv[2], "quick") == 0;
    HMODULE module = LoadLibraryA(argv[1]);
    auto entry = module ? reinterpret_cast<ProbeEntry>(reinterpret_cast<void*>(GetProcAddress(module, "PellformProbe")))
                        : nullptr;
    if (!entry) {
        std::fprintf(stderr, "cannot load %s\n", argv[1]);
        return 1;
    }
    probe = entry();

    for (const char* kind : {"noise 30%", "shapes"}) {
        const bool noise = kind[0] == 'n';
        HBITMAP picture = noise ? NoisePicture(1000, 1000, 30) : ShapesPicture(1000, 1000);
        const double ours = OursMs(picture, 1000, 1000);
        const char* note = "";
        const double naive = NaiveMs(picture, 1000, 1000, &note);
        Report(std::string("region 1000x1000 ") + kind + " vs naive", ours, naive, note);
        Report(std::string("region 1000x1000 ") + kind + " vs floor", ours, FloorMs(picture, 1000, 1000),
               " (baseline is a floor: ratio below 1 means slower than it)");
        ReportParts(picture, 1000, 1000, kind);
        DeleteObject(picture);
    }
    for (int side : {500, 1000, 2000, 4000}) {
        if (quick && side > 1000) break;
        HBITMAP picture = NoisePicture(side, side, 30);
        const double ours = OursMs(picture, side, side);
        const double floor = FloorMs(picture, side, side);
        std::printf("region %dx%d noise 30%% per pixel: ours %.1f ms (%.1f ns per pixel), floor %.1f ms, ratio %.2f\n",
                    side, side, ours, ours * 1e6 / (static_cast<double>(side) * side), floor, floor / ours);
        std::fflush(stdout);
        DeleteObject(picture);
    }
    for (std::size_t count : {20000u, 50000u}) {
        if (quick && count > 20000) break;
        BenchOpening(count);
    }
    return 0;
}
