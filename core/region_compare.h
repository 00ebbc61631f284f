// Two regions compared by the pixels they cover, not by their rectangles, and
// the rows of their picture. Works on banded rectangles (RegionRects order) a
// band at a time: no cost per pixel.
#ifndef PELLFORM_REGION_COMPARE_H
#define PELLFORM_REGION_COMPARE_H

#include <cstddef>
#include <cstdint>

#include "core/region_rects.h"

struct RegionComparison {
    // Pixels covered by one region and not the other. Banded rectangles never
    // overlap, so a region covers at most (2^32 - 1)^2 pixels: a count fits.
    std::uint64_t onlyInA = 0;
    std::uint64_t onlyInB = 0;
    // Bounding box of those pixels; (0, 0, 0, 0) when there are none.
    RegionRect differences{};
    bool Same() const { return onlyInA == 0 && onlyInB == 0; }
};

// A sweep over the y-slabs where the bands of both lists stay the same: each
// slab's pixels in A are bounded by the slab's A band, and so on. The cost of
// a slab is linear in the smaller band (binary search in the larger), so a pair
// costs O((n + m) log) at worst, however the bands of one cut those of the other.
RegionComparison CompareRegions(const RegionRects& a, const RegionRects& b);

// Pixels covered by banded rectangles.
std::uint64_t AreaOf(const RegionRects& rects);

// Row by row from y = 0, which of two banded lists covers each pixel x of
// [0, width): bit 1 for A, bit 2 for B. Pixels left of 0 are not visited.
class CoverageRows {
public:
    CoverageRows(const RegionRects& a, const RegionRects& b, std::int32_t width);
    // Fills `owners` (width bytes) for the next row.
    void NextRow(std::uint8_t* owners);

private:
    struct Cursor {
        const RegionRects* rects;
        std::size_t band = 0;     // first rectangle of the band at or below the row
        std::size_t visible = 0;  // its first rectangle right of 0, found once a band
        std::size_t end = 0;      // past its last rectangle
    };
    void PaintBand(Cursor& cursor, std::uint8_t bit, std::uint8_t* owners) const;

    Cursor a_, b_;
    std::int32_t width_;
    std::int32_t y_ = 0;
};

#endif
