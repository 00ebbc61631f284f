// The region data block (RGNDATA) that *.rgn files hold: a 32-byte header
// (dwSize 32, iType 1, nCount, nRgnSize, rcBound) and nCount rectangles,
// all little-endian 32-bit numbers.
#ifndef PELLFORM_REGION_DATA_H
#define PELLFORM_REGION_DATA_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "core/region_rects.h"

constexpr std::uint32_t kRegionHeaderSize = 32;
constexpr std::uint32_t kRegionRectSize = 16;

// The header field by field, named as the platform's RGNDATAHEADER names them.
// A block read keeps what it holds, so it is written back byte for byte.
struct RegionHeader {
    std::uint32_t dwSize = kRegionHeaderSize;
    std::uint32_t iType = 1;
    std::uint32_t nCount = 0;
    std::uint32_t nRgnSize = 0;
    RegionRect rcBound{0, 0, 0, 0};
};

// The header written for banded rectangles: nRgnSize 16 x nCount, rcBound
// their bounding box, as the platform reports a region of them.
RegionHeader MakeRegionHeader(const RegionRect* rects, std::size_t count);
RegionHeader MakeRegionHeader(const RegionRects& rects);

// The block: `header` as given (its nCount the number of rectangles), then the
// rectangles; `out` has room for 32 + 16 x count bytes.
void EncodeRegionData(const RegionHeader& header, const RegionRect* rects, std::size_t count, std::uint8_t* out);
std::vector<std::uint8_t> EncodeRegionData(const RegionHeader& header, const RegionRects& rects);
// The block for banded rectangles, with the header MakeRegionHeader gives.
std::vector<std::uint8_t> EncodeRegionData(const RegionRects& rects);

// Reads a 32-byte header; false unless it is (32, 1).
bool DecodeRegionHeader(const std::uint8_t* data, RegionHeader& header);

// Reads the rectangles of a block of `size` bytes (and, when asked, its
// header), checking before anything is read that the header is (32, 1) and
// that nCount rectangles lie within the block. Bytes after them are allowed and
// ignored, as the platform does. False for anything else; `rects` is then empty.
// Throws std::bad_alloc when memory runs out.
bool DecodeRegionData(const std::uint8_t* data, std::size_t size, RegionRects& rects, RegionHeader* header = nullptr);

// A region file of `fileSize` bytes, read in order through `read` (which fills
// exactly the count asked, or fails): the header first, then only the
// rectangles it claims, so a file of any size costs no more memory than those,
// and those no more than kMaxRegionRects. Bytes after them are not part of the
// region. False when a size is out of range, a read fails or the data is not
// region data. Throws std::bad_alloc.
bool ReadRegionBlock(std::uint64_t fileSize, const std::function<bool(std::uint8_t*, std::size_t)>& read,
                     RegionHeader& header, RegionRects& rects);
// What the platform's region constructor would make of the rectangles `read`
// gives (as ReadRegionBlock does), without its cost. False when reading fails,
// memory runs out or the rectangles would pass kMaxRegionRects; never throws.
bool ReadUnitedRegion(const std::function<bool(RegionHeader&, RegionRects&)>& read, RegionRects& rects) noexcept;

#endif
