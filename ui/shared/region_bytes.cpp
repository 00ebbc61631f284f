#include "ui/shared/region_bytes.h"

#include <utility>

#include "core/no_throw.h"
#include "core/region_data.h"
#include "platform/region_gdi.h"

bool CaptureRegion(HRGN region, std::shared_ptr<const RegionBlock>& bytes) {
    bytes.reset();
    if (!region) return true;
    const DWORD size = GetRegionData(region, 0, nullptr);
    if (size == 0) return false;
    auto data = std::make_shared<RegionBlock>(size);
    if (GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data->data())) != size) return false;
    bytes = std::move(data);
    return true;
}

// Wine's ExtCreateRegion takes the square of the rectangles, so the region is
// made from them as the rest of the editor makes large regions.
bool RebuildRegion(const std::shared_ptr<const RegionBlock>& bytes, OwnedRegion& region) {
    region.reset();
    if (!bytes) return true;
    return ResultOrFailure(false, [&] {
        RegionRects rects;
        if (!DecodeRegionData(bytes->data(), bytes->size(), rects)) return false;
        region.reset(CreateRegionFromRects(rects));
        return static_cast<bool>(region);
    });
}
