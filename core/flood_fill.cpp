#include "core/flood_fill.h"

#include <algorithm>

// A flood that follows the mask pixels from pixel to pixel goes where the
// picture leads it, down columns as readily as along rows, and on a long
// winding path nearly every step misses the cache. Here the rows are taken in
// order, once: each run of mask pixels joins the groups of the runs it touches
// in the row above (4-connected: their columns overlap), and Finish leaves out
// the runs whose group holds a start. A row whose spans repeat the row above
// continues its runs and is not kept again, so tall shapes cost one scan and
// memory follows the exact mask's rectangles, not the pixels.

namespace {

constexpr std::uint32_t kFlooded = 0x80000000u;

}  // namespace

FloodRegionBuilder::FloodRegionBuilder(std::int32_t width, std::int32_t height, std::uint32_t maskColor,
                                       std::uint32_t tolerance, const FloodStarts& starts)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      rects_(width, maskColor, tolerance),
      border_(starts.border),
      spans_(static_cast<std::size_t>(width_) + 1),
      lastSpans_(spans_.size()) {
    for (const FloodPoint& point : starts.points)
        if (point.x >= 0 && point.y >= 0 && point.x < width_ && point.y < height_) points_.push_back(point);
    std::sort(points_.begin(), points_.end(),
              [](FloodPoint a, FloodPoint b) { return a.y != b.y ? a.y < b.y : a.x < b.x; });
}

std::uint32_t FloodRegionBuilder::FirstOfGroup(std::uint32_t run) {
    while (groups_[run] != run) {
        groups_[run] = groups_[groups_[run]];  // halving: each run passed points two steps on
        run = groups_[run];
    }
    return run;
}

void FloodRegionBuilder::AddPixelRow(const std::uint32_t* pixels) {
    const std::int32_t y = static_cast<std::int32_t>(repeated_.size());
    const std::size_t spanCount = rects_.FindSpans(pixels, spans_.data());
    const bool repeats = y > 0 && spanCount == lastSpanCount_ &&
                         std::equal(spans_.begin(), spans_.begin() + spanCount, lastSpans_.begin());
    repeated_.push_back(repeats);
    if (!repeats) {
        // Such a row starts a band of the exact mask's region: past its limit, so is this.
        const std::size_t limit = std::min<std::size_t>(kMaxRegionRects + static_cast<std::size_t>(height_), kFlooded / 2);
        if (runs_.size() / 2 + spanCount / 2 + 1 > limit) throw RegionTooLarge();
        const std::size_t begin = runs_.size();
        std::int32_t start = 0;  // the runs are the gaps between the spans
        for (std::size_t i = 0; i <= spanCount; i += 2) {
            const std::int32_t end = i < spanCount ? spans_[i] : width_;
            if (end > start) runs_.push_back(start), runs_.push_back(end);
            if (i < spanCount) start = spans_[i + 1];
        }
        for (std::size_t j = begin; j < runs_.size(); j += 2) groups_.push_back(static_cast<std::uint32_t>(j / 2));
        // Each overlapping pair is met once, moving past the run that ends first; the later group joins the earlier.
        for (std::size_t i = lastBegin_, j = begin; i < begin && j < runs_.size();) {
            if (runs_[i] < runs_[j + 1] && runs_[j] < runs_[i + 1]) {
                const std::uint32_t a = FirstOfGroup(static_cast<std::uint32_t>(i / 2));
                const std::uint32_t b = FirstOfGroup(static_cast<std::uint32_t>(j / 2));
                groups_[std::max(a, b)] = std::min(a, b);
            }
            if (runs_[i + 1] <= runs_[j + 1]) i += 2;
            else j += 2;
        }
        lastBegin_ = begin;
        changedEnds_.push_back(runs_.size());
        std::swap(spans_, lastSpans_);
        lastSpanCount_ = spanCount;
    }
    // The row's runs, which a repeated row shares with the row above: those a start lies in begin a flood.
    const std::size_t first = lastBegin_ / 2, end = runs_.size() / 2;
    const auto start = [&](std::size_t run) { started_.push_back(static_cast<std::uint32_t>(run)); };
    if (border_ && first < end) {
        if (y == 0 || y == height_ - 1)
            for (std::size_t run = first; run < end; ++run) start(run);
        if (runs_[2 * first] == 0) start(first);
        if (runs_[2 * end - 1] == width_) start(end - 1);
    }
    for (; nextPoint_ < points_.size() && points_[nextPoint_].y == y; ++nextPoint_) {
        std::size_t low = first, high = end;  // the first run ending past the point
        while (low < high) {
            const std::size_t middle = (low + high) / 2;
            if (runs_[2 * middle + 1] <= points_[nextPoint_].x) low = middle + 1;
            else high = middle;
        }
        if (low < end && runs_[2 * low] <= points_[nextPoint_].x) start(low);
    }
}

RegionRects FloodRegionBuilder::Finish() {
    // A run's group comes before it, so one pass in order points every run to its group's first.
    for (std::uint32_t& group : groups_) group = groups_[group];
    for (std::uint32_t run : started_) groups_[groups_[run] & ~kFlooded] |= kFlooded;
    std::vector<std::int32_t>& edges = spans_;
    std::size_t edgeCount = 0, run = 0, changed = 0;
    for (bool repeats : repeated_) {
        if (!repeats) {  // a repeated row has the spans of the row above
            edgeCount = 0;
            std::int32_t start = 0;
            for (const std::size_t end = changedEnds_[changed++]; run < end; run += 2) {
                if (!(groups_[groups_[run / 2] & ~kFlooded] & kFlooded)) continue;
                if (runs_[run] > start) edges[edgeCount++] = start, edges[edgeCount++] = runs_[run];
                start = runs_[run + 1];
            }
            if (start < width_) edges[edgeCount++] = start, edges[edgeCount++] = width_;
        }
        rects_.AddSpans(edges.data(), edgeCount);
    }
    rects_.AddFullRow();
    return rects_.Finish();
}

RegionRects BuildFloodRegionRects(const std::uint32_t* pixels, std::int32_t width, std::int32_t height,
                                  std::size_t stride, std::uint32_t maskColor, std::uint32_t tolerance,
                                  const FloodStarts& starts) {
    FloodRegionBuilder builder(width, height, maskColor, tolerance, starts);
    for (std::int32_t y = 0; y < height; ++y) builder.AddPixelRow(pixels + static_cast<std::size_t>(y) * stride);
    return builder.Finish();
}
