// Pixel size of a picture from its HIMETRIC extent (hundredths of a millimeter).
#ifndef PELLFORM_PICTURE_SIZE_H
#define PELLFORM_PICTURE_SIZE_H

#include <cfenv>
#include <cmath>
#include <cstdint>

constexpr int kHimetricPerInch = 2540;

// The file route: the exact quotient rounded to the nearest integer, an exact
// half to the even neighbor (the product of two 32-bit numbers is exact in a
// long double).
inline std::int32_t HimetricToPixelsHalfEven(std::int32_t himetric, std::int32_t pixelsPerInch) {
    const long double quotient =
        static_cast<long double>(himetric) * static_cast<long double>(pixelsPerInch) / kHimetricPerInch;
    const int previous = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const long double rounded = std::nearbyint(quotient);
    std::fesetround(previous);
    return static_cast<std::int32_t>(rounded);
}

// The resource route rounds as MulDiv does: half away from zero.
inline std::int32_t HimetricToPixelsMulDiv(std::int32_t himetric, std::int32_t pixelsPerInch) {
    const std::int64_t product = static_cast<std::int64_t>(himetric) * pixelsPerInch;
    const std::int64_t half = kHimetricPerInch / 2;
    const std::int64_t quotient = product >= 0 ? (product + half) / kHimetricPerInch : (product - half) / kHimetricPerInch;
    return static_cast<std::int32_t>(quotient);
}

#endif
