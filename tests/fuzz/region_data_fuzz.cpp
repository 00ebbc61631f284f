// Any bytes as a region file: decoding must never read past them, and whatever
// decodes must give a banded union that encodes and decodes to itself.
#include <cstdlib>

#include "core/region_data.h"
#include "core/region_rects.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RegionRects rects, back;
    const bool decoded = DecodeRegionData(data, size, rects);
    if (!decoded && !rects.empty()) std::abort();
    if (!decoded) return 0;
    const RegionRects banded = UnionOfRects(rects);
    const std::vector<std::uint8_t> encoded = EncodeRegionData(banded);
    if (kRegionHeaderSize + kRegionRectSize * rects.size() > size || !IsBanded(banded) ||
        UnionOfRects(banded) != banded || !DecodeRegionData(encoded.data(), encoded.size(), back) || back != banded)
        std::abort();
    return 0;
}
