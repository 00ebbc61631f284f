#include "core/region_rects.h"

#include <algorithm>

#include "core/region_sweep.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// Writes the x of every position where "differs from the mask" changes, the
// row's end closing an open span; returns how many. Writing each x and
// advancing only at a change keeps the loop free of branches, which noisy
// pictures would otherwise mispredict at every run; blocks of eight pixels
// that all continue the current state (`countDiffering` tells how many of
// eight differ) are skipped whole, which is most of a picture made of shapes.
template <typename CountDiffering, typename Differs>
std::size_t FindSpanEdges(const std::uint32_t* pixels, std::int32_t width, std::int32_t* edges,
                          CountDiffering countDiffering, Differs differs) {
    std::size_t count = 0;
    std::uint32_t inside = 0;
    std::int32_t x = 0;
    for (; x + 8 <= width; x += 8) {
        if (countDiffering(pixels + x) == (inside ? 8u : 0u)) continue;
        for (int i = 0; i < 8; ++i) {
            const std::uint32_t state = differs(pixels[x + i]);
            edges[count] = x + i;
            count += state ^ inside;
            inside = state;
        }
    }
    for (; x < width; ++x) {
        const std::uint32_t state = differs(pixels[x]);
        edges[count] = x;
        count += state ^ inside;
        inside = state;
    }
    edges[count] = width;
    return count + inside;
}

template <typename Differs>
std::uint32_t CountEachOfEight(const std::uint32_t* pixels, Differs differs) {
    std::uint32_t differing = 0;
    for (int i = 0; i < 8; ++i) differing += differs(pixels[i]);
    return differing;
}

}  // namespace

MaskColorRange::MaskColorRange(std::uint32_t maskColor, std::uint32_t tolerance)
    // A COLORREF's red is its low byte, a DIB pixel's blue is.
    : pixel((maskColor & 0xFF) << 16 | (maskColor & 0xFF00) | (maskColor >> 16 & 0xFF)),
      active((maskColor >> 24) == 0),
      low(0),
      high(0),
      range(0) {
    tolerance = std::min<std::uint32_t>(tolerance, 255);
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t value = pixel >> shift & 0xFF;
        low |= (value > tolerance ? value - tolerance : 0) << shift;
        high |= std::min<std::uint32_t>(value + tolerance, 255) << shift;
    }
    range = high - low;  // no byte borrows: each high byte is at least its low byte
}

RegionRectBuilder::RegionRectBuilder(std::int32_t width, std::uint32_t maskColor, std::uint32_t tolerance)
    : width_(width),
      tolerance_(std::min<std::uint32_t>(tolerance, 255)),
      mask_(maskColor, tolerance),
      edges_(static_cast<std::size_t>(width > 0 ? width : 0) + 1) {}

void RegionRectBuilder::AddPixelRow(const std::uint32_t* pixels) {
    AddSpans(edges_.data(), FindSpans(pixels, edges_.data()));
}

std::size_t RegionRectBuilder::FindSpans(const std::uint32_t* pixels, std::int32_t* edges) const {
    if (width_ <= 0) return 0;
    if (!mask_.active) {
        edges[0] = 0;
        edges[1] = width_;
        return 2;
    }
    std::size_t count = 0;
    if (tolerance_ == 0) {
        const std::uint32_t mask = mask_.pixel;
        const auto differs = [mask](std::uint32_t pixel) -> std::uint32_t { return (pixel & 0xFFFFFF) != mask; };
        count = FindSpanEdges(
            pixels, width_, edges, [&](const std::uint32_t* eight) { return CountEachOfEight(eight, differs); },
            differs);
    } else {
        const MaskColorRange mask = mask_;
        const auto differs = [mask](std::uint32_t pixel) -> std::uint32_t { return !mask.Matches(pixel); };
#ifdef __SSE2__
        // Four pixels at a time: a byte below its low end or above its high
        // end leaves a non-zero difference after saturating subtraction.
        const __m128i low = _mm_set1_epi32(static_cast<int>(mask_.low));
        const __m128i high = _mm_set1_epi32(static_cast<int>(mask_.high));
        const __m128i colorBytes = _mm_set1_epi32(0xFFFFFF);
        const auto matching = [&](const std::uint32_t* four) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(four));
            const __m128i outside = _mm_or_si128(_mm_subs_epu8(low, v), _mm_subs_epu8(v, high));
            const __m128i matches = _mm_cmpeq_epi32(_mm_and_si128(outside, colorBytes), _mm_setzero_si128());
            return static_cast<std::uint32_t>(_mm_movemask_ps(_mm_castsi128_ps(matches)));
        };
        const auto countDiffering = [&](const std::uint32_t* eight) {
            const std::uint32_t bits = matching(eight) | matching(eight + 4) << 4;
            return bits == 0 ? 8u : bits == 0xFF ? 0u : 1u;  // only all or none matter
        };
#else
        const auto countDiffering = [&](const std::uint32_t* eight) { return CountEachOfEight(eight, differs); };
#endif
        count = FindSpanEdges(pixels, width_, edges, countDiffering, differs);
    }
    return count;
}

void RegionRectBuilder::AddFullRow() {
    const std::int32_t full[2] = {0, width_};
    AddSpans(full, width_ > 0 ? 2 : 0);
}

// A row whose spans equal the open band's extends it; any other row closes it.
void RegionRectBuilder::AddSpans(const std::int32_t* edges, std::size_t count) {
    const bool same = count != 0 && count == bandSpans_.size() &&
                      std::equal(edges, edges + count, bandSpans_.begin());
    if (!same) {
        CloseBand();
        bandSpans_.assign(edges, edges + count);
        bandTop_ = y_;
    }
    ++y_;
}

void RegionRectBuilder::CloseBand() {
    if (rects_.size() + bandSpans_.size() / 2 > kMaxRegionRects) throw RegionTooLarge();
    for (std::size_t i = 0; i < bandSpans_.size(); i += 2)
        rects_.push_back({bandSpans_[i], bandTop_, bandSpans_[i + 1], y_});
    bandSpans_.clear();
}

RegionRects RegionRectBuilder::Finish() {
    CloseBand();
    return std::move(rects_);
}

RegionRects BuildRegionRects(const std::uint32_t* pixels, std::int32_t width, std::int32_t height,
                             std::size_t stride, std::uint32_t maskColor, std::uint32_t tolerance) {
    RegionRectBuilder builder(width, maskColor, tolerance);
    for (std::int32_t y = 0; y < height; ++y) builder.AddPixelRow(pixels + static_cast<std::size_t>(y) * stride);
    builder.AddFullRow();
    return builder.Finish();
}

RegionRects BuildAlphaRegionRects(const std::uint8_t* alpha, std::int32_t width, std::int32_t height,
                                  std::uint32_t threshold) {
    // Opaque positions become pixels unlike the mask (black), the rest the mask.
    RegionRectBuilder builder(width, 0);
    std::vector<std::uint32_t> row(alpha ? static_cast<std::size_t>(width) : 0);
    for (std::int32_t y = 0; y < height; ++y) {
        if (!alpha) {
            builder.AddFullRow();
            continue;
        }
        const std::uint8_t* values = alpha + static_cast<std::size_t>(y) * width;
        for (std::int32_t x = 0; x < width; ++x) row[x] = values[x] >= threshold ? 0xFFFFFF : 0;
        builder.AddPixelRow(row.data());
    }
    builder.AddFullRow();
    return builder.Finish();
}

RegionRect BoundsOf(const RegionRect* rects, std::size_t count) {
    if (count == 0) return {0, 0, 0, 0};
    RegionRect bounds = rects[0];
    for (std::size_t i = 1; i < count; ++i) {
        const RegionRect& r = rects[i];
        bounds.left = std::min(bounds.left, r.left);
        bounds.top = std::min(bounds.top, r.top);
        bounds.right = std::max(bounds.right, r.right);
        bounds.bottom = std::max(bounds.bottom, r.bottom);
    }
    return bounds;
}

RegionRect BoundsOf(const RegionRects& rects) { return BoundsOf(rects.data(), rects.size()); }

namespace {

// One band of a banded list: [begin, end) share top and bottom.
struct BandRange {
    std::size_t begin;
    std::size_t end;
};

BandRange BandAt(const RegionRects& rects, std::size_t begin) {
    std::size_t end = begin + 1;
    while (end < rects.size() && rects[end].top == rects[begin].top) ++end;
    return {begin, end};
}

bool SameSpans(const RegionRects& rects, BandRange a, BandRange b) {
    if (a.end - a.begin != b.end - b.begin) return false;
    for (std::size_t i = 0; i < a.end - a.begin; ++i)
        if (rects[a.begin + i].left != rects[b.begin + i].left || rects[a.begin + i].right != rects[b.begin + i].right)
            return false;
    return true;
}

}  // namespace

bool IsBanded(const RegionRects& rects) {
    std::size_t previousBegin = static_cast<std::size_t>(-1);
    for (std::size_t begin = 0; begin < rects.size();) {
        BandRange band = BandAt(rects, begin);
        const RegionRect& first = rects[band.begin];
        if (first.top >= first.bottom) return false;
        for (std::size_t i = band.begin; i < band.end; ++i) {
            const RegionRect& r = rects[i];
            if (r.bottom != first.bottom || r.left >= r.right) return false;
            if (i > band.begin && r.left <= rects[i - 1].right) return false;  // touching or out of order
        }
        if (previousBegin != static_cast<std::size_t>(-1)) {
            const RegionRect& previous = rects[previousBegin];
            if (previous.bottom > first.top) return false;
            if (previous.bottom == first.top && SameSpans(rects, BandAt(rects, previousBegin), band)) return false;
        }
        previousBegin = begin;
        begin = band.end;
    }
    return true;
}

namespace {

// The bands of a list in reverse order, each band's rectangles in theirs: a
// banded list written from the bottom band up comes out banded.
RegionRects BandsReversed(const RegionRects& rects) {
    RegionRects out;
    out.reserve(rects.size());
    for (std::size_t end = rects.size(); end > 0;) {
        std::size_t begin = end - 1;
        while (begin > 0 && rects[begin - 1].top == rects[end - 1].top) --begin;
        out.insert(out.end(), rects.begin() + static_cast<std::ptrdiff_t>(begin),
                   rects.begin() + static_cast<std::ptrdiff_t>(end));
        end = begin;
    }
    return out;
}

// A banded list as given, or given from the bottom band up, is its own union.
bool TakeBanded(const RegionRects& rects, RegionRects& made, std::uint64_t& steps) {
    steps += rects.size();
    if (IsBanded(rects)) {
        made = rects;
        return true;
    }
    // The band written last comes first: when the band before it would not
    // follow it as a banded list's next band does, no copy is made.
    std::size_t first = rects.size() - 1;
    while (first > 0 && rects[first - 1].top == rects[first].top) --first;
    if (first == 0) return false;
    std::size_t before = first - 1;
    while (before > 0 && rects[before - 1].top == rects[first - 1].top) --before;
    if (rects[first].bottom > rects[first - 1].top ||
        (rects[first].bottom == rects[first - 1].top && rects[first].left == rects[before].left &&
         rects[first].right == rects[before].right))
        return false;
    steps += 2 * rects.size();
    made = BandsReversed(rects);
    return IsBanded(made);
}

}  // namespace

RegionRects UnionOfRects(const RegionRects& rects, std::size_t limit, UnionStats* stats) {
    UnionStats counted;
    try {
        if (rects.size() > limit) throw RegionTooLarge();
        RegionRects made;
        if (!TakeBanded(rects, made, counted.steps)) made = SweepUnion(rects, limit, counted);
        if (stats) *stats = counted;
        return made;
    } catch (...) {
        if (stats) *stats = counted;
        throw;
    }
}
