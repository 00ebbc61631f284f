#include "core/flood_fill.h"

#include <algorithm>
#include <memory>

namespace {

// The runs of mask pixels, numbered in scan order, each pointing to a run it is
// joined to and the first run of its group pointing to itself. Held in chunks:
// growing never copies, and four bytes a run is all a picture costs.
class RunGroups {
public:
    static constexpr std::uint32_t kFlooded = 0x80000000u;

    std::uint32_t Count() const { return count_; }
    std::uint32_t Add() {
        if (count_ == kFlooded - 1) throw RegionTooLarge();
        if (count_ % kChunk == 0) chunks_.emplace_back(new std::uint32_t[kChunk]);  // each entry written when its run is added
        At(count_) = count_;
        return count_++;
    }
    // Joins two groups under the lower first run, so a run never points to a later one.
    void Join(std::uint32_t a, std::uint32_t b) {
        a = First(a);
        b = First(b);
        if (a < b) At(b) = a;
        else At(a) = b;
    }
    // Every run to its group's first run directly, in one pass in scan order.
    void Flatten() {
        for (std::uint32_t run = 0; run < count_; ++run) At(run) = At(At(run));
    }
    // After Flatten.
    void MarkFlooded(std::uint32_t run) { At(At(run) & ~kFlooded) |= kFlooded; }
    bool IsFlooded(std::uint32_t run) { return (At(At(run) & ~kFlooded) & kFlooded) != 0; }

private:
    static constexpr std::uint32_t kChunk = 1u << 16;
    std::uint32_t& At(std::uint32_t run) { return chunks_[run / kChunk][run % kChunk]; }
    // With halving: each run passed on the way points two steps on.
    std::uint32_t First(std::uint32_t run) {
        while (At(run) != run) {
            At(run) = At(At(run));
            run = At(run);
        }
        return run;
    }

    std::vector<std::unique_ptr<std::uint32_t[]>> chunks_;
    std::uint32_t count_ = 0;
};

// The runs of mask pixels of one row: the gaps between its spans of other
// pixels, as left, right pairs.
std::size_t FindMaskRuns(const std::int32_t* spans, std::size_t spanCount, std::int32_t width, std::int32_t* runs) {
    std::size_t count = 0;
    std::int32_t start = 0;
    for (std::size_t i = 0; i < spanCount; i += 2) {
        if (spans[i] > start) runs[count++] = start, runs[count++] = spans[i];
        start = spans[i + 1];
    }
    if (start < width) runs[count++] = start, runs[count++] = width;
    return count;
}

}  // namespace

// A flood that follows the mask pixels from pixel to pixel goes where the
// picture leads it, down columns as readily as along rows, and on a long
// winding path nearly every step misses the cache. Here the rows are read in
// order instead, twice: the first pass joins each run of mask pixels with the
// runs it touches in the row above, the second leaves out the runs whose group
// holds a start. A row whose runs are the row above's continues its groups,
// and the second pass takes its spans from the row above without reading it,
// so tall shapes cost little more than one scan. Memory is four bytes a run
// of the other rows, a bit a row and a few rows.
RegionRects BuildFloodRegionRects(const std::uint32_t* pixels, std::int32_t width, std::int32_t height,
                                  std::size_t stride, std::uint32_t maskColor, std::uint32_t tolerance,
                                  const FloodStarts& starts) {
    RegionRectBuilder builder(width, maskColor, tolerance);
    if (width <= 0 || height <= 0) {
        builder.AddFullRow();
        return builder.Finish();
    }
    const std::size_t room = static_cast<std::size_t>(width) + 2;
    std::vector<std::int32_t> spans(room), aboveSpans(room), runs(room), above(room), edges(room);
    std::vector<bool> sameAsAbove(static_cast<std::size_t>(height));
    const auto findSpans = [&](std::int32_t y, std::vector<std::int32_t>& into) {
        return builder.FindSpans(pixels + static_cast<std::size_t>(y) * stride, into.data());
    };
    std::vector<FloodPoint> points;
    for (const FloodPoint& point : starts.points)
        if (point.x >= 0 && point.y >= 0 && point.x < width && point.y < height) points.push_back(point);
    std::sort(points.begin(), points.end(), [](FloodPoint a, FloodPoint b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
    auto point = points.begin();
    RunGroups groups;
    std::vector<std::uint32_t> started;  // a run of each start
    std::size_t aboveSpanCount = 0, aboveCount = 0;
    std::uint32_t aboveFirst = 0;
    for (std::int32_t y = 0; y < height; ++y) {
        const std::size_t spanCount = findSpans(y, spans);
        if (y > 0 && spanCount == aboveSpanCount && std::equal(spans.begin(), spans.begin() + spanCount, aboveSpans.begin())) {
            sameAsAbove[y] = true;
        } else {
            const std::size_t count = FindMaskRuns(spans.data(), spanCount, width, runs.data());
            const std::uint32_t first = groups.Count();
            for (std::size_t j = 0; j < count; j += 2) groups.Add();
            // Runs joined by an edge overlap; each pair is met once, moving past the run that ends first.
            for (std::size_t i = 0, j = 0; i < aboveCount && j < count;) {
                if (above[i] < runs[j + 1] && runs[j] < above[i + 1])
                    groups.Join(aboveFirst + static_cast<std::uint32_t>(i / 2), first + static_cast<std::uint32_t>(j / 2));
                if (above[i + 1] <= runs[j + 1]) i += 2;
                else j += 2;
            }
            std::swap(above, runs);
            std::swap(aboveSpans, spans);
            aboveCount = count;
            aboveSpanCount = spanCount;
            aboveFirst = first;
        }
        // Now `above` holds this row's runs.
        for (std::size_t j = 0; j < aboveCount; j += 2) {
            const std::uint32_t run = aboveFirst + static_cast<std::uint32_t>(j / 2);
            if (starts.border && (y == 0 || y == height - 1 || above[j] == 0 || above[j + 1] == width))
                started.push_back(run);
            for (; point != points.end() && point->y == y && point->x < above[j + 1]; ++point)
                if (point->x >= above[j]) started.push_back(run);
        }
        for (; point != points.end() && point->y == y; ++point) {}
    }
    groups.Flatten();
    for (std::uint32_t run : started) groups.MarkFlooded(run);
    std::size_t edgeCount = 0;
    std::uint32_t first = 0;
    for (std::int32_t y = 0; y < height; ++y) {
        if (!sameAsAbove[y]) {
            const std::size_t count =
                started.empty() ? 0 : FindMaskRuns(spans.data(), findSpans(y, spans), width, runs.data());
            edgeCount = 0;
            std::int32_t start = 0;
            for (std::size_t j = 0; j < count; j += 2) {
                if (!groups.IsFlooded(first + static_cast<std::uint32_t>(j / 2))) continue;
                if (runs[j] > start) edges[edgeCount++] = start, edges[edgeCount++] = runs[j];
                start = runs[j + 1];
            }
            if (start < width) edges[edgeCount++] = start, edges[edgeCount++] = width;
            first += static_cast<std::uint32_t>(count / 2);
        }
        builder.AddSpans(edges.data(), edgeCount);
    }
    builder.AddFullRow();
    return builder.Finish();
}
