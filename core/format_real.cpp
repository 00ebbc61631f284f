#include "core/format_real.h"

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

// Powers of ten, each the double nearest to it.
const double kUnits[16] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
const double kSixteens[16] = {1,     1e16,  1e32,  1e48,  1e64,  1e80,  1e96,  1e112,
                              1e128, 1e144, 1e160, 1e176, 1e192, 1e208, 1e224, 1e240};
const double k256ths[2] = {1, 1e256};
constexpr double kLog10Of2 = 0.301029995663981195213738894724493027;

// 10^n as the product of the three tables' entries, each product rounded.
double PowerOfTen(int n) {
    double factor = 1.0;
    if (n & 15) factor *= kUnits[n & 15];
    if ((n >> 4) & 15) factor *= kSixteens[(n >> 4) & 15];
    if ((n >> 8) & 31) factor *= k256ths[1];
    return factor;
}

// value x 10^n, or value / 10^-n. Beyond the double range (values below about
// 1e-292 need 10^309 and more) the factor is applied in two steps.
double ScaleByPowerOfTen(double value, int n) {
    if (n < 0) return value / PowerOfTen(-n);
    if (n > 308) return (value * k256ths[1]) * PowerOfTen(n - 256);
    return value * PowerOfTen(n);
}

char* WriteDigits(char* out, std::uint64_t whole) {
    char digits[20];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + whole % 10);
        whole /= 10;
    } while (whole);
    while (count) *out++ = digits[--count];
    return out;
}

}  // namespace

void FormatReal(double value, char* text) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    char* out = text;
    // Negative zero is zero: its sign says nothing about a picture.
    if ((bits << 1) == 0) {
        std::strcpy(text, "0");
        return;
    }
    if (std::signbit(value)) {
        *out++ = '-';
        value = -value;
    }
    if (!std::isfinite(value)) {
        std::strcpy(out, std::isnan(value) ? "nan" : "inf");
        return;
    }
    const int previousRounding = std::fegetround();
    std::fesetround(FE_TONEAREST);

    // value = m x 2^b with 1 <= m < 2; E is the decimal exponent or one more.
    const int b = std::ilogb(value);
    int exponent = static_cast<int>(std::nearbyint(b * kLog10Of2));

    if (exponent >= 0 && exponent <= 15 && value == std::nearbyint(value)) {
        out = WriteDigits(out, static_cast<std::uint64_t>(value));
        *out = '\0';
        std::fesetround(previousRounding);
        return;
    }

    double scaled = ScaleByPowerOfTen(value, 16 - exponent);
    if (scaled < 1e16) {
        scaled *= 10.0;
        --exponent;
    }
    // Rounding can lift the scaled value to 10^17, which has 18 digits.
    if (scaled >= 1e17) {
        scaled /= 10.0;
        ++exponent;
    }
    char digits[18];
    const std::uint64_t whole = static_cast<std::uint64_t>(std::nearbyint(scaled));
    std::uint64_t rest = whole;
    for (int i = 16; i >= 0; --i) {
        digits[i] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    }

    if (exponent >= -15 && exponent <= 16) {
        if (exponent >= 0) {
            std::memcpy(out, digits, static_cast<size_t>(exponent) + 1);
            out += exponent + 1;
            *out++ = '.';
            std::memcpy(out, digits + exponent + 1, static_cast<size_t>(16 - exponent));
            out += 16 - exponent;
        } else {
            *out++ = '0';
            *out++ = '.';
            for (int i = 0; i < -exponent - 1; ++i) *out++ = '0';
            std::memcpy(out, digits, 16);  // the 17th digit is dropped, not rounded in
            out += 16;
        }
        while (out[-1] == '0') --out;
        if (out[-1] == '.') --out;
    } else {
        *out++ = digits[0];
        *out++ = '.';
        std::memcpy(out, digits + 1, 6);
        out += 6;
        *out++ = 'e';
        *out++ = exponent >= 0 ? '+' : '-';
        const int magnitude = exponent >= 0 ? exponent : -exponent;
        *out++ = static_cast<char>('0' + magnitude / 100);
        *out++ = static_cast<char>('0' + magnitude / 10 % 10);
        *out++ = static_cast<char>('0' + magnitude % 10);
    }
    *out = '\0';
    std::fesetround(previousRounding);
}

double DivideAsExtended(long long numerator, long long denominator) {
    if (numerator == 0) return 0.0;
    const bool negative = (numerator < 0) != (denominator < 0);
    std::uint64_t n = numerator < 0 ? 0 - static_cast<std::uint64_t>(numerator) : static_cast<std::uint64_t>(numerator);
    std::uint64_t d = denominator < 0 ? 0 - static_cast<std::uint64_t>(denominator) : static_cast<std::uint64_t>(denominator);
    int exponent = 0;  // the quotient lies in [2^exponent, 2^(exponent + 1))
    while (n < d) {
        n <<= 1;
        --exponent;
    }
    while (n >= 2 * d) {
        d <<= 1;
        ++exponent;
    }
    // 64 quotient bits by long division; then n is twice the remainder.
    std::uint64_t q = 0;
    for (int i = 0; i < 64; ++i) {
        const bool bit = n >= d;
        if (bit) n -= d;
        q = q << 1 | (bit ? 1u : 0u);
        n <<= 1;
    }
    if (n > d || (n == d && (q & 1))) {
        if (++q == 0) {
            q = std::uint64_t{1} << 63;
            ++exponent;
        }
    }
    // The extended quotient to a double: 11 bits dropped, ties to even.
    const std::uint64_t dropped = q & 0x7FF;
    std::uint64_t significand = q >> 11;
    if (dropped > 0x400 || (dropped == 0x400 && (significand & 1))) ++significand;
    const double magnitude = std::ldexp(static_cast<double>(significand), exponent - 52);
    return negative ? -magnitude : magnitude;
}

std::string MemoryFigure(long long width, long long height, unsigned bitsPerPixel, unsigned planes) {
    // In floating point, rounded to the nearest integer with ties to even (a
    // 1 x 1 picture of 4 bits takes 0.5 bytes: 0); a figure past 32 bits is
    // shown whole rather than wrapped.
    const double bytes = static_cast<double>(width) * static_cast<double>(height) * bitsPerPixel * planes / 8.0;
    return std::to_string(static_cast<unsigned long long>(std::nearbyint(bytes)));
}
