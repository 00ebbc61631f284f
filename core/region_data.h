// The region data block (RGNDATA) that *.rgn files hold: a 32-byte header
// (dwSize 32, iType 1, nCount, nRgnSize, rcBound) and nCount rectangles,
// all little-endian 32-bit numbers.
#ifndef PELLFORM_REGION_DATA_H
#define PELLFORM_REGION_DATA_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/region_rects.h"

constexpr std::uint32_t kRegionHeaderSize = 32;
constexpr std::uint32_t kRegionRectSize = 16;

// The block for banded rectangles, nRgnSize set to 16 x nCount.
std::vector<std::uint8_t> EncodeRegionData(const RegionRects& rects);

// Checks a 32-byte header is (32, 1) and gives the nCount it claims.
bool DecodeRegionHeader(const std::uint8_t* header, std::uint32_t& count);

// Reads the rectangles of a block of `size` bytes, checking before anything is
// read that the header is (32, 1) and that nCount rectangles lie within the
// block. Bytes after them are allowed and ignored, as the platform does.
// False for anything else; `rects` is then empty.
bool DecodeRegionData(const std::uint8_t* data, std::size_t size, RegionRects& rects);

#endif
