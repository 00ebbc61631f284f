// Region data as source text a program can build in: an include file for
// MASM-syntax assemblers and a C header. Both hold the block byte for byte.
#ifndef PELLFORM_REGION_EXPORT_H
#define PELLFORM_REGION_EXPORT_H

#include <cstdint>
#include <string>
#include <vector>

#include "core/region_data.h"

// "1 rectangle", "2 rectangles": the count as the summary lines give it.
std::string CountOfRectangles(std::size_t count);
// "(left, top, right, bottom)".
std::string BoundsText(const RegionRect& bounds);
// "N rectangles, bounding box (left, top, right, bottom)": the summary line of
// the tool and of the exports' comments.
std::string SummaryText(std::size_t count, const RegionRect& bounds);
// The last part of a path (after its last "/", "\" or ":"), and that part
// without its extension (a name whose only dot comes first keeps it).
std::string FileNameOf(const std::string& path);
std::string FileStemOf(const std::string& path);

// A name usable as a label in both assemblers and in C, made from a file name:
// "skins/about-outline.rgn" gives "about_outline_rgn".
std::string MakeExportName(const std::string& fileName);

// `header` and `rects` are a decoded region data block (nCount the number of
// rectangles), written out field by field as stored. `source` names where it came from, in comments
// (a control character in it shows there as '?').
// The data lines use only what MASM and NASM both accept (`name dd ...`, `equ`,
// `;` comments), so either assembles them into exactly the block's bytes.
std::string FormatRegionAsMasm(const RegionHeader& header, const RegionRects& rects, const std::string& name,
                               const std::string& source);
// A header with the block as an array of 32-bit words (so it is as aligned as
// the platform's RGNDATA) and its size in bytes.
std::string FormatRegionAsC(const RegionHeader& header, const RegionRects& rects, const std::string& name,
                            const std::string& source);

#endif
