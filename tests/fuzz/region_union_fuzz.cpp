// Any bytes as rectangles (see DecodeRects): their union must be the banded
// form of the cells they cover, within its bound of steps.
#include <cstdlib>

#include "tests/support/union_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string fault = CheckUnion(DecodeRects(data, size));
    if (fault.empty()) return 0;
    std::fprintf(stderr, "union of %s\n", fault.c_str());
    std::abort();
}
