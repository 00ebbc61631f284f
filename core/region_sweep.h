// The sweep that gives rectangles not yet banded their banded form (see
// UnionOfRects), counting its steps into `steps`.
#ifndef PELLFORM_REGION_SWEEP_H
#define PELLFORM_REGION_SWEEP_H

#include <cstdint>

#include "core/region_rects.h"

RegionRects SweepUnion(const RegionRects& rects, std::size_t limit, std::uint64_t& steps);

#endif
