#include "platform/region_gdi.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <new>
#include <vector>

#include "core/flood_fill.h"
#include "core/no_throw.h"
#include "platform/win_handles.h"

namespace {

// Wine's ExtCreateRegion adds the rectangles one by one, each time copying the
// region so far, so a large block costs the square of its size. Small blocks
// are cheap everywhere; they become regions that are OR-ed pairwise, like a
// binary counter, which is n log n on any system and keeps few handles alive.
constexpr std::size_t kRectsPerBlock = 16;

HRGN CreateRegionFromBlock(const RegionRect* rects, std::size_t count) {
    alignas(RGNDATAHEADER) std::uint8_t data[kRegionHeaderSize + kRectsPerBlock * kRegionRectSize];
    EncodeRegionData(MakeRegionHeader(rects, count), rects, count, data);
    return ExtCreateRegion(nullptr, static_cast<DWORD>(kRegionHeaderSize + count * kRegionRectSize),
                           reinterpret_cast<const RGNDATA*>(data));
}

struct Pending {
    OwnedRegion region;
    int level;
};

}  // namespace

HRGN CreateRegionFromRects(const RegionRects& rects) {
    if (rects.empty()) return CreateRectRgn(0, 0, 0, 0);
    // One entry per level of the counter: with room for every level taken
    // first, nothing below allocates while regions are held.
    std::vector<Pending> stack;
    if (!ResultOrFailure(false, [&] {
            stack.reserve(8 * sizeof(std::size_t) + 1);
            return true;
        }))
        return nullptr;
    // On a failure the owners left on the stack free their regions.
    for (std::size_t begin = 0; begin < rects.size(); begin += kRectsPerBlock) {
        OwnedRegion block(CreateRegionFromBlock(rects.data() + begin, std::min(kRectsPerBlock, rects.size() - begin)));
        if (!block) return nullptr;
        stack.push_back({std::move(block), 0});
        while (stack.size() >= 2 && stack[stack.size() - 1].level == stack[stack.size() - 2].level) {
            const OwnedRegion top = std::move(stack.back().region);
            stack.pop_back();
            if (CombineRgn(stack.back().region.get(), stack.back().region.get(), top.get(), RGN_OR) == ERROR)
                return nullptr;
            ++stack.back().level;
        }
    }
    while (stack.size() >= 2) {
        const OwnedRegion top = std::move(stack.back().region);
        stack.pop_back();
        if (CombineRgn(stack.back().region.get(), stack.back().region.get(), top.get(), RGN_OR) == ERROR) return nullptr;
    }
    return stack.front().region.release();
}

bool FetchRegionRects(HRGN region, RegionRects& rects, RegionHeader* header) {
    rects.clear();
    return ResultOrFailure(false, [&] {
        const DWORD size = GetRegionData(region, 0, nullptr);
        if (size < sizeof(RGNDATAHEADER)) return false;
        std::vector<BYTE> data(size);
        reinterpret_cast<RGNDATAHEADER*>(data.data())->dwSize = sizeof(RGNDATAHEADER);
        return GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data())) &&
               DecodeRegionData(data.data(), data.size(), rects, header);
    });
}

bool RegionWithinLimit(HRGN region) {
    const DWORD size = GetRegionData(region, 0, nullptr);
    return size >= sizeof(RGNDATAHEADER) && (size - sizeof(RGNDATAHEADER)) / sizeof(RECT) <= kMaxRegionRects;
}

// Hands each row of the picture, top first, to `take` as 32-bit pixels. Rows
// are read in strips through a bottom-up 32-bit DIB; a strip of about 256 KB
// stays in the cache and costs few page faults, whatever the picture's size,
// and wine converts one strip far faster than a whole picture. The pixels are
// those GetPixel would report.
template <typename Take>
static bool ReadPictureRows(HBITMAP picture, int width, int height, Take take) {
    if (!picture || width <= 0 || height <= 0) return false;
    WindowDc screen(nullptr);
    if (!screen) return false;
    const int stripRows = std::max(1, std::min(height, (1 << 16) / width));
    std::unique_ptr<std::uint32_t[]> strip(new (std::nothrow) std::uint32_t[static_cast<std::size_t>(width) * stripRows]);
    if (!strip) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    for (int top = 0; top < height; top += stripRows) {
        const int rows = std::min(stripRows, height - top);
        // Scan lines count from the bottom of a bottom-up DIB.
        const UINT firstScan = static_cast<UINT>(height - top - rows);
        if (GetDIBits(screen.get(), picture, firstScan, static_cast<UINT>(rows), strip.get(), &info, DIB_RGB_COLORS) !=
            rows)
            return false;
        for (int row = 0; row < rows; ++row) take(strip.get() + static_cast<std::size_t>(rows - 1 - row) * width);
    }
    return true;
}

static bool ReadPictureRects(HBITMAP picture, int width, int height, COLORREF maskColor, int tolerance,
                             RegionRects& rects) {
    RegionRectBuilder builder(width, maskColor, static_cast<std::uint32_t>(std::max(tolerance, 0)));
    if (!ReadPictureRows(picture, width, height, [&](const std::uint32_t* row) { builder.AddPixelRow(row); }))
        return false;
    builder.AddFullRow();
    rects = builder.Finish();
    return true;
}

bool BuildPictureRects(HBITMAP picture, int width, int height, COLORREF maskColor, int tolerance, RegionRects& rects) {
    // No memory, or a picture noisier than a region may be: no rectangles.
    return ResultOrFailure(false, [&] { return ReadPictureRects(picture, width, height, maskColor, tolerance, rects); });
}

HRGN BuildRegionFromPicture(HBITMAP picture, int width, int height, COLORREF maskColor, int tolerance) {
    RegionRects rects;
    return BuildPictureRects(picture, width, height, maskColor, tolerance, rects) ? CreateRegionFromRects(rects)
                                                                                  : nullptr;
}

static bool ReadFloodRects(HBITMAP picture, int width, int height, COLORREF maskColor, int tolerance,
                           const FloodStarts& starts, RegionRects& rects) {
    FloodRegionBuilder builder(width, height, maskColor, static_cast<std::uint32_t>(std::max(tolerance, 0)), starts);
    if (!ReadPictureRows(picture, width, height, [&](const std::uint32_t* row) { builder.AddPixelRow(row); }))
        return false;
    rects = builder.Finish();
    return true;
}

bool BuildFloodPictureRects(HBITMAP picture, int width, int height, COLORREF maskColor, int tolerance,
                            const FloodStarts& starts, RegionRects& rects) {
    return ResultOrFailure(false,
                           [&] { return ReadFloodRects(picture, width, height, maskColor, tolerance, starts, rects); });
}

HRGN BuildFloodRegionFromPicture(HBITMAP picture, int width, int height, COLORREF maskColor, int tolerance,
                                 const FloodStarts& starts) {
    RegionRects rects;
    return BuildFloodPictureRects(picture, width, height, maskColor, tolerance, starts, rects)
               ? CreateRegionFromRects(rects)
               : nullptr;
}
