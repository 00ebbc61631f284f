#include "core/region_compare.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr std::int64_t kNoEdge = std::numeric_limits<std::int64_t>::max();

// The spans [first, last) of one band, with the covered length left of each
// span's start (prefix[i] for span i, from the whole list's running sums).
struct Band {
    const RegionRect* first = nullptr;
    const RegionRect* last = nullptr;
    const std::uint64_t* prefix = nullptr;
    std::size_t size() const { return static_cast<std::size_t>(last - first); }
};

std::size_t BandEnd(const RegionRects& rects, std::size_t start) {
    std::size_t end = start;
    while (end < rects.size() && rects[end].top == rects[start].top) ++end;
    return end;
}

// Covered length of the band left of x.
std::uint64_t CoveredBefore(const Band& band, std::int64_t x) {
    const RegionRect* after =
        std::upper_bound(band.first, band.last, x, [](std::int64_t v, const RegionRect& r) { return v < r.right; });
    const std::size_t index = static_cast<std::size_t>(after - band.first);
    std::uint64_t covered = band.prefix[index] - band.prefix[0];
    if (after != band.last && after->left < x) covered += static_cast<std::uint64_t>(x - after->left);
    return covered;
}

// Length covered by both bands: the smaller one's spans looked up in the larger
// when they differ much in size, else one walk through both.
std::uint64_t OverlapLength(const Band& a, const Band& b) {
    const Band& small = a.size() <= b.size() ? a : b;
    const Band& large = a.size() <= b.size() ? b : a;
    std::uint64_t overlap = 0;
    if (small.size() * 8 < large.size()) {
        for (const RegionRect* s = small.first; s != small.last; ++s)
            overlap += CoveredBefore(large, s->right) - CoveredBefore(large, s->left);
        return overlap;
    }
    const RegionRect *i = a.first, *j = b.first;
    while (i != a.last && j != b.last) {
        const std::int64_t left = std::max(i->left, j->left), right = std::min(i->right, j->right);
        if (left < right) overlap += static_cast<std::uint64_t>(right - left);
        if (i->right < j->right) ++i;
        else ++j;
    }
    return overlap;
}

bool SameSpan(const RegionRect& x, const RegionRect& y) { return x.left == y.left && x.right == y.right; }

// Leftmost and rightmost x where exactly one band covers; false when the bands
// cover the same. Equal spans are skipped from either end, so the walk is no
// longer than the smaller band.
bool DifferenceExtent(const Band& a, const Band& b, std::int64_t& left, std::int64_t& right) {
    const std::size_t common = std::min(a.size(), b.size());
    std::size_t head = 0;
    while (head < common && SameSpan(a.first[head], b.first[head])) ++head;
    if (head == common && a.size() == b.size()) return false;
    std::size_t tail = 0;
    while (tail < common - head && SameSpan(a.last[-1 - static_cast<std::ptrdiff_t>(tail)],
                                            b.last[-1 - static_cast<std::ptrdiff_t>(tail)]))
        ++tail;
    // The first differing pair (or the first span only one band has) holds the
    // leftmost difference: where their edges first part.
    auto firstEdge = [](const RegionRect* x, const RegionRect* y) -> std::int64_t {
        if (!x) return y->left;
        if (!y) return x->left;
        return x->left != y->left ? std::min(x->left, y->left) : std::min(x->right, y->right);
    };
    auto lastEdge = [](const RegionRect* x, const RegionRect* y) -> std::int64_t {
        if (!x) return y->right;
        if (!y) return x->right;
        return x->right != y->right ? std::max(x->right, y->right) : std::max(x->left, y->left);
    };
    const RegionRect* aHead = head < a.size() ? a.first + head : nullptr;
    const RegionRect* bHead = head < b.size() ? b.first + head : nullptr;
    const RegionRect* aTail = tail < a.size() ? a.last - 1 - tail : nullptr;
    const RegionRect* bTail = tail < b.size() ? b.last - 1 - tail : nullptr;
    left = firstEdge(aHead, bHead);
    right = lastEdge(aTail, bTail);
    return true;
}

// Running covered length before each rectangle, one more entry at the end.
std::vector<std::uint64_t> PrefixLengths(const RegionRects& rects) {
    std::vector<std::uint64_t> prefix(rects.size() + 1);
    for (std::size_t i = 0; i < rects.size(); ++i)
        prefix[i + 1] = prefix[i] + static_cast<std::uint64_t>(std::int64_t{rects[i].right} - rects[i].left);
    return prefix;
}

}  // namespace

std::uint64_t AreaOf(const RegionRects& rects) {
    std::uint64_t area = 0;
    for (const RegionRect& r : rects)
        area += static_cast<std::uint64_t>(std::int64_t{r.right} - r.left) *
                static_cast<std::uint64_t>(std::int64_t{r.bottom} - r.top);
    return area;
}

RegionComparison CompareRegions(const RegionRects& a, const RegionRects& b) {
    const std::vector<std::uint64_t> prefixA = PrefixLengths(a), prefixB = PrefixLengths(b);
    std::uint64_t overlap = 0;
    std::int64_t left = kNoEdge, top = kNoEdge, right = -kNoEdge, bottom = -kNoEdge;
    std::size_t startA = 0, startB = 0;
    std::size_t endA = BandEnd(a, 0), endB = BandEnd(b, 0);
    std::int64_t y = std::min(a.empty() ? kNoEdge : a[0].top, b.empty() ? kNoEdge : b[0].top);
    while (startA < a.size() || startB < b.size()) {
        // The slab runs from y to the next edge of either band; a band not yet
        // reached counts as empty in it.
        auto bandAt = [&](const RegionRects& rects, const std::vector<std::uint64_t>& prefix, std::size_t start,
                          std::size_t end, std::int64_t& next) {
            Band band;
            if (start >= rects.size()) return band;
            if (rects[start].top > y) {
                next = std::min<std::int64_t>(next, rects[start].top);
                return band;
            }
            next = std::min<std::int64_t>(next, rects[start].bottom);
            band.first = rects.data() + start;
            band.last = rects.data() + end;
            band.prefix = prefix.data() + start;
            return band;
        };
        std::int64_t next = kNoEdge;
        const Band bandA = bandAt(a, prefixA, startA, endA, next), bandB = bandAt(b, prefixB, startB, endB, next);
        const std::uint64_t height = static_cast<std::uint64_t>(next - y);
        if (bandA.size() && bandB.size()) overlap += height * OverlapLength(bandA, bandB);
        std::int64_t slabLeft = 0, slabRight = 0;
        if (DifferenceExtent(bandA, bandB, slabLeft, slabRight)) {
            left = std::min(left, slabLeft);
            right = std::max(right, slabRight);
            top = std::min(top, y);
            bottom = std::max(bottom, next);
        }
        if (bandA.size() && a[startA].bottom == next) startA = endA, endA = BandEnd(a, startA);
        if (bandB.size() && b[startB].bottom == next) startB = endB, endB = BandEnd(b, startB);
        y = next;
        // Past both bands, the next slab starts where the next band does.
        const bool inA = startA < a.size() && a[startA].top <= y, inB = startB < b.size() && b[startB].top <= y;
        if (!inA && !inB)
            y = std::min(startA < a.size() ? a[startA].top : kNoEdge, startB < b.size() ? b[startB].top : kNoEdge);
    }
    RegionComparison result;
    result.onlyInA = AreaOf(a) - overlap;
    result.onlyInB = AreaOf(b) - overlap;
    if (left != kNoEdge)
        result.differences = {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
                              static_cast<std::int32_t>(right), static_cast<std::int32_t>(bottom)};
    return result;
}

CoverageRows::CoverageRows(const RegionRects& a, const RegionRects& b, std::int32_t width)
    : a_{&a}, b_{&b}, width_(width) {}

void CoverageRows::PaintBand(Cursor& cursor, std::uint8_t bit, std::uint8_t* owners) const {
    const RegionRects& rects = *cursor.rects;
    if (cursor.end == 0 || (cursor.band < rects.size() && rects[cursor.band].bottom <= y_)) {
        // A band's rectangles left of the picture are passed over once, not on
        // every row: a hostile band may hold a million of them.
        while (cursor.band < rects.size() && rects[cursor.band].bottom <= y_) cursor.band = BandEnd(rects, cursor.band);
        cursor.end = BandEnd(rects, cursor.band);
        cursor.visible = static_cast<std::size_t>(
            std::partition_point(rects.begin() + cursor.band, rects.begin() + cursor.end,
                                 [](const RegionRect& r) { return r.right <= 0; }) - rects.begin());
    }
    if (cursor.band >= rects.size() || rects[cursor.band].top > y_) return;
    for (std::size_t i = cursor.visible; i < cursor.end && rects[i].left < width_; ++i) {
        const std::int32_t from = std::max(rects[i].left, 0), to = std::min(rects[i].right, width_);
        for (std::int32_t x = from; x < to; ++x) owners[x] |= bit;
    }
}

void CoverageRows::NextRow(std::uint8_t* owners) {
    std::memset(owners, 0, static_cast<std::size_t>(width_));
    PaintBand(a_, 1, owners);
    PaintBand(b_, 2, owners);
    ++y_;
}
