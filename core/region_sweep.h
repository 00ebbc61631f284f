// The sweep that gives rectangles not yet banded their banded form (see
// UnionOfRects), and the ways it has of doing each of its parts.
#ifndef PELLFORM_REGION_SWEEP_H
#define PELLFORM_REGION_SWEEP_H

#include <cstdint>

#include "core/region_rects.h"

// Each chosen in one place from the shape of the rectangles given, so that
// every way keeps the sweep within its bound; a union reports those it took
// as bits (1 << mode) of UnionStats::modes.
enum class SweepMode {
    // How the distinct x (or y) of the edges are ranked: by distance from the
    // lowest, by bits marking those used, or by sorting the edges.
    kRankByOffset,
    kRankByMarks,
    kRankBySort,
    // How the rectangles are taken in the order of their tops: merged from a
    // few runs of rising or falling tops as read, or counted out by row.
    kStartsFromRuns,
    kStartsCountedByRow,
    // How the rectangles starting or ending at one row change the tree: one by
    // one, by recounting level by level, or by recounting the nodes marked.
    kChangeOneByOne,
    kChangeByLevels,
    kChangeByMarks,
    kCount
};

// The steps and modes are added to `stats`, also on a throw.
RegionRects SweepUnion(const RegionRects& rects, std::size_t limit, UnionStats& stats);

#endif
