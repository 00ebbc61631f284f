#include "about/format_real.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

namespace {

std::string Format(double value) {
    char text[kFormatRealBufferSize + 8];
    std::memset(text, '#', sizeof text);
    FormatReal(value, text);
    // At most 33 characters; nothing past the buffer is touched.
    EXPECT_EQ(std::string(text + kFormatRealBufferSize, 8), "########") << value;
    EXPECT_LE(std::strlen(text), 33u) << value;
    return text;
}

TEST(FormatReal, DigitsOfValuesAndAspectRatios) {
    const std::pair<double, const char*> values[] = {
        {0.0, "0"}, {-0.0, "0"}, {-2.5, "-2.5"}, {123.456, "123.456"}, {0.1 + 0.2, "0.3"},
        {1000000000000000.5, "1000000000000000.4"}, {1e15, "1000000000000000"}, {1e16, "10000000000000000"},
        {12345678901234567.0, "12345678901234568"}, {1e17, "1.000000e+017"}, {1.2345678e20, "1.234567e+020"},
        {1e-15, "0.000000000000001"}, {1e-16, "1.000000e-016"}, {9.8765432e-20, "9.876543e-020"},
        {4503599627370497.0, "4503599627370496.8"}, {-1.234567890123456e-15, "-0.000000000000001234567890123456"},
        // Aspect ratios: rounded to 64 bits and then to 53, which differs from rounding once.
        {DivideAsExtended(300, 218), "1.3761467889908256"}, {DivideAsExtended(640, 480), "1.3333333333333332"},
        {DivideAsExtended(3, 1), "3"}, {DivideAsExtended(2, 3), "0.6666666666666665"},
        {DivideAsExtended(1, 100000), "0.00001"}, {DivideAsExtended(-7, 2), "-3.5"},
        {DivideAsExtended(1999, 2055), "0.9727493917274937"}, {DivideAsExtended(1089, 2075), "0.5248192771084336"},
    };
    for (const auto& v : values) EXPECT_EQ(Format(v.first), v.second) << v.first;
    // The smallest and largest doubles, and values next to powers of ten, fit and read back close.
    for (double value : {5e-324, 2.2250738585072014e-308, 1.7976931348623157e308, 9.999999999999999e16,
                         9.9999999999999999e15, 99999999999999990.0, 0.09999999999999999})
        EXPECT_NEAR(std::strtod(Format(value).c_str(), nullptr) / value, 1.0, 1e-6) << value;
    // Memory in bytes, halves rounded to even.
    const std::pair<std::string, const char*> figures[] = {
        {MemoryFigure(1, 1, 4, 1), "0"},           {MemoryFigure(3, 1, 4, 1), "2"},
        {MemoryFigure(5, 1, 4, 1), "2"},           {MemoryFigure(1, 1, 1, 1), "0"},
        {MemoryFigure(300, 218, 32, 1), "261600"}, {MemoryFigure(100000, 100000, 32, 1), "40000000000"}};
    for (const auto& f : figures) EXPECT_EQ(f.first, f.second);
}

}  // namespace
