// A mask that follows the shape: only the mask color's pixels joined by their
// edges (4-connected) to a starting pixel, so the same color inside a shape
// stays in the region.
#ifndef PELLFORM_FLOOD_FILL_H
#define PELLFORM_FLOOD_FILL_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/region_rects.h"

struct FloodPoint {
    std::int32_t x;
    std::int32_t y;
};

// Where floods start: each point, and with `border` every pixel on the
// picture's edge. A start outside the picture or not of the mask color floods nothing.
struct FloodStarts {
    std::vector<FloodPoint> points;
    bool border = false;
};

// The rectangles of every pixel of a picture that no flood from `starts`
// through pixels of the mask color (with the tolerance) reaches, the strip
// (0, H, W, H + 1) below it included; rows come top first, as RegionRectBuilder
// takes them. Where every mask pixel is reached the result is the exact mask's.
// Throws RegionTooLarge where the exact mask's region would pass
// kMaxRegionRects (or this one does), std::bad_alloc without memory.
class FloodRegionBuilder {
public:
    FloodRegionBuilder(std::int32_t width, std::int32_t height, std::uint32_t maskColor, std::uint32_t tolerance,
                       const FloodStarts& starts);
    void AddPixelRow(const std::uint32_t* pixels);
    RegionRects Finish();

private:
    std::uint32_t FirstOfGroup(std::uint32_t run);

    std::int32_t width_;
    std::int32_t height_;
    RegionRectBuilder rects_;  // finds each row's spans of other pixels and makes the rectangles
    bool border_;
    std::vector<FloodPoint> points_;  // those inside the picture, by row, then column
    std::size_t nextPoint_ = 0;
    std::vector<std::int32_t> spans_;
    std::vector<std::int32_t> lastSpans_;  // of the last row that did not repeat the one above
    std::size_t lastSpanCount_ = 0;
    std::size_t lastBegin_ = 0;            // where that row's runs begin in `runs_`
    // Left, right pairs of the runs of mask pixels of every row that did not
    // repeat the one above, and for each run a run of its group before it, or itself.
    std::vector<std::int32_t> runs_;
    std::vector<std::uint32_t> groups_;
    std::vector<bool> repeated_;              // per row
    std::vector<std::size_t> changedEnds_;    // where the runs of each other row end
    std::vector<std::uint32_t> started_;   // runs a flood starts in
};

// The same for a picture in memory (rows `stride` pixels apart, top row first).
RegionRects BuildFloodRegionRects(const std::uint32_t* pixels, std::int32_t width, std::int32_t height,
                                  std::size_t stride, std::uint32_t maskColor, std::uint32_t tolerance,
                                  const FloodStarts& starts);

#endif
