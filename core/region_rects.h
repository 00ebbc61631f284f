// Regions as the platform keeps them, without the platform: y-x-banded
// rectangles (sorted by top, then left; a band's rectangles share top and
// bottom; none touch within a band; touching bands with the same spans are one).
#ifndef PELLFORM_REGION_RECTS_H
#define PELLFORM_REGION_RECTS_H

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

struct RegionRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;
    bool operator==(const RegionRect& other) const {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

using RegionRects = std::vector<RegionRect>;

// The most rectangles a region may have here, stored or made by a union or a
// picture: 16 MB per copy, so with the working copies a merge and the system's
// own region need, a 32-bit host keeps most of its address space.
constexpr std::size_t kMaxRegionRects = std::size_t{1} << 20;

// What building or merging throws when the result would pass that limit; it is
// thrown as soon as the count is passed, before any more memory is taken.
struct RegionTooLarge : std::length_error {
    RegionTooLarge() : std::length_error("region has too many rectangles") {}
};

// Which 32-bit DIB pixels (0x00RRGGBB, the top byte ignored) count as a mask
// COLORREF (0x00BBGGRR): each of red, green and blue at most `tolerance` from
// the mask's. A mask with a non-zero top byte matches no pixel.
struct MaskColorRange {
    MaskColorRange(std::uint32_t maskColor, std::uint32_t tolerance);
    bool Matches(std::uint32_t pixel) const {
        // Each channel one unsigned comparison: a value below the low end wraps
        // around to far above the range.
        return active && (pixel & 0xFF) - (low & 0xFF) <= (range & 0xFF) &&
               (pixel >> 8 & 0xFF) - (low >> 8 & 0xFF) <= (range >> 8 & 0xFF) &&
               (pixel >> 16 & 0xFF) - (low >> 16 & 0xFF) <= (range >> 16 & 0xFF);
    }
    std::uint32_t pixel;  // the mask as a pixel
    bool active;
    std::uint32_t low;    // per byte, the lowest blue, green and red that match
    std::uint32_t high;   // and the highest
    std::uint32_t range;  // high - low, per byte
};

// Builds the banded rectangles of every position whose pixel differs from the
// mask, row by row from the top. Pixels are 32-bit DIB values (0x00RRGGBB, the
// top byte ignored); the mask is a COLORREF (0x00BBGGRR), and one with a
// non-zero top byte matches no pixel. With a tolerance, a pixel matches when
// each of its red, green and blue is at most that far from the mask's.
class RegionRectBuilder {
public:
    RegionRectBuilder(std::int32_t width, std::uint32_t maskColor, std::uint32_t tolerance = 0);
    void AddPixelRow(const std::uint32_t* pixels);
    // Writes the left, right pairs of a row's spans of pixels unlike the mask
    // into `edges` (room for width + 1); returns how many numbers.
    std::size_t FindSpans(const std::uint32_t* pixels, std::int32_t* edges) const;
    // A row in which no position matches the mask: the strip below a picture.
    void AddFullRow();
    // A row given by its spans: left, right pairs, in order, none touching.
    void AddSpans(const std::int32_t* edges, std::size_t count);
    RegionRects Finish();

private:
    void CloseBand();

    std::int32_t width_;
    std::uint32_t tolerance_;
    MaskColorRange mask_;
    std::int32_t y_ = 0;
    std::int32_t bandTop_ = 0;
    std::vector<std::int32_t> bandSpans_;  // left, right pairs of the open band
    std::vector<std::int32_t> edges_;      // room for the span edges of one row
    RegionRects rects_;
};

// The rectangles a picture of width x height pixels (rows `stride` pixels
// apart, top row first) gives for a mask color, the strip (0, H, W, H + 1)
// below it included.
RegionRects BuildRegionRects(const std::uint32_t* pixels, std::int32_t width, std::int32_t height,
                             std::size_t stride, std::uint32_t maskColor, std::uint32_t tolerance = 0);

// The rectangles of every position whose alpha (a byte a pixel, rows `width`
// apart, top row first) is at least `threshold`, the strip below the picture
// included as for a mask color. No alpha (null) is opaque throughout.
RegionRects BuildAlphaRegionRects(const std::uint8_t* alpha, std::int32_t width, std::int32_t height,
                                  std::uint32_t threshold);

// Whether rectangles are already in banded form (what a region reports).
bool IsBanded(const RegionRects& rects);

// What a union did, for tests and benchmarks: its steps (rectangles looked at,
// tree nodes entered, rows swept, rectangles written) stay within
// 12 (n + k + 1)(log2(n + 1) + 4) for n rectangles given and k made.
// `modes` has a bit for each way the sweep took (see SweepMode).
struct UnionStats {
    std::uint64_t steps = 0;
    std::uint32_t modes = 0;
};

// The banded form of the union of any rectangles; empty and inverted ones
// (left >= right or top >= bottom) cover nothing and are dropped. Throws
// RegionTooLarge when more than `limit` rectangles are given or would be made,
// as soon as that is known. `stats`, when given, is filled also on a throw.
RegionRects UnionOfRects(const RegionRects& rects, std::size_t limit = kMaxRegionRects,
                         UnionStats* stats = nullptr);

// Bounding box; (0, 0, 0, 0) for none.
RegionRect BoundsOf(const RegionRect* rects, std::size_t count);
RegionRect BoundsOf(const RegionRects& rects);

#endif
