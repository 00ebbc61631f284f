#include "core/format_real.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>

namespace {

std::string Format(double value) {
    char text[kFormatRealBufferSize + 8];
    std::memset(text, '#', sizeof text);
    FormatReal(value, text);
    // Nothing past the buffer is touched (so the text is at most 33 characters).
    EXPECT_EQ(std::string(text + kFormatRealBufferSize, 8), "########") << value;
    return text;
}

TEST(FormatReal, DigitsOfValuesAndAspectRatios) {
    const std::pair<double, const char*> values[] = {
        {0.0, "0"}, {-0.0, "0"}, {-2.5, "-2.5"}, {123.456, "123.456"}, {0.1 + 0.2, "0.3"},
        {1e16, "10000000000000000"}, {1e17, "1.000000e+017"}, {1e-15, "0.000000000000001"}, {1e-16, "1.000000e-016"},
        // Aspect ratios: rounded to 64 bits and then to 53, which differs from rounding once (1999 / 2055,
        // 1089 / 2075); the 64-bit quotient rounded up, not cut off (1319 / 1031).
        {DivideAsExtended(300, 218), "1.3761467889908256"}, {DivideAsExtended(2, 3), "0.6666666666666665"},
        {DivideAsExtended(1999, 2055), "0.9727493917274937"}, {DivideAsExtended(1089, 2075), "0.5248192771084336"},
        {DivideAsExtended(1319, 1031), "1.2793404461687682"},
    };
    for (const auto& v : values) EXPECT_EQ(Format(v.first), v.second) << v.first;
    // Memory in bytes: 2.5 rounded to even; past 32 bits, whole.
    EXPECT_EQ(MemoryFigure(5, 1, 4, 1), "2");
    EXPECT_EQ(MemoryFigure(100000, 100000, 32, 1), "40000000000");
}

}  // namespace
