// Any bytes as a region file: decoding must never read past them, and whatever
// decodes must give a banded union that encodes and decodes to itself.
#include <cstdint>
#include <cstdlib>

#include "region/region_data.h"
#include "region/region_rects.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    RegionRects rects;
    if (!DecodeRegionData(data, size, rects)) {
        if (!rects.empty()) std::abort();
        return 0;
    }
    if (kRegionHeaderSize + kRegionRectSize * rects.size() > size) std::abort();
    const RegionRects banded = UnionOfRects(rects);
    if (!IsBanded(banded)) std::abort();
    const std::vector<std::uint8_t> encoded = EncodeRegionData(banded);
    RegionRects back;
    if (!DecodeRegionData(encoded.data(), encoded.size(), back) || back != banded) std::abort();
    if (UnionOfRects(banded) != banded) std::abort();
    return 0;
}
