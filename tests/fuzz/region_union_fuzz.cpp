// Any bytes as rectangles (see DecodeRects): their union must be the banded
// form of the cells they cover, within its bound of steps. Built as the search
// for the worst ratio of steps to bound (PELLFORM_WORST_RATIO), it takes 256
// times as many rectangles a record, up to 2^16, and refuses past 2^17 made so
// that an input costs little. Each ratio reached, to 3%, counts to libFuzzer
// as code reached: it keeps every input that reaches a ratio not seen before.
#include <cstdlib>

#include "tests/support/union_check.h"

__attribute__((used, section("__libfuzzer_extra_counters"))) static std::uint8_t ratioReached[256];

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    double ratio = 0;
#ifdef PELLFORM_WORST_RATIO
    const std::string fault = CheckUnion(DecodeRects(data, size, 1 << 16, 256), nullptr, &ratio, 1 << 17, false);
#else
    const std::string fault = CheckUnion(DecodeRects(data, size), nullptr, &ratio);
#endif
    // 24 a doubling, from 2^-10 of the bound; the bound itself at 240.
    ratioReached[std::clamp(static_cast<int>(24 * std::log2(std::max(ratio, 1e-6)) + 240), 0, 255)] = 1;
    if (fault.empty()) return 0;
    std::fprintf(stderr, "union of %s\n", fault.c_str());
    std::abort();
}
