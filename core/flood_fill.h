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

// The rectangles of every pixel of a picture (as BuildRegionRects takes it)
// that no flood from `starts` through pixels of the mask color (with the
// tolerance) reaches, the strip (0, H, W, H + 1) below it included. Where every
// mask pixel is reached the result is BuildRegionRects' own. Throws
// RegionTooLarge past kMaxRegionRects and std::bad_alloc without memory.
RegionRects BuildFloodRegionRects(const std::uint32_t* pixels, std::int32_t width, std::int32_t height,
                                  std::size_t stride, std::uint32_t maskColor, std::uint32_t tolerance,
                                  const FloodStarts& starts);

#endif
