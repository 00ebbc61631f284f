#include "core/region_data.h"

#include "core/no_throw.h"

namespace {

std::uint8_t* PutInt(std::uint8_t* out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) *out++ = static_cast<std::uint8_t>(value >> shift);
    return out;
}

std::uint32_t GetInt(const std::uint8_t* data) {
    return static_cast<std::uint32_t>(data[0]) | static_cast<std::uint32_t>(data[1]) << 8 |
           static_cast<std::uint32_t>(data[2]) << 16 | static_cast<std::uint32_t>(data[3]) << 24;
}

std::uint8_t* PutRect(std::uint8_t* out, const RegionRect& r) {
    out = PutInt(out, static_cast<std::uint32_t>(r.left));
    out = PutInt(out, static_cast<std::uint32_t>(r.top));
    out = PutInt(out, static_cast<std::uint32_t>(r.right));
    return PutInt(out, static_cast<std::uint32_t>(r.bottom));
}

RegionRect GetRect(const std::uint8_t* data) {
    return {static_cast<std::int32_t>(GetInt(data)), static_cast<std::int32_t>(GetInt(data + 4)),
            static_cast<std::int32_t>(GetInt(data + 8)), static_cast<std::int32_t>(GetInt(data + 12))};
}

}  // namespace

RegionHeader MakeRegionHeader(const RegionRect* rects, std::size_t count) {
    RegionHeader header;
    header.nCount = static_cast<std::uint32_t>(count);
    header.nRgnSize = static_cast<std::uint32_t>(kRegionRectSize * count);
    header.rcBound = BoundsOf(rects, count);
    return header;
}

RegionHeader MakeRegionHeader(const RegionRects& rects) { return MakeRegionHeader(rects.data(), rects.size()); }

void EncodeRegionData(const RegionHeader& header, const RegionRect* rects, std::size_t count, std::uint8_t* out) {
    out = PutInt(out, header.dwSize);
    out = PutInt(out, header.iType);
    out = PutInt(out, header.nCount);
    out = PutInt(out, header.nRgnSize);
    out = PutRect(out, header.rcBound);
    for (std::size_t i = 0; i < count; ++i) out = PutRect(out, rects[i]);
}

std::vector<std::uint8_t> EncodeRegionData(const RegionHeader& header, const RegionRects& rects) {
    std::vector<std::uint8_t> out(kRegionHeaderSize + kRegionRectSize * rects.size());
    EncodeRegionData(header, rects.data(), rects.size(), out.data());
    return out;
}

std::vector<std::uint8_t> EncodeRegionData(const RegionRects& rects) {
    return EncodeRegionData(MakeRegionHeader(rects), rects);
}

bool DecodeRegionHeader(const std::uint8_t* data, RegionHeader& header) {
    if (GetInt(data) != kRegionHeaderSize || GetInt(data + 4) != 1) return false;
    header.dwSize = kRegionHeaderSize;
    header.iType = 1;
    header.nCount = GetInt(data + 8);
    header.nRgnSize = GetInt(data + 12);
    header.rcBound = GetRect(data + 16);
    return true;
}

bool DecodeRegionData(const std::uint8_t* data, std::size_t size, RegionRects& rects, RegionHeader* header) {
    rects.clear();
    RegionHeader fields;
    if (!data || size < kRegionHeaderSize || !DecodeRegionHeader(data, fields)) return false;
    const std::uint64_t count = fields.nCount;
    // In 64 bits: nCount x 16 cannot overflow, whatever the file claims.
    if (count * kRegionRectSize > static_cast<std::uint64_t>(size) - kRegionHeaderSize) return false;
    rects.resize(static_cast<std::size_t>(count));
    const std::uint8_t* p = data + kRegionHeaderSize;
    for (RegionRect& r : rects) {
        r = GetRect(p);
        p += kRegionRectSize;
    }
    if (header) *header = fields;
    return true;
}

bool ReadRegionBlock(std::uint64_t fileSize, const std::function<bool(std::uint8_t*, std::size_t)>& read,
                     RegionHeader& header, RegionRects& rects) {
    if (fileSize >> 32 || fileSize < kRegionHeaderSize) return false;
    std::uint8_t first[kRegionHeaderSize];
    if (!read(first, kRegionHeaderSize) || !DecodeRegionHeader(first, header)) return false;
    const std::uint32_t count = header.nCount;
    if (count > kMaxRegionRects || std::uint64_t{count} * kRegionRectSize > fileSize - kRegionHeaderSize) return false;
    std::vector<std::uint8_t> block(first, first + kRegionHeaderSize);
    block.resize(kRegionHeaderSize + std::size_t{count} * kRegionRectSize);
    return read(block.data() + kRegionHeaderSize, std::size_t{count} * kRegionRectSize) &&
           DecodeRegionData(block.data(), block.size(), rects, &header);
}

bool ReadUnitedRegion(const std::function<bool(RegionHeader&, RegionRects&)>& read, RegionRects& rects) noexcept {
    return ResultOrFailure(false, [&] {
        RegionHeader header;
        RegionRects stored;
        if (!read(header, stored)) return false;
        rects = UnionOfRects(stored);
        return true;
    });
}
