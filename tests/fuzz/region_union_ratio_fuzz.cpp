// Searches for the rectangles (see DecodeRects, here 256 times as many a
// record, up to 2^16) whose union takes the most steps against its bound (at
// most 2^17 made, so that an input costs little), and fails past it: each
// ratio reached, to 3%, counts to libFuzzer as code reached, so it keeps every
// input that reaches a ratio not seen before.
#include <cstdlib>

#include "tests/support/union_check.h"

namespace {

__attribute__((used, section("__libfuzzer_extra_counters"))) std::uint8_t ratioReached[256];

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const RegionRects rects = DecodeRects(data, size, std::size_t{1} << 16, 256);
    RegionRects made;
    UnionStats stats;
    const double ratio = StepRatio(rects, made, stats, nullptr, std::size_t{1} << 17);  // refused sooner
    // 24 a doubling, from 2^-10 of the bound; the bound itself at 240.
    ratioReached[std::clamp(static_cast<int>(24 * std::log2(std::max(ratio, 1e-6)) + 240), 0, 255)] = 1;
    if (ratio <= 1) return 0;
    std::fprintf(stderr, "union of %zu rectangles into %zu: %llu steps, %.2f of the bound\n", rects.size(),
                 made.size(), static_cast<unsigned long long>(stats.steps), ratio);
    std::abort();
}
