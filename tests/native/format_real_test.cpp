#include "about/format_real.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

std::string Format(double value) {
    char text[kFormatRealBufferSize + 8];
    std::memset(text, '#', sizeof text);
    FormatReal(value, text);
    // Nothing past the 34 bytes is touched.
    for (size_t i = kFormatRealBufferSize; i < sizeof text; ++i) EXPECT_EQ(text[i], '#') << value;
    return text;
}

TEST(FormatReal, TheListedValues) {
    EXPECT_EQ(Format(0.0), "0");
    EXPECT_EQ(Format(-2.5), "-2.5");
    EXPECT_EQ(Format(123.456), "123.456");
    EXPECT_EQ(Format(0.1 + 0.2), "0.3");
    EXPECT_EQ(Format(1000000000000000.5), "1000000000000000.4");
    EXPECT_EQ(Format(1e15), "1000000000000000");
    EXPECT_EQ(Format(1e16), "10000000000000000");
    EXPECT_EQ(Format(12345678901234567.0), "12345678901234568");
    EXPECT_EQ(Format(1e17), "1.000000e+017");
    EXPECT_EQ(Format(1.2345678e20), "1.234567e+020");
    EXPECT_EQ(Format(1e-15), "0.000000000000001");
    EXPECT_EQ(Format(1e-16), "1.000000e-016");
    EXPECT_EQ(Format(9.8765432e-20), "9.876543e-020");
    EXPECT_EQ(Format(4503599627370497.0), "4503599627370496.8");
}

TEST(FormatReal, AspectRatiosOfTheListedPictures) {
    const struct {
        long long width, height;
        const char* text;
    } pictures[] = {
        {300, 218, "1.3761467889908256"}, {640, 480, "1.3333333333333332"}, {100, 100, "1"},
        {3, 1, "3"},                      {1, 2, "0.5"},                    {2, 3, "0.6666666666666665"},
        {1, 7, "0.1428571428571428"},     {1, 100000, "0.00001"},
        // Rounded to 64 bits and then to 53, which differs from rounding once.
        {1999, 2055, "0.9727493917274937"}, {1089, 2075, "0.5248192771084336"},
    };
    for (const auto& p : pictures)
        EXPECT_EQ(Format(DivideAsExtended(p.width, p.height)), p.text) << p.width << " x " << p.height;
    EXPECT_EQ(DivideAsExtended(-7, 2), -3.5);
}

TEST(FormatReal, DivisionMatchesTheX87WhereThisMachineHasIt) {
    if (std::numeric_limits<long double>::digits != 64) GTEST_SKIP() << "no 64-bit long double here";
    std::mt19937 random(5);
    for (int i = 0; i < 1000000; ++i) {
        const long long width = random() % 100000 + 1, height = i < 500000 ? i % 1000 + 1200 : random() % 100000 + 1;
        const double x87 = static_cast<double>(static_cast<long double>(width) / static_cast<long double>(height));
        ASSERT_EQ(DivideAsExtended(width, height), x87) << width << " x " << height;
    }
}

TEST(FormatReal, NegativeZeroIsZeroAndMemoryHalvesRoundToEven) {
    EXPECT_EQ(Format(-0.0), "0");
    const struct {
        long long width, height;
        unsigned bits;
        const char* bytes;
    } figures[] = {{1, 1, 4, "0"}, {3, 1, 4, "2"}, {5, 1, 4, "2"}, {1, 1, 1, "0"}, {300, 218, 32, "261600"},
                   {100000, 100000, 32, "40000000000"}};
    for (const auto& f : figures) EXPECT_EQ(MemoryFigure(f.width, f.height, f.bits, 1), f.bytes) << f.width;
}

TEST(FormatReal, TheLongestTextIs33Characters) {
    const std::string longest = Format(-1.234567890123456e-15);
    EXPECT_EQ(longest.size(), 33u) << longest;
    EXPECT_EQ(longest.rfind("-0.00000000000000", 0), 0u);
}

TEST(FormatReal, AnyFiniteDoubleFitsAndReadsBackClose) {
    std::mt19937_64 random(3);
    for (int i = 0; i < 200000; ++i) {
        std::uint64_t bits = random();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        if (!std::isfinite(value)) continue;
        const std::string text = Format(value);
        ASSERT_LE(text.size(), 33u) << text;
        const double back = std::strtod(text.c_str(), nullptr);
        if (value != 0 && std::fabs(value) > 1e-300 && std::fabs(value) < 1e300) {
            // 7 digits at least: a relative error below 1e-6.
            ASSERT_LE(std::fabs(back - value), 1e-6 * std::fabs(value)) << text << " for " << value;
        }
    }
    // Edges: the smallest and largest doubles, and values next to powers of ten.
    for (double value : {5e-324, 2.2250738585072014e-308, 1.7976931348623157e308, 9.999999999999999e16,
                         9.9999999999999999e15, 99999999999999990.0, 0.09999999999999999}) {
        const std::string text = Format(value);
        EXPECT_LE(text.size(), 33u) << text;
        EXPECT_FALSE(text.empty());
    }
}

}  // namespace
