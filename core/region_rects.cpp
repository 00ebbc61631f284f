#include "core/region_rects.h"

#include <algorithm>

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

RegionRectBuilder::RegionRectBuilder(std::int32_t width, std::uint32_t maskColor, std::uint32_t tolerance)
    : width_(width),
      // A COLORREF's red is its low byte, a DIB pixel's blue is.
      maskPixel_((maskColor & 0xFF) << 16 | (maskColor & 0xFF00) | (maskColor >> 16 & 0xFF)),
      maskMatches_((maskColor >> 24) == 0),
      tolerance_(std::min<std::uint32_t>(tolerance, 255)),
      lowPixel_(0),
      highPixel_(0),
      edges_(static_cast<std::size_t>(width > 0 ? width : 0) + 1) {
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t value = maskPixel_ >> shift & 0xFF;
        lowPixel_ |= (value > tolerance_ ? value - tolerance_ : 0) << shift;
        highPixel_ |= std::min<std::uint32_t>(value + tolerance_, 255) << shift;
    }
}

void RegionRectBuilder::AddPixelRow(const std::uint32_t* pixels) {
    if (!maskMatches_) {
        AddFullRow();
        return;
    }
    std::size_t count = 0;
    if (tolerance_ == 0) {
        const std::uint32_t mask = maskPixel_;
        const auto differs = [mask](std::uint32_t pixel) -> std::uint32_t { return (pixel & 0xFFFFFF) != mask; };
        count = FindSpanEdges(
            pixels, width_, edges_.data(), [&](const std::uint32_t* eight) { return CountEachOfEight(eight, differs); },
            differs);
    } else {
        // Each channel one unsigned comparison: a value below the low end
        // wraps around to far above the range.
        const std::uint32_t b = lowPixel_ & 0xFF, g = lowPixel_ >> 8 & 0xFF, r = lowPixel_ >> 16;
        const std::uint32_t rangeB = (highPixel_ & 0xFF) - b, rangeG = (highPixel_ >> 8 & 0xFF) - g,
                            rangeR = (highPixel_ >> 16) - r;
        const auto differs = [=](std::uint32_t pixel) -> std::uint32_t {
            return ((pixel & 0xFF) - b > rangeB) | ((pixel >> 8 & 0xFF) - g > rangeG) |
                   ((pixel >> 16 & 0xFF) - r > rangeR);
        };
#ifdef __SSE2__
        // Four pixels at a time: a byte below its low end or above its high
        // end leaves a non-zero difference after saturating subtraction.
        const __m128i low = _mm_set1_epi32(static_cast<int>(lowPixel_));
        const __m128i high = _mm_set1_epi32(static_cast<int>(highPixel_));
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
        count = FindSpanEdges(pixels, width_, edges_.data(), countDiffering, differs);
    }
    AddSpans(edges_.data(), count);
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

RegionRect BoundsOf(const RegionRects& rects) {
    if (rects.empty()) return {0, 0, 0, 0};
    RegionRect bounds = rects.front();
    for (const RegionRect& r : rects) {
        bounds.left = std::min(bounds.left, r.left);
        bounds.top = std::min(bounds.top, r.top);
        bounds.right = std::max(bounds.right, r.right);
        bounds.bottom = std::max(bounds.bottom, r.bottom);
    }
    return bounds;
}

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

// Appends a band of spans [top, bottom), merging it into the last band when
// that one touches it and has the same spans.
class BandedWriter {
public:
    explicit BandedWriter(std::size_t& room) : room_(room) {}
    void Add(std::int32_t top, std::int32_t bottom, const std::vector<std::int32_t>& spans) {
        if (spans.empty() || top >= bottom) return;
        if (lastBegin_ < out_.size() && out_[lastBegin_].bottom == top && LastSpansEqual(spans)) {
            for (std::size_t i = lastBegin_; i < out_.size(); ++i) out_[i].bottom = bottom;
            return;
        }
        if (spans.size() / 2 > room_) throw RegionTooLarge();
        room_ -= spans.size() / 2;
        lastBegin_ = out_.size();
        for (std::size_t i = 0; i < spans.size(); i += 2) out_.push_back({spans[i], top, spans[i + 1], bottom});
    }
    RegionRects Take() { return std::move(out_); }

private:
    bool LastSpansEqual(const std::vector<std::int32_t>& spans) const {
        if ((out_.size() - lastBegin_) * 2 != spans.size()) return false;
        for (std::size_t i = lastBegin_, j = 0; i < out_.size(); ++i, j += 2)
            if (out_[i].left != spans[j] || out_[i].right != spans[j + 1]) return false;
        return true;
    }
    std::size_t& room_;
    RegionRects out_;
    std::size_t lastBegin_ = static_cast<std::size_t>(-1);
};

// Merges the spans of two bands (either may be absent) into maximal spans.
void MergeSpans(const RegionRects& a, BandRange ba, bool useA, const RegionRects& b, BandRange bb, bool useB,
                std::vector<std::int32_t>& spans) {
    spans.clear();
    std::size_t i = useA ? ba.begin : ba.end, iEnd = ba.end;
    std::size_t j = useB ? bb.begin : bb.end, jEnd = bb.end;
    if (!useA) i = iEnd = 0;
    if (!useB) j = jEnd = 0;
    while (i < iEnd || j < jEnd) {
        const RegionRect* next;
        if (j >= jEnd || (i < iEnd && a[i].left < b[j].left)) next = &a[i++];
        else next = &b[j++];
        if (!spans.empty() && next->left <= spans.back()) spans.back() = std::max(spans.back(), next->right);
        else {
            spans.push_back(next->left);
            spans.push_back(next->right);
        }
    }
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

RegionRects UnionBanded(const RegionRects& a, const RegionRects& b, std::size_t& room) {
    if (a.empty() || b.empty()) {
        const RegionRects& only = a.empty() ? b : a;
        if (only.size() > room) throw RegionTooLarge();
        room -= only.size();
        return only;
    }
    BandedWriter writer(room);
    std::vector<std::int32_t> spans;
    std::size_t ia = 0, ib = 0;
    // The part of the current band of each input not yet written starts at y.
    std::int32_t y = std::min(a[0].top, b[0].top);
    while (ia < a.size() || ib < b.size()) {
        BandRange bandA = ia < a.size() ? BandAt(a, ia) : BandRange{a.size(), a.size()};
        BandRange bandB = ib < b.size() ? BandAt(b, ib) : BandRange{b.size(), b.size()};
        const bool hasA = ia < a.size(), hasB = ib < b.size();
        const std::int32_t topA = hasA ? std::max(a[ia].top, y) : INT32_MAX;
        const std::int32_t topB = hasB ? std::max(b[ib].top, y) : INT32_MAX;
        const std::int32_t top = std::min(topA, topB);
        const bool inA = hasA && topA == top, inB = hasB && topB == top;
        // The slice ends where either band ends or the other one starts.
        std::int32_t bottom = INT32_MAX;
        if (inA) bottom = std::min(bottom, a[ia].bottom);
        if (inB) bottom = std::min(bottom, b[ib].bottom);
        if (!inA && hasA) bottom = std::min(bottom, topA);
        if (!inB && hasB) bottom = std::min(bottom, topB);
        MergeSpans(a, bandA, inA, b, bandB, inB, spans);
        writer.Add(top, bottom, spans);
        y = bottom;
        if (inA && a[ia].bottom == bottom) ia = bandA.end;
        if (inB && b[ib].bottom == bottom) ib = bandB.end;
    }
    return writer.Take();
}

namespace {

// Lists being built from rectangles sorted by top: each a banded list, with
// where its last band starts so that a following band can join it.
struct BandedLists {
    std::vector<RegionRects> lists;
    std::size_t lastBandBegin = 0;

    // Appends the band of `spans` (sorted, joined) to the last list when it
    // starts at or below that list's bottom, as a new list otherwise.
    void AddBand(const RegionRects& spans) {
        if (lists.empty() || lists.back().back().bottom > spans.front().top) {
            lists.push_back(spans);
            lastBandBegin = 0;
            return;
        }
        RegionRects& list = lists.back();
        const std::size_t lastCount = list.size() - lastBandBegin;
        const auto lastBand = list.begin() + static_cast<std::ptrdiff_t>(lastBandBegin);
        const auto sameSpan = [](const RegionRect& a, const RegionRect& b) {
            return a.left == b.left && a.right == b.right;
        };
        const bool joins = list.back().bottom == spans.front().top && lastCount == spans.size() &&
                           std::equal(spans.begin(), spans.end(), lastBand, sameSpan);
        if (joins) {
            for (std::size_t i = lastBandBegin; i < list.size(); ++i) list[i].bottom = spans.front().bottom;
            return;
        }
        lastBandBegin = list.size();
        list.insert(list.end(), spans.begin(), spans.end());
    }
};

}  // namespace

RegionRects UnionOfRects(const RegionRects& rects, std::size_t limit) {
    if (rects.size() > limit) throw RegionTooLarge();
    if (IsBanded(rects)) return rects;
    // Sorted by top, bottom and left, rectangles that share top and bottom are
    // one band once their spans are joined, and bands that follow each other
    // without overlapping are one banded list: a file that is a region's own
    // rectangles shuffled or split costs a sort. The lists left overlap and are
    // merged in pairs, level by level, so the whole costs n log n. Overlapping
    // rectangles can make far more rectangles than they were (a staircase of n
    // makes about n * n / 2), so every level counts what it writes against the
    // limit and stops there, before taking memory for more.
    RegionRects sorted;
    sorted.reserve(rects.size());
    for (const RegionRect& r : rects)
        if (r.left < r.right && r.top < r.bottom) sorted.push_back(r);
    if (sorted.empty()) return {};
    std::sort(sorted.begin(), sorted.end(), [](const RegionRect& a, const RegionRect& b) {
        return a.top != b.top ? a.top < b.top : a.bottom != b.bottom ? a.bottom < b.bottom : a.left < b.left;
    });
    BandedLists built;
    RegionRects spans;
    for (std::size_t i = 0; i < sorted.size();) {
        spans.assign(1, sorted[i]);
        for (++i; i < sorted.size() && sorted[i].top == spans[0].top && sorted[i].bottom == spans[0].bottom; ++i) {
            if (sorted[i].left <= spans.back().right)
                spans.back().right = std::max(spans.back().right, sorted[i].right);
            else
                spans.push_back(sorted[i]);
        }
        built.AddBand(spans);
    }
    std::vector<RegionRects> level = std::move(built.lists);
    while (level.size() > 1) {
        std::vector<RegionRects> next;
        next.reserve((level.size() + 1) / 2);
        std::size_t room = limit;
        for (std::size_t i = 0; i + 1 < level.size(); i += 2) {
            next.push_back(UnionBanded(level[i], level[i + 1], room));
            RegionRects().swap(level[i]);
            RegionRects().swap(level[i + 1]);
        }
        if (level.size() % 2) {
            if (level.back().size() > room) throw RegionTooLarge();
            next.push_back(std::move(level.back()));
        }
        level.swap(next);
    }
    return std::move(level.front());
}
