// Pixel size of a picture from its HIMETRIC extent (hundredths of a millimeter).
#ifndef PELLFORM_PICTURE_SIZE_H
#define PELLFORM_PICTURE_SIZE_H

#include <cfenv>
#include <cmath>
#include <cstdint>

constexpr int kHimetricPerInch = 2540;

// The largest picture taken or made: 2^16 pixels a side and 2^26 in all (256 MB
// at 32 bits). Decoders and encoders hold a whole picture, so a size a hostile
// file claims is refused before any of them is asked.
constexpr std::uint32_t kMaxPictureSide = std::uint32_t{1} << 16;
constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{1} << 26;

inline bool IsPictureSizeAllowed(std::uint64_t width, std::uint64_t height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

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
