#include "core/region_rects.h"

#include <algorithm>
#include <cstdlib>
#include <new>

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

// A rectangle's x range as the elementary intervals [first, last) between the
// distinct x coordinates.
struct Columns {
    std::int32_t first;
    std::int32_t last;
};

// A rectangle's left (at = 2i) or right (2i + 1) x, i its place among those given.
struct XSlot {
    std::int32_t x;
    std::uint32_t at;
};

// The x of each edge between elementary intervals: the distinct x of the
// rectangles' lefts and rights, in order.
struct LeafEdges {
    std::vector<std::int32_t> xs;
    std::size_t leaves = 0;
    std::int32_t At(std::int32_t edge) const { return xs[static_cast<std::size_t>(edge)]; }
};

// Sorts by a signed 32-bit key, stably, over the keys' range only: in one
// counting pass when there are no more keys than items (a sweep's y mostly),
// else 11 bits at a time from the lowest: two passes over the items for keys
// within 2^22 of each other, three at most; the counts of every pass taken in one.
template <typename Item, typename Key>
void SortBy(std::vector<Item>& items, std::vector<Item>& scratch, Key key) {
    if (items.empty()) return;
    std::int32_t low = key(items[0]), high = low;
    for (const Item& item : items) {
        low = std::min(low, key(item));
        high = std::max(high, key(item));
    }
    const std::uint32_t range = static_cast<std::uint32_t>(high) - static_cast<std::uint32_t>(low);
    const auto offset = [&](const Item& item) {
        return static_cast<std::uint32_t>(key(item)) - static_cast<std::uint32_t>(low);
    };
    scratch.resize(items.size());
    if (range < items.size()) {
        std::vector<std::uint32_t> counts(static_cast<std::size_t>(range) + 2);
        for (const Item& item : items) ++counts[offset(item) + 1];
        for (std::size_t d = 1; d < counts.size(); ++d) counts[d] += counts[d - 1];
        for (const Item& item : items) scratch[counts[offset(item)]++] = item;
        items.swap(scratch);
        return;
    }
    int passes = 0;
    while (passes < 3 && (range >> (11 * passes)) != 0) ++passes;
    std::vector<std::size_t> counts(static_cast<std::size_t>(passes) << 11);
    for (const Item& item : items)
        for (int pass = 0; pass < passes; ++pass) ++counts[(pass << 11) + (offset(item) >> (11 * pass) & 0x7FF)];
    for (int pass = 0; pass < passes; ++pass) {
        std::size_t* count = counts.data() + (pass << 11);
        for (std::size_t d = 0, sum = 0; d < 2048; ++d) {
            const std::size_t here = count[d];
            count[d] = sum;
            sum += here;
        }
        for (const Item& item : items) scratch[count[offset(item) >> (11 * pass) & 0x7FF]++] = item;
        items.swap(scratch);
    }
}

// A zeroed array from calloc: a large one is fresh pages, each faulted in only
// when first used, so the nodes of a tree that a union never reaches cost
// nothing (a vector would write every one).
template <typename T>
class ZeroedArray {
public:
    explicit ZeroedArray(std::size_t count) : items_(static_cast<T*>(std::calloc(count, sizeof(T)))) {
        if (!items_) throw std::bad_alloc();
    }
    ~ZeroedArray() { std::free(items_); }
    ZeroedArray(const ZeroedArray&) = delete;
    ZeroedArray& operator=(const ZeroedArray&) = delete;
    T& operator[](std::size_t i) { return items_[i]; }
    const T& operator[](std::size_t i) const { return items_[i]; }

private:
    T* items_;
};

// The elementary intervals of a row and how many rectangles cover each, as a
// tree over a power of two of leaves, stored by levels (node i has halves 2i
// and 2i + 1) so that the nodes near the root, which every change passes,
// stay in the cache: per node, the rectangles covering its whole range and
// how many of its leaves are covered, by those or below.
class CoverTree {
public:
    CoverTree(std::size_t leaves, std::uint64_t& steps)
        : leaves_(leaves), leafBase_(LeafBase(leaves)), nodes_(2 * leafBase_), waiting_(2 * leafBase_), steps_(steps) {
        for (std::size_t base = 1; base < leafBase_; base *= 2) ++levels_;
        pending_.resize(static_cast<std::size_t>(levels_) + 1);
    }

    // Adds `delta` for the columns of each rectangle named in [begin, end).
    // Many at one y (a band's rectangles) share most of the nodes above them:
    // those are recounted once, level by level, after all the edges are in.
    // `until` gives the bottom of each, as the tree records it (see Outlasted).
    // Rectangles outlasted when they start are not counted, and marked so
    // (no columns) for when they end.
    template <typename Until>
    void AddAll(const std::uint32_t* begin, const std::uint32_t* end, Columns* columns, std::int32_t delta,
                Until until) {
        if (end - begin < 32) {
            for (; begin != end; ++begin) {
                Columns& c = columns[*begin];
                if (c.first == c.last) continue;
                if (delta > 0 && Outlasted(c, until(*begin))) {
                    c.last = c.first;
                    continue;
                }
                Add(c, delta, delta > 0 ? until(*begin) : 0);
            }
            return;
        }
        if (static_cast<std::size_t>(end - begin) >= leaves_ / 4) {
            // So many that recounting every node is cheaper than finding the
            // ones above them (a whole band of a file at its top).
            for (; begin != end; ++begin) {
                const Columns& c = columns[*begin];
                const std::uint32_t last = delta > 0 ? until(*begin) : 0;
                std::size_t lo = leafBase_ + static_cast<std::size_t>(c.first);
                std::size_t hi = leafBase_ + static_cast<std::size_t>(c.last);
                for (; lo < hi; lo /= 2, hi /= 2) {
                    if (lo & 1) Count(lo++, delta, last);
                    if (hi & 1) Count(--hi, delta, last);
                }
            }
            RecountAll();
            return;
        }
        for (; begin != end; ++begin) {
            const Columns& c = columns[*begin];
            if (c.first == c.last) continue;
            std::size_t lo = leafBase_ + static_cast<std::size_t>(c.first);
            std::size_t hi = leafBase_ + static_cast<std::size_t>(c.last);
            const std::uint32_t last = delta > 0 ? until(*begin) : 0;
            // The ancestors first: a node waiting has all of its own waiting.
            WaitWithAncestors(lo / 2, 1);
            WaitWithAncestors((hi - 1) / 2, 1);
            for (int level = 0; lo < hi; lo /= 2, hi /= 2, ++level) {
                if (lo & 1) Wait(lo++, level, delta, last);
                if (hi & 1) Wait(--hi, level, delta, last);
            }
        }
        std::int32_t size = 1;
        for (std::vector<std::uint32_t>& nodes : pending_) {
            for (std::uint32_t node : nodes) {
                Pull(node, size);
                waiting_[node] = 0;
            }
            nodes.clear();
            size *= 2;
        }
    }

    // Adds `delta` to the leaves [first, last): to the few nodes that cover the
    // range exactly, then recounts the nodes above them, the ancestors of the
    // range's two ends, up to where nothing changes any more.
    void Add(const Columns& edge, std::int32_t delta, std::uint32_t until) {
        std::size_t lo = leafBase_ + static_cast<std::size_t>(edge.first);
        std::size_t hi = leafBase_ + static_cast<std::size_t>(edge.last);
        std::size_t a = lo, b = hi - 1;
        int level = 0, highestChange = -1;
        for (std::int32_t size = 1; lo < hi; lo /= 2, hi /= 2, size *= 2, ++level) {
            if ((lo & 1) && Apply(lo++, size, delta, until)) highestChange = level;
            if ((hi & 1) && Apply(--hi, size, delta, until)) highestChange = level;
        }
        std::int32_t size = 1;
        for (level = 1; a > 1 && highestChange >= 0; ++level) {
            a /= 2;
            b /= 2;
            size *= 2;
            bool changed = Pull(a, size);
            if (b != a) changed = Pull(b, size) || changed;
            if (!changed && level > highestChange) break;
        }
    }
    std::int32_t Covered() const { return nodes_[1].covered; }

    // Whether every column of [first, last) lies in a node where a rectangle
    // lasting until `until` at least is counted: then a rectangle there changes
    // no row while it lasts, and need not be counted at all. A node records the
    // latest bottom of the rectangles ever counted at it; one above the row
    // swept belongs to a rectangle still counted, and a row below a recorded
    // bottom is always above the bottoms asked for later. Looks from the
    // smallest node holding the range up to the root, then down the range's
    // two edges to the nodes it is made of: a rectangle inside a longer one
    // is mostly answered by the first node or two.
    bool Outlasted(const Columns& edge, std::uint32_t until) const {
        const std::size_t lo = leafBase_ + static_cast<std::size_t>(edge.first);
        const std::size_t hi = leafBase_ + static_cast<std::size_t>(edge.last) - 1;  // the last leaf
        int top = 0;
        while ((lo >> top) != (hi >> top)) ++top;
        for (std::size_t node = lo >> top; node >= 1; node /= 2) {
            ++steps_;
            if (nodes_[node].until >= until) return true;
        }
        if (top == 0) return false;  // one leaf, its own record looked at
        // Below the smallest node holding the range, each edge's nodes: one
        // partly in the range is answered by its own record or by its halves,
        // one wholly in it by its own record.
        for (int level = top - 1; level >= 0; --level) {
            const std::size_t node = lo >> level;
            ++steps_;
            if (nodes_[node].until >= until) break;
            if ((lo & ((std::size_t{1} << level) - 1)) == 0) return false;
            if (((lo >> (level - 1)) & 1) == 0 && nodes_[(lo >> (level - 1)) + 1].until < until) return false;
        }
        for (int level = top - 1; level >= 0; --level) {
            const std::size_t node = hi >> level;
            ++steps_;
            if (nodes_[node].until >= until) break;
            const std::size_t below = (std::size_t{1} << level) - 1;
            if ((hi & below) == below) return false;
            if (((hi >> (level - 1)) & 1) == 1 && nodes_[(hi >> (level - 1)) - 1].until < until) return false;
        }
        return true;
    }

    // The covered runs as left, right pairs of x, the touching ones joined.
    // Only nodes partly covered are entered: the cost follows the runs found.
    void CollectSpans(const LeafEdges& xs, std::vector<std::int32_t>& spans) const {
        spans.clear();
        Collect(1, 0, static_cast<std::int32_t>(leafBase_), xs, spans);
    }

private:
    static std::size_t LeafBase(std::size_t leaves) {
        std::size_t base = 1;
        while (base < leaves) base *= 2;
        return base;
    }

    struct Node {
        std::int32_t count;
        std::int32_t covered;
        std::uint32_t until;  // the latest bottom counted here, 0 for none
    };

    void Count(std::size_t node, std::int32_t delta, std::uint32_t until) {
        ++steps_;
        nodes_[node].count += delta;
        nodes_[node].until = std::max(nodes_[node].until, until);
    }
    // Every node over the leaves that exist, from the leaves up.
    void RecountAll() {
        std::int32_t size = 1;
        for (std::size_t first = leafBase_, last = leafBase_ + leaves_ - 1; first >= 1; first /= 2, last /= 2, size *= 2)
            for (std::size_t node = first; node <= last; ++node) Pull(node, size);
    }

    void Wait(std::size_t node, int level, std::int32_t delta, std::uint32_t until) {
        nodes_[node].count += delta;
        nodes_[node].until = std::max(nodes_[node].until, until);
        if (waiting_[node]) return;
        waiting_[node] = 1;
        pending_[static_cast<std::size_t>(level)].push_back(static_cast<std::uint32_t>(node));
    }
    void WaitWithAncestors(std::size_t node, int level) {
        for (; node >= 1 && !waiting_[node]; node /= 2, ++level) {
            ++steps_;
            waiting_[node] = 1;
            pending_[static_cast<std::size_t>(level)].push_back(static_cast<std::uint32_t>(node));
        }
    }

    // Each returns whether the node's covered leaves changed.
    bool Apply(std::size_t node, std::int32_t size, std::int32_t delta, std::uint32_t until) {
        nodes_[node].count += delta;
        nodes_[node].until = std::max(nodes_[node].until, until);
        return Pull(node, size);
    }
    bool Pull(std::size_t node, std::int32_t size) {
        ++steps_;
        Node& n = nodes_[node];
        const std::int32_t covered =
            n.count > 0 ? size : size == 1 ? 0 : nodes_[2 * node].covered + nodes_[2 * node + 1].covered;
        const bool changed = covered != n.covered;
        n.covered = covered;
        return changed;
    }

    void Collect(std::size_t node, std::int32_t lo, std::int32_t hi, const LeafEdges& xs,
                 std::vector<std::int32_t>& spans) const {
        ++steps_;
        const Node& n = nodes_[node];
        if (n.covered == 0) return;
        if (n.covered == hi - lo) {
            // A node wholly covered lies within the leaves that exist.
            if (!spans.empty() && spans.back() == xs.At(lo))
                spans.back() = xs.At(hi);
            else {
                spans.push_back(xs.At(lo));
                spans.push_back(xs.At(hi));
            }
            return;
        }
        const std::int32_t mid = lo + (hi - lo) / 2;
        Collect(2 * node, lo, mid, xs, spans);
        Collect(2 * node + 1, mid, hi, xs, spans);
    }

    std::size_t leaves_;
    std::size_t leafBase_;
    int levels_ = 0;
    ZeroedArray<Node> nodes_;
    ZeroedArray<std::uint8_t> waiting_;                // to be recounted, in pending_
    std::vector<std::vector<std::uint32_t>> pending_;  // by level, leaves first
    std::uint64_t& steps_;
};

// Hands the steps counted to the caller however the union ends.
struct StepsOut {
    std::uint64_t steps = 0;
    UnionStats* stats;
    ~StepsOut() {
        if (stats) stats->steps = steps;
    }
};

bool CoversAny(const RegionRect& r) { return r.left < r.right && r.top < r.bottom; }

// Set bits, without the library call a compiler makes for a processor
// that may lack the instruction.
std::uint32_t CountBits(std::uint32_t v) {
    v = v - ((v >> 1) & 0x55555555u);
    v = (v & 0x33333333u) + ((v >> 2) & 0x33333333u);
    return (((v + (v >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24;
}

// The columns of each rectangle that covers anything, as elementary intervals,
// at its place among those given; returns the x of their edges. Only the
// distinct x make leaves, so a wide rectangle over a few of them is a node
// near the leaves, and a thin one inside it stops climbing there.
LeafEdges PlaceColumns(const RegionRects& rects, std::vector<Columns>& columns) {
    LeafEdges xs;
    std::int32_t left = INT32_MAX, right = INT32_MIN;
    std::size_t count = 0;
    for (const RegionRect& r : rects)
        if (CoversAny(r)) {
            left = std::min(left, r.left);
            right = std::max(right, r.right);
            ++count;
        }
    if (count == 0) return xs;
    columns.resize(rects.size());
    const std::uint32_t width = static_cast<std::uint32_t>(right) - static_cast<std::uint32_t>(left);
    if (width <= 64 * static_cast<std::uint64_t>(count)) {
        // Few columns, as a picture's rectangles have: the x used marked in
        // a bit per column, an x's rank the marks before it, without a sort.
        const auto column = [left](std::int32_t x) {
            return static_cast<std::uint32_t>(x) - static_cast<std::uint32_t>(left);
        };
        std::vector<std::uint32_t> used(width / 32 + 1);
        for (const RegionRect& r : rects)
            if (CoversAny(r)) {
                used[column(r.left) / 32] |= std::uint32_t{1} << (column(r.left) % 32);
                used[column(r.right) / 32] |= std::uint32_t{1} << (column(r.right) % 32);
            }
        std::vector<std::uint32_t> before(used.size());  // marks in the words before
        std::uint32_t marks = 0;
        for (std::size_t w = 0; w < used.size(); ++w) {
            before[w] = marks;
            marks += CountBits(used[w]);
        }
        xs.xs.reserve(marks);
        for (std::size_t w = 0; w < used.size(); ++w) {
            for (std::uint32_t bits = used[w]; bits != 0; bits &= bits - 1)
                xs.xs.push_back(left + static_cast<std::int32_t>(32 * w + static_cast<std::size_t>(__builtin_ctz(bits))));
        }
        const auto rank = [&](std::int32_t x) {
            const std::uint32_t c = column(x);
            const std::uint32_t below = used[c / 32] & ((std::uint32_t{1} << (c % 32)) - 1);
            return static_cast<std::int32_t>(before[c / 32] + CountBits(below));
        };
        for (std::size_t i = 0; i < rects.size(); ++i)
            if (CoversAny(rects[i])) columns[i] = {rank(rects[i].left), rank(rects[i].right)};
        xs.leaves = xs.xs.size() - 1;
        return xs;
    }
    // Every left and right with where it goes, sorted by x: the rank of its x
    // among the distinct ones is the edge of an elementary interval.
    std::vector<XSlot> slots, scratch;
    slots.reserve(2 * count);
    for (std::size_t i = 0; i < rects.size(); ++i)
        if (CoversAny(rects[i])) {
            slots.push_back({rects[i].left, static_cast<std::uint32_t>(2 * i)});
            slots.push_back({rects[i].right, static_cast<std::uint32_t>(2 * i + 1)});
        }
    SortBy(slots, scratch, [](const XSlot& slot) { return slot.x; });
    std::vector<XSlot>().swap(scratch);
    for (const XSlot& slot : slots) {
        if (xs.xs.empty() || slot.x != xs.xs.back()) xs.xs.push_back(slot.x);
        Columns& edge = columns[slot.at / 2];
        (slot.at % 2 ? edge.last : edge.first) = static_cast<std::int32_t>(xs.xs.size() - 1);
    }
    xs.leaves = xs.xs.size() - 1;
    return xs;
}

// The rectangles that cover anything, by their places among those given, in
// the order of their tops (`starts`) and of their bottoms (`ends`), each
// stably. When the rows span no more than twice as many y as there are
// rectangles (a picture's, a file's), both are counted in one pass and placed
// in another; else each is sorted by its key.
void SortByRows(const RegionRects& rects, std::vector<std::uint32_t>& starts, std::vector<std::uint32_t>& ends) {
    std::int32_t low = INT32_MAX, high = INT32_MIN;
    std::size_t count = 0;
    for (const RegionRect& r : rects)
        if (CoversAny(r)) {
            low = std::min(low, r.top);
            high = std::max(high, r.bottom);
            ++count;
        }
    const std::uint32_t range = static_cast<std::uint32_t>(high) - static_cast<std::uint32_t>(low);
    const auto row = [low](std::int32_t y) { return static_cast<std::uint32_t>(y) - static_cast<std::uint32_t>(low); };
    starts.resize(count);
    ends.resize(count);
    if (range / 2 < count) {
        std::vector<std::uint32_t> startAt(static_cast<std::size_t>(range) + 2), endAt(startAt.size());
        for (const RegionRect& r : rects)
            if (CoversAny(r)) {
                ++startAt[row(r.top) + 1];
                ++endAt[row(r.bottom) + 1];
            }
        for (std::size_t y = 1; y < startAt.size(); ++y) {
            startAt[y] += startAt[y - 1];
            endAt[y] += endAt[y - 1];
        }
        for (std::size_t i = 0; i < rects.size(); ++i)
            if (CoversAny(rects[i])) {
                starts[startAt[row(rects[i].top)]++] = static_cast<std::uint32_t>(i);
                ends[endAt[row(rects[i].bottom)]++] = static_cast<std::uint32_t>(i);
            }
        return;
    }
    std::size_t placed = 0;
    for (std::size_t i = 0; i < rects.size(); ++i)
        if (CoversAny(rects[i])) starts[placed++] = static_cast<std::uint32_t>(i);
    ends = starts;
    std::vector<std::uint32_t> scratch;
    SortBy(starts, scratch, [&rects](std::uint32_t i) { return rects[i].top; });
    SortBy(ends, scratch, [&rects](std::uint32_t i) { return rects[i].bottom; });
}

// Appends the band of `spans` (left, right pairs) from top to bottom; refuses
// before taking memory when it would pass the limit.
void WriteBand(const std::vector<std::int32_t>& spans, std::int32_t top, std::int32_t bottom, std::size_t limit,
               RegionRects& out) {
    const std::size_t count = spans.size() / 2;
    if (count > limit - out.size()) throw RegionTooLarge();
    // Grown by doubling, but never past the limit.
    if (out.size() + count > out.capacity()) out.reserve(std::min(limit, std::max(out.size() + count, 2 * out.size())));
    for (std::size_t i = 0; i < spans.size(); i += 2) out.push_back({spans[i], top, spans[i + 1], bottom});
}

}  // namespace

RegionRects UnionOfRects(const RegionRects& rects, std::size_t limit, UnionStats* stats) {
    StepsOut counted{0, stats};
    if (rects.size() > limit) throw RegionTooLarge();
    counted.steps += rects.size();
    if (IsBanded(rects)) return rects;
    // A sweep from the top: the covered x ranges change only where rectangles
    // start or end. At each such y every rectangle starting there is added
    // before those ending there are taken away, so an interval can only become
    // covered while adding and only become uncovered while taking away: the
    // row changed exactly when the covered count rose, then fell. Only then is
    // the band held since the last change written and the new row's spans
    // collected; so consecutive bands always differ (nothing to join
    // afterwards) and each collection is paid for by the band it becomes.
    // Every rectangle costs O(log n) and every rectangle written O(log n):
    // O((n + k) log n) for n given and k made, whatever their arrangement.
    // The rectangles stay where they are, named by their place in two orders,
    // by top and by bottom: 20 bytes a rectangle where copies of its edges
    // took 36, and under Wine every fresh page of a large block costs a fault.
    std::vector<Columns> columns;
    const LeafEdges xs = PlaceColumns(rects, columns);
    if (columns.empty()) return {};
    std::vector<std::uint32_t> starts, ends;
    SortByRows(rects, starts, ends);
    const auto top = [&rects](std::uint32_t i) { return rects[i].top; };
    const auto bottom = [&rects](std::uint32_t i) { return rects[i].bottom; };
    CoverTree tree(xs.leaves, counted.steps);
    // Bottoms as the tree records them: above the first row, so 0 is none.
    const std::int32_t firstRow = top(starts[0]);
    const auto until = [&rects, firstRow](std::uint32_t i) {
        return static_cast<std::uint32_t>(rects[i].bottom) - static_cast<std::uint32_t>(firstRow);
    };
    RegionRects out;
    std::vector<std::int32_t> spans;  // of the rows since bandTop
    std::int32_t bandTop = 0;
    for (std::size_t s = 0, e = 0; e < ends.size();) {
        ++counted.steps;
        const std::int32_t y = s < starts.size() ? std::min(top(starts[s]), bottom(ends[e])) : bottom(ends[e]);
        const std::size_t firstStart = s, firstEnd = e;
        while (s < starts.size() && top(starts[s]) == y) ++s;
        while (e < ends.size() && bottom(ends[e]) == y) ++e;
        const std::int32_t before = tree.Covered();
        tree.AddAll(starts.data() + firstStart, starts.data() + s, columns.data(), 1, until);
        const std::int32_t added = tree.Covered();
        tree.AddAll(ends.data() + firstEnd, ends.data() + e, columns.data(), -1, until);
        if (added == before && tree.Covered() == added) continue;
        WriteBand(spans, bandTop, y, limit, out);
        counted.steps += spans.size() / 2;
        tree.CollectSpans(xs, spans);
        bandTop = y;
    }
    return out;
}
