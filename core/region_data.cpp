#include "core/region_data.h"

namespace {

void PutInt(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint32_t GetInt(const std::uint8_t* data) {
    return static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
           static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
}

void PutRect(std::vector<std::uint8_t>& out, const RegionRect& r) {
    PutInt(out, static_cast<std::uint32_t>(r.left));
    PutInt(out, static_cast<std::uint32_t>(r.top));
    PutInt(out, static_cast<std::uint32_t>(r.right));
    PutInt(out, static_cast<std::uint32_t>(r.bottom));
}

}  // namespace

std::vector<std::uint8_t> EncodeRegionData(const RegionRects& rects) {
    std::vector<std::uint8_t> out;
    out.reserve(kRegionHeaderSize + kRegionRectSize * rects.size());
    PutInt(out, kRegionHeaderSize);
    PutInt(out, 1);
    PutInt(out, static_cast<std::uint32_t>(rects.size()));
    PutInt(out, static_cast<std::uint32_t>(kRegionRectSize * rects.size()));
    PutRect(out, BoundsOf(rects));
    for (const RegionRect& r : rects) PutRect(out, r);
    return out;
}

bool DecodeRegionHeader(const std::uint8_t* header, std::uint32_t& count) {
    if (GetInt(header) != kRegionHeaderSize || GetInt(header + 4) != 1) return false;
    count = GetInt(header + 8);
    return true;
}

bool DecodeRegionData(const std::uint8_t* data, std::size_t size, RegionRects& rects) {
    rects.clear();
    std::uint32_t claimed = 0;
    if (!data || size < kRegionHeaderSize || !DecodeRegionHeader(data, claimed)) return false;
    const std::uint64_t count = claimed;
    // In 64 bits: nCount x 16 cannot overflow, whatever the file claims.
    if (count * kRegionRectSize > static_cast<std::uint64_t>(size) - kRegionHeaderSize) return false;
    rects.resize(static_cast<std::size_t>(count));
    const std::uint8_t* p = data + kRegionHeaderSize;
    for (RegionRect& r : rects) {
        r.left = static_cast<std::int32_t>(GetInt(p));
        r.top = static_cast<std::int32_t>(GetInt(p + 4));
        r.right = static_cast<std::int32_t>(GetInt(p + 8));
        r.bottom = static_cast<std::int32_t>(GetInt(p + 12));
        p += kRegionRectSize;
    }
    return true;
}
