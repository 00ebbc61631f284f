#include "core/region_sweep.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

// A rectangle's edges of one kind as ranks among the distinct values of that
// kind: its columns [first, last) are the elementary intervals between the
// distinct x it spans, its rows [first, last) those between the distinct y.
struct Columns {
    std::int32_t first;
    std::int32_t last;
};

// A rectangle's low (at = 2i) or high (2i + 1) edge, i its place among those given.
struct EdgeSlot {
    std::int32_t value;
    std::uint32_t at;
};

// Sorts by a signed 32-bit key, stably, 11 bits at a time from the lowest,
// over the keys' range only: two passes over the items for keys within 2^22
// of each other, three at most; the counts of every pass taken in one.
template <typename Item, typename Key>
void SortBy(std::vector<Item>& items, Key key) {
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
    std::vector<Item> scratch(items.size());
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

bool CoversAny(const RegionRect& r) { return r.left < r.right && r.top < r.bottom; }

// The bits a value needs: 0 for 0, else one more than its highest set bit's place.
int BitWidth(std::size_t value) {
    int width = 0;
    if (sizeof(std::size_t) > 4 && (value >> 16 >> 16) != 0) {
        value = value >> 16 >> 16;
        width = 32;
    }
    const std::uint32_t low = static_cast<std::uint32_t>(value);
    return low == 0 ? width : width + 32 - __builtin_clz(low);
}

// Set bits, without the library call a compiler makes for a processor
// that may lack the instruction.
std::uint32_t CountBits(std::uint32_t v) {
    v = v - ((v >> 1) & 0x55555555u);
    v = (v & 0x33333333u) + ((v >> 2) & 0x33333333u);
    return (((v + (v >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24;
}

// The distinct values of one kind of edge (lefts and rights, or tops and
// bottoms) of the rectangles that cover anything, and each edge's rank among
// them, found the cheapest way by how far apart the values lie (see
// ChooseMode). By offset, a rank is the distance from the lowest value, every
// value between counting as used. By marks, the values used are marked in a
// bit each and a rank is the marks before it. By sort, the edges are sorted
// and their ranks kept for every rectangle. Under Wine every fresh page costs
// more than the work done on it, so the first two keep nothing a rectangle.
class EdgeRanks {
public:
    EdgeRanks(const RegionRects& rects, std::size_t count, const RegionRect& extent, bool vertical,
              std::size_t offsetsUpTo)
        : vertical_(vertical), low_(LowOf(extent)), range_(Offset(HighOf(extent))),
          mode_(ChooseMode(range_, count, offsetsUpTo)) {
        if (mode_ == SweepMode::kRankByOffset) values_ = static_cast<std::size_t>(range_) + 1;
        if (mode_ == SweepMode::kRankByMarks) RankByMarks(rects);
        if (mode_ == SweepMode::kRankBySort) RankBySort(rects, count);
    }

    // Offsets for values within `offsetsUpTo` of the lowest (a file's rows),
    // marks for values within 32 a rectangle, else a sort: each costs at most
    // a few steps a rectangle.
    static SweepMode ChooseMode(std::uint32_t range, std::size_t count, std::size_t offsetsUpTo) {
        if (range <= offsetsUpTo) return SweepMode::kRankByOffset;
        return range / 32 <= count ? SweepMode::kRankByMarks : SweepMode::kRankBySort;
    }
    SweepMode Mode() const { return mode_; }

    // The ranks of the edges of the i-th rectangle given, r.
    Columns Of(std::size_t i, const RegionRect& r) const {
        if (mode_ == SweepMode::kRankBySort) return ranks_[i];
        return {RankOf(LowOf(r)), RankOf(HighOf(r))};
    }
    // The rank of a value that is one of the edges'.
    std::int32_t RankOf(std::int32_t value) const {
        if (mode_ == SweepMode::kRankBySort)
            return static_cast<std::int32_t>(std::lower_bound(xs_.begin(), xs_.end(), value) - xs_.begin());
        const std::uint32_t c = Offset(value);
        if (mode_ == SweepMode::kRankByOffset) return static_cast<std::int32_t>(c);
        const std::uint32_t below = used_[c / 32] & ((std::uint32_t{1} << (c % 32)) - 1);
        return static_cast<std::int32_t>(before_[c / 32] + CountBits(below));
    }
    std::int32_t ValueAt(std::int32_t rank) const {
        return mode_ == SweepMode::kRankByOffset ? low_ + rank : xs_[static_cast<std::size_t>(rank)];
    }
    std::size_t Values() const { return values_; }

private:
    void RankByMarks(const RegionRects& rects) {
        used_.resize(range_ / 32 + 1);
        for (const RegionRect& r : rects)
            if (CoversAny(r)) {
                Mark(LowOf(r));
                Mark(HighOf(r));
            }
        before_.resize(used_.size());
        std::uint32_t marks = 0;
        for (std::size_t w = 0; w < used_.size(); ++w) {
            before_[w] = marks;
            marks += CountBits(used_[w]);
        }
        xs_.reserve(marks);
        for (std::size_t w = 0; w < used_.size(); ++w)
            for (std::uint32_t bits = used_[w]; bits != 0; bits &= bits - 1)
                xs_.push_back(low_ + static_cast<std::int32_t>(32 * w + static_cast<std::size_t>(__builtin_ctz(bits))));
        values_ = xs_.size();
    }
    // Every edge with where it goes, sorted by value: the rank of its value
    // among the distinct ones is the edge's.
    void RankBySort(const RegionRects& rects, std::size_t count) {
        std::vector<EdgeSlot> slots;
        slots.reserve(2 * count);
        for (std::size_t i = 0; i < rects.size(); ++i)
            if (CoversAny(rects[i])) {
                slots.push_back({LowOf(rects[i]), static_cast<std::uint32_t>(2 * i)});
                slots.push_back({HighOf(rects[i]), static_cast<std::uint32_t>(2 * i + 1)});
            }
        SortBy(slots, [](const EdgeSlot& slot) { return slot.value; });
        ranks_.resize(rects.size());
        for (const EdgeSlot& slot : slots) {
            if (xs_.empty() || slot.value != xs_.back()) xs_.push_back(slot.value);
            Columns& edge = ranks_[slot.at / 2];
            (slot.at % 2 ? edge.last : edge.first) = static_cast<std::int32_t>(xs_.size() - 1);
        }
        values_ = xs_.size();
    }
    std::int32_t LowOf(const RegionRect& r) const { return vertical_ ? r.top : r.left; }
    std::int32_t HighOf(const RegionRect& r) const { return vertical_ ? r.bottom : r.right; }
    std::uint32_t Offset(std::int32_t value) const {
        return static_cast<std::uint32_t>(value) - static_cast<std::uint32_t>(low_);
    }
    void Mark(std::int32_t value) { used_[Offset(value) / 32] |= std::uint32_t{1} << (Offset(value) % 32); }

    bool vertical_;
    std::int32_t low_;
    std::uint32_t range_;  // from the lowest value to the highest
    SweepMode mode_;
    std::size_t values_ = 0;
    std::vector<std::uint32_t> used_;    // by marks: a bit per value from the lowest
    std::vector<std::uint32_t> before_;  // and the marks in the words before
    std::vector<std::int32_t> xs_;       // the values by rank, unless by offset
    std::vector<Columns> ranks_;         // by sort: each rectangle's
};

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

// The elementary intervals of a row and how many rectangles cover each: a
// tree whose leaves are blocks of kBlock intervals, stored by levels (node i
// has halves 2i and 2i + 1) so that the nodes near the root, which every
// change passes, stay in the cache. Per node: the rectangles covering its
// whole range, how many of its intervals are covered, by those or below, and
// the latest last row of a rectangle counted at it; per interval, the same
// for the rectangles counted at it alone (those ending inside a block). The
// blocks keep the tree to about two fifths of the memory a node per interval
// took: under Wine every fresh page costs more than the work done on it.
constexpr std::size_t kBlock = 16;

class CoverTree {
public:
    CoverTree(std::size_t intervals, std::uint64_t& steps)
        : leafBase_(LeafBase((intervals + kBlock - 1) / kBlock)), nodes_(2 * leafBase_),
          intervals_(leafBase_ * kBlock), changed_(2 * leafBase_), steps_(steps) {}

    // Adds `delta` to the intervals [first, last): to those in a block only
    // partly in the range one by one, to the few nodes that cover the rest
    // exactly, then recounts the nodes above them, the ancestors of the
    // range's two end blocks, up to where nothing changes any more. A
    // rectangle added records its last row, `until`, where it is counted.
    void Add(const Columns& edge, std::int32_t delta, std::uint32_t until) {
        int highestChange = -1;
        bool partly = false;
        Decompose(
            edge, [&](std::size_t interval, std::size_t) { partly = ChangeInterval(interval, delta, until) || partly; },
            [&](std::size_t node, int level) {
                if (Apply(node, kBlock << level, delta, until)) highestChange = std::max(highestChange, level);
            });
        std::size_t a = leafBase_ + static_cast<std::size_t>(edge.first) / kBlock;
        std::size_t b = leafBase_ + static_cast<std::size_t>(edge.last - 1) / kBlock;
        if (partly) {
            if (Pull(a, kBlock)) highestChange = std::max(highestChange, 0);
            if (b != a && Pull(b, kBlock)) highestChange = std::max(highestChange, 0);
        }
        std::size_t size = kBlock;
        for (int level = 1; a > 1 && highestChange >= 0; ++level) {
            a /= 2;
            b /= 2;
            size *= 2;
            bool changed = Pull(a, size);
            if (b != a) changed = Pull(b, size) || changed;
            if (!changed && level > highestChange) break;
        }
    }

    // How `count` rectangles at one row change the tree. Few go one by one.
    // Many (a band's rectangles) share most of the nodes above them: in a
    // small tree (it stays in the cache) so many that they reach an eighth of
    // the blocks recount level by level from the blocks, every node between
    // the first and the last changed or above one changed, without marks;
    // otherwise the nodes changed are marked with their ancestors, then
    // recounted once, from the root down into marked nodes only, so no node
    // away from the rectangles is touched.
    SweepMode ChangeMode(std::size_t count) const {
        if (count < 32) return SweepMode::kChangeOneByOne;
        return count >= leafBase_ / 8 && leafBase_ <= 4096 ? SweepMode::kChangeByLevels : SweepMode::kChangeByMarks;
    }

    // Adds `delta` for `count` rectangles at one row, each handed by
    // `forEach(add)` to add(columns, until), the way ChangeMode gives.
    template <typename ForEach>
    void AddMany(SweepMode mode, std::int32_t delta, ForEach forEach) {
        if (mode == SweepMode::kChangeOneByOne) {
            forEach([&](const Columns& edge, std::uint32_t until) { Add(edge, delta, until); });
            return;
        }
        if (mode == SweepMode::kChangeByLevels) {
            std::size_t lowest[64], highest[64];  // changed at each level
            std::fill(lowest, lowest + 64, SIZE_MAX);
            std::fill(highest, highest + 64, 0);
            const auto changedAt = [&](std::size_t node, int level) {
                lowest[level] = std::min(lowest[level], node);
                highest[level] = std::max(highest[level], node);
            };
            forEach([&](const Columns& edge, std::uint32_t until) {
                Decompose(
                    edge,
                    [&](std::size_t interval, std::size_t block) {
                        ChangeInterval(interval, delta, until);
                        changedAt(block, 0);
                    },
                    [&](std::size_t node, int level) {
                        Count(node, delta, until);
                        changedAt(node, level);
                    });
            });
            std::size_t first = SIZE_MAX, last = 0;  // what to recount at a level
            std::size_t size = kBlock;
            for (int level = 0; (leafBase_ >> level) >= 1; ++level, size *= 2) {
                if (first != SIZE_MAX) first /= 2, last /= 2;
                first = std::min(first, lowest[level]);
                last = std::max(last, highest[level]);
                for (std::size_t node = first; first != SIZE_MAX && node <= last; ++node) Pull(node, size);
            }
            return;
        }
        forEach([&](const Columns& edge, std::uint32_t until) {
            Decompose(
                edge,
                [&](std::size_t interval, std::size_t block) {
                    ChangeInterval(interval, delta, until);
                    Mark(block);
                },
                [&](std::size_t node, int) {
                    Count(node, delta, until);
                    Mark(node);
                });
        });
        Recount(1, leafBase_ * kBlock);
    }

    std::int32_t Covered() const { return nodes_[1].covered; }

    // Whether every interval of [first, last) lies where a rectangle lasting
    // until `until` at least is counted: then a rectangle there changes no row
    // while it lasts, and need not be counted at all. A node or an interval
    // records the latest last row of the rectangles ever counted at it; one
    // past the row swept belongs to a rectangle still counted, and one not
    // past it is never past the rows asked about later. Looks from the
    // smallest node holding the range up to the root, then down the range's
    // two edges to the nodes and intervals it is made of: a rectangle inside a
    // longer one is mostly answered by the first node or two.
    bool Outlasted(const Columns& edge, std::uint32_t until) const {
        const std::size_t first = static_cast<std::size_t>(edge.first), last = static_cast<std::size_t>(edge.last);
        const std::size_t lo = leafBase_ + first / kBlock, hi = leafBase_ + (last - 1) / kBlock;  // end blocks
        const int top = BitWidth(lo ^ hi);
        // Within one block its own intervals are looked at first: a thin
        // rectangle inside a span is mostly answered there.
        if (top == 0 && IntervalsOutlast(first, last, until)) return true;
        // The smallest node holding the range and its ancestors, looked at
        // from both ends of that path at once: the longer rectangle's node may
        // be just above the range's or just below the root.
        const std::size_t holder = lo >> top;
        const int depth = BitWidth(holder) - 1;
        for (int up = 0, down = depth; up <= down; ++up, --down) {
            steps_ += 2;
            if (nodes_[holder >> up].until >= until || nodes_[holder >> down].until >= until) return true;
        }
        if (top == 0) return false;
        // Below the smallest node holding the range, each edge's nodes: one
        // partly in the range is answered by its own record or by its halves,
        // one wholly in it by its own record; an end block by its intervals.
        for (int level = top - 1; level >= 0; --level) {
            const std::size_t node = lo >> level;
            ++steps_;
            if (nodes_[node].until >= until) break;
            if (level == 0) {
                if (!IntervalsOutlast(first, (lo - leafBase_ + 1) * kBlock, until)) return false;
                break;
            }
            if ((lo & ((std::size_t{1} << level) - 1)) == 0 && first % kBlock == 0) return false;
            if (((lo >> (level - 1)) & 1) == 0 && nodes_[(lo >> (level - 1)) + 1].until < until) return false;
        }
        for (int level = top - 1; level >= 0; --level) {
            const std::size_t node = hi >> level;
            ++steps_;
            if (nodes_[node].until >= until) break;
            if (level == 0) {
                if (!IntervalsOutlast((hi - leafBase_) * kBlock, last, until)) return false;
                break;
            }
            const std::size_t below = (std::size_t{1} << level) - 1;
            if ((hi & below) == below && last % kBlock == 0) return false;
            if (((hi >> (level - 1)) & 1) == 1 && nodes_[(hi >> (level - 1)) - 1].until < until) return false;
        }
        return true;
    }

    // Hands each covered run to `emit(left, right)` as the ranks of its
    // edges, from the left; touching runs may come as two. Only nodes partly
    // covered are entered: the cost follows the runs found.
    template <typename Emit>
    void CollectRuns(Emit emit, std::size_t node = 1, std::size_t lo = 0, std::size_t hi = 0) const {
        if (node == 1) hi = leafBase_ * kBlock;
        ++steps_;
        const Node& n = nodes_[node];
        if (n.covered == 0) return;
        if (static_cast<std::size_t>(n.covered) == hi - lo) {
            emit(lo, hi);  // a node wholly covered lies within the intervals that exist
            return;
        }
        if (hi - lo == kBlock) {
            for (std::size_t i = lo; i < hi; ++i)
                if (intervals_[i].count > 0) emit(i, i + 1);
            return;
        }
        const std::size_t mid = lo + (hi - lo) / 2;
        CollectRuns(emit, 2 * node, lo, mid);
        CollectRuns(emit, 2 * node + 1, mid, hi);
    }

private:
    static std::size_t LeafBase(std::size_t blocks) {
        std::size_t base = 1;
        while (base < blocks) base *= 2;
        return base;
    }

    struct Node {
        std::int32_t count;
        std::int32_t covered;
        std::uint32_t until;  // the latest last row counted here, 0 for none
    };
    struct Interval {
        std::int32_t count;
        std::uint32_t until;
    };

    // Hands the intervals of [first, last) in a block only partly in it to
    // onInterval(interval, block node), and the nodes covering the rest
    // exactly to onNode(node, level), level 0 being the blocks'.
    template <typename OnInterval, typename OnNode>
    void Decompose(const Columns& edge, OnInterval onInterval, OnNode onNode) const {
        const std::size_t first = static_cast<std::size_t>(edge.first), last = static_cast<std::size_t>(edge.last);
        const std::size_t lo = first / kBlock, hi = (last - 1) / kBlock;
        std::size_t whole = lo, wholeEnd = hi + 1;  // the blocks wholly in the range
        if (first % kBlock != 0 || (lo == hi && last % kBlock != 0)) {
            for (std::size_t i = first; i < std::min(last, (lo + 1) * kBlock); ++i) onInterval(i, leafBase_ + lo);
            whole = lo + 1;
        }
        if (hi >= whole && last % kBlock != 0) {
            for (std::size_t i = hi * kBlock; i < last; ++i) onInterval(i, leafBase_ + hi);
            wholeEnd = hi;
        }
        std::size_t l = leafBase_ + whole, h = leafBase_ + wholeEnd;
        for (int level = 0; l < h; l /= 2, h /= 2, ++level) {
            if (l & 1) onNode(l++, level);
            if (h & 1) onNode(--h, level);
        }
    }

    bool IntervalsOutlast(std::size_t first, std::size_t last, std::uint32_t until) const {
        for (std::size_t i = first; i < last; ++i) {
            ++steps_;
            if (intervals_[i].until < until) return false;
        }
        return true;
    }

    // Returns whether the interval's being covered changed.
    bool ChangeInterval(std::size_t interval, std::int32_t delta, std::uint32_t until) {
        ++steps_;
        Interval& i = intervals_[interval];
        const bool was = i.count > 0;
        i.count += delta;
        i.until = std::max(i.until, until);
        return was != (i.count > 0);
    }
    void Count(std::size_t node, std::int32_t delta, std::uint32_t until) {
        ++steps_;
        nodes_[node].count += delta;
        nodes_[node].until = std::max(nodes_[node].until, until);
    }
    // Marks a node and its ancestors up to the first one marked already: a
    // marked node has all of its own marked.
    void Mark(std::size_t node) {
        for (; node >= 1 && !changed_[node]; node /= 2) {
            ++steps_;
            changed_[node] = 1;
        }
    }
    void Recount(std::size_t node, std::size_t size) {
        if (!changed_[node]) return;
        changed_[node] = 0;
        if (size > kBlock) {
            Recount(2 * node, size / 2);
            Recount(2 * node + 1, size / 2);
        }
        Pull(node, size);
    }

    // Each returns whether the node's covered intervals changed.
    bool Apply(std::size_t node, std::size_t size, std::int32_t delta, std::uint32_t until) {
        Count(node, delta, until);
        return Pull(node, size);
    }
    bool Pull(std::size_t node, std::size_t size) {
        ++steps_;
        Node& n = nodes_[node];
        std::int32_t covered = 0;
        if (n.count > 0) {
            covered = static_cast<std::int32_t>(size);
        } else if (size == kBlock) {
            const Interval* block = &intervals_[(node - leafBase_) * kBlock];
            for (std::size_t i = 0; i < kBlock; ++i) covered += block[i].count > 0;
        } else {
            covered = nodes_[2 * node].covered + nodes_[2 * node + 1].covered;
        }
        const bool changed = covered != n.covered;
        n.covered = covered;
        return changed;
    }

    std::size_t leafBase_;  // blocks, a power of two
    ZeroedArray<Node> nodes_;
    ZeroedArray<Interval> intervals_;
    ZeroedArray<std::uint8_t> changed_;  // to be recounted
    std::uint64_t& steps_;
};

// The rectangles counted in the tree that end at one row, linked through
// their places among those given (place + 1; 0 ends the list).
struct EndingAt {
    std::uint32_t first;
    std::uint32_t count;
};

// The rectangles that cover anything in the order of their tops, a row at a
// time, as places among those given. Rectangles mostly come in a few runs
// of rising or of falling tops (a file written from the top or from the
// bottom, one with rectangles appended): up to 8 such runs are merged as they
// are read, which takes no memory a rectangle; more are counted out by row.
// Either way a row's rectangles are taken in a step each, and finding the
// next row's top takes a step a run.
class StartOrder {
public:
    StartOrder(const RegionRects& rects, std::size_t count, const EdgeRanks& rows) : rects_(rects) {
        std::int32_t previous = 0;
        for (std::size_t i = 0; i < rects.size() && runs_.size() <= 8; ++i) {
            if (!CoversAny(rects[i])) continue;
            Run* run = runs_.empty() ? nullptr : &runs_.back();
            const std::int32_t top = rects[i].top;
            if (run && run->step == 0 && top != previous) run->step = top > previous ? 1 : -1;
            if (run && (run->step == 0 || (run->step > 0 ? top >= previous : top < previous))) {
                run->last = i;
            } else {
                runs_.push_back({i, i, 0});
            }
            previous = top;
        }
        for (Run& run : runs_)
            if (run.step < 0) std::swap(run.first, run.last);
        mode_ = runs_.size() <= 8 ? SweepMode::kStartsFromRuns : SweepMode::kStartsCountedByRow;
        if (mode_ == SweepMode::kStartsFromRuns) return;
        runs_.clear();
        // Counted by row, then placed: after placing, startAt[row] is where
        // the next row's begin.
        std::vector<std::uint32_t> startAt(rows.Values() + 1);
        for (std::size_t i = 0; i < rects.size(); ++i)
            if (CoversAny(rects[i])) ++startAt[static_cast<std::size_t>(rows.Of(i, rects[i]).first) + 1];
        for (std::size_t row = 1; row < startAt.size(); ++row) startAt[row] += startAt[row - 1];
        sorted_.resize(count);
        for (std::size_t i = 0; i < rects.size(); ++i)
            if (CoversAny(rects[i]))
                sorted_[startAt[static_cast<std::size_t>(rows.Of(i, rects[i]).first)]++] =
                    static_cast<std::uint32_t>(i);
    }

    SweepMode Mode() const { return mode_; }

    // The top of the rectangles to come next; false when none is left.
    bool NextTop(std::int32_t& top) const {
        bool any = false;
        if (mode_ == SweepMode::kStartsCountedByRow) {
            if (at_ == sorted_.size()) return false;
            top = rects_[sorted_[at_]].top;
            return true;
        }
        for (const Run& run : runs_)
            if (run.step != 2 && (!any || rects_[run.first].top < top)) {
                top = rects_[run.first].top;
                any = true;
            }
        return any;
    }

    // Takes those starting at `top`: [first, last) of their places.
    void TakeAt(std::int32_t top, const std::uint32_t*& first, const std::uint32_t*& last) {
        if (mode_ == SweepMode::kStartsCountedByRow) {
            first = sorted_.data() + at_;
            while (at_ < sorted_.size() && rects_[sorted_[at_]].top == top) ++at_;
            last = sorted_.data() + at_;
            return;
        }
        taken_.clear();
        for (Run& run : runs_) {
            while (run.step != 2 && rects_[run.first].top == top) {
                taken_.push_back(static_cast<std::uint32_t>(run.first));
                if (run.first == run.last) {
                    run.step = 2;  // all taken
                    break;
                }
                do run.first += static_cast<std::size_t>(run.step < 0 ? -1 : 1);
                while (!CoversAny(rects_[run.first]));
            }
        }
        first = taken_.data();
        last = taken_.data() + taken_.size();
    }

private:
    // Places first to last (inclusive), every one between that covers
    // anything; step +1 or -1 from first, 0 while all tops seen are equal,
    // 2 once all are taken.
    struct Run {
        std::size_t first;
        std::size_t last;
        int step;
    };
    const RegionRects& rects_;
    SweepMode mode_ = SweepMode::kStartsFromRuns;
    std::vector<Run> runs_;
    std::vector<std::uint32_t> sorted_;  // counted by row
    std::size_t at_ = 0;
    std::vector<std::uint32_t> taken_;
};

// Rows marked in a bit each, in levels: a word's bit one level up is set
// once the word has any set. The first row marked at or after a row is found
// in at most two words a level, up to the first word with a bit past it, then
// down its lowest bits: O(log32 rows) steps, however far it lies.
class RowMarks {
public:
    RowMarks(std::size_t rows, std::uint64_t& steps) : words_(WordsFor(rows, levelAt_)), steps_(steps) {}

    void Mark(std::size_t row) {
        for (int level = 0; level < levels_; ++level, row /= 32) {
            ++steps_;
            std::uint32_t& word = words_[levelAt_[level] + row / 32];
            const std::uint32_t bit = std::uint32_t{1} << (row % 32);
            if (word & bit) return;  // and so is every level above
            word |= bit;
        }
    }

    // The first row marked at or after `from`; SIZE_MAX for none.
    std::size_t FirstFrom(std::size_t from) const {
        int level = 0;
        std::size_t at = from;
        for (;;) {
            ++steps_;
            if (at / 32 < levelAt_[level + 1] - levelAt_[level]) {
                const std::uint32_t bits = words_[levelAt_[level] + at / 32] & (~std::uint32_t{0} << (at % 32));
                if (bits != 0) {
                    at = at / 32 * 32 + static_cast<std::size_t>(__builtin_ctz(bits));
                    break;
                }
            }
            if (++level == levels_) return SIZE_MAX;
            at = at / 32 + 1;
        }
        for (; level > 0; --level) {
            ++steps_;
            at = 32 * at + static_cast<std::size_t>(__builtin_ctz(words_[levelAt_[level - 1] + at]));
        }
        return at;
    }

private:
    // Fills where each level begins (the last entry where they end) and gives
    // the words of them all: a level has a word per 32 bits of the one below,
    // up to one word.
    std::size_t WordsFor(std::size_t rows, std::size_t* levelAt) {
        std::size_t bits = rows, total = 0;
        levels_ = 0;
        do {
            levelAt[levels_++] = total;
            bits = bits / 32 + 1;
            total += bits;
        } while (bits > 1);
        levelAt[levels_] = total;
        return total;
    }

    std::size_t levelAt_[16] = {};
    int levels_ = 0;
    ZeroedArray<std::uint32_t> words_;
    std::uint64_t& steps_;
};

}  // namespace

// A sweep from the top: the covered x ranges change only where rectangles
// start or end. At each such row every rectangle starting there is added
// before those ending there are taken away, so an interval can only become
// covered while adding and only become uncovered while taking away: the
// row changed exactly when the covered count rose, then fell. Only then is
// the band held since the last change given its bottom and the new row's
// runs collected; so consecutive bands always differ (nothing to join
// afterwards) and each collection is paid for by the band it becomes.
// Every rectangle costs O(log n) and every rectangle written O(log n):
// O((n + k) log n) for n given and k made, whatever their arrangement.
// x and y are both ranks among the distinct values, so the tree has a leaf
// per elementary interval and the rows can be counted out; a rectangle
// starting inside a longer one (see Outlasted) is never counted, and only
// those counted are listed at their last row, to be taken away there.
RegionRects SweepUnion(const RegionRects& rects, std::size_t limit, UnionStats& stats) {
    std::uint64_t& steps = stats.steps;
    const auto took = [&stats](SweepMode mode) { stats.modes |= std::uint32_t{1} << static_cast<int>(mode); };
    RegionRect extent{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN};
    std::size_t count = 0;
    for (const RegionRect& r : rects)
        if (CoversAny(r)) {
            extent = {std::min(extent.left, r.left), std::min(extent.top, r.top), std::max(extent.right, r.right),
                      std::max(extent.bottom, r.bottom)};
            ++count;
        }
    if (count == 0) return {};
    const EdgeRanks columns(rects, count, extent, false, 2 * count);
    const EdgeRanks rows(rects, count, extent, true, 2 * count);
    StartOrder starts(rects, count, rows);
    took(columns.Mode());
    took(rows.Mode());
    took(starts.Mode());
    ZeroedArray<EndingAt> endingAt(rows.Values());
    ZeroedArray<std::uint32_t> nextEnding(rects.size());
    // The rows where a rectangle counted ends, and the first of them not yet
    // swept: the sweep goes from row to row where anything starts or ends,
    // whatever lies between.
    RowMarks endRows(rows.Values(), steps);
    std::size_t nextEnd = SIZE_MAX;
    const auto list = [&](std::uint32_t i, std::uint32_t lastRow) {
        nextEnding[i] = endingAt[lastRow].first;
        endingAt[lastRow].first = i + 1;
        ++endingAt[lastRow].count;
        endRows.Mark(lastRow);
        nextEnd = std::min<std::size_t>(nextEnd, lastRow);
    };
    CoverTree tree(columns.Values() - 1, steps);
    RegionRects out;
    out.reserve(std::min(limit, count));  // pages are taken as they are written
    std::size_t band = 0;                 // where the band being made begins in out
    const auto closeBand = [&](std::int32_t y) {
        for (std::size_t i = band; i < out.size(); ++i) out[i].bottom = y;
        band = out.size();
    };
    for (;;) {
        ++steps;
        std::int32_t top = 0;
        const bool starting = starts.NextTop(top);
        const std::size_t startRow = starting ? static_cast<std::size_t>(rows.RankOf(top)) : SIZE_MAX;
        const std::size_t row = std::min(startRow, nextEnd);
        if (row == SIZE_MAX) break;
        const std::uint32_t *first = nullptr, *last = nullptr;
        if (row == startRow) starts.TakeAt(top, first, last);
        EndingAt ending{0, 0};
        if (row == nextEnd) {
            ending = endingAt[row];
            nextEnd = endRows.FirstFrom(row + 1);
        }
        const std::int32_t before = tree.Covered();
        // A row's last rows are ranks from 1 up: 0 stays "none" in the tree.
        const SweepMode adding = tree.ChangeMode(static_cast<std::size_t>(last - first));
        if (first != last) took(adding);
        if (adding == SweepMode::kChangeOneByOne) {
            // One at a time, a rectangle inside a longer one is left out.
            for (; first != last; ++first) {
                const RegionRect& r = rects[*first];
                const Columns edge = columns.Of(*first, r);
                const std::uint32_t lastRow = static_cast<std::uint32_t>(rows.Of(*first, r).last);
                if (tree.Outlasted(edge, lastRow)) continue;
                tree.Add(edge, 1, lastRow);
                list(*first, lastRow);
            }
        } else {
            tree.AddMany(adding, 1, [&](auto add) {
                for (; first != last; ++first) {
                    const RegionRect& r = rects[*first];
                    const std::uint32_t lastRow = static_cast<std::uint32_t>(rows.Of(*first, r).last);
                    add(columns.Of(*first, r), lastRow);
                    list(*first, lastRow);
                }
            });
        }
        const std::int32_t added = tree.Covered();
        if (startRow == SIZE_MAX && nextEnd == SIZE_MAX) {
            // Every rectangle still counted ends here: nothing is left to
            // cover, and the tree is not needed any more.
            closeBand(rows.ValueAt(static_cast<std::int32_t>(row)));
            break;
        }
        if (ending.count > 0) {
            const SweepMode removing = tree.ChangeMode(ending.count);
            took(removing);
            tree.AddMany(removing, -1, [&](auto add) {
                for (std::uint32_t i = ending.first; i != 0; i = nextEnding[i - 1])
                    add(columns.Of(i - 1, rects[i - 1]), 0);
            });
        }
        if (added == before && tree.Covered() == added) continue;
        const std::int32_t y = rows.ValueAt(static_cast<std::int32_t>(row));
        closeBand(y);
        tree.CollectRuns([&](std::size_t first, std::size_t last) {
            const std::int32_t left = columns.ValueAt(static_cast<std::int32_t>(first));
            const std::int32_t right = columns.ValueAt(static_cast<std::int32_t>(last));
            if (out.size() > band && out.back().right == left) {
                out.back().right = right;
                return;
            }
            if (out.size() == limit) throw RegionTooLarge();
            ++steps;
            out.push_back({left, y, right, y});
        });
    }
    return out;
}
