// The pixels of the pictures in tests/data/wic, as scripts/make_picture_fixtures.py
// writes them: 10 x 7 pictures (the icon's largest image 32 x 32).
#ifndef PELLFORM_PICTURE_FIXTURES_H
#define PELLFORM_PICTURE_FIXTURES_H

#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <functional>

inline COLORREF FixtureColor(int x, int y) {
    return RGB((x * 37 + 5) & 255, (y * 53 + 9) & 255, (x * y * 7 + 11) & 255);
}
inline COLORREF FixtureGrey(int x, int y) { return 0x010101 * ((x * 29 + y * 11) & 255); }
inline int FixtureAlpha(int x, int y) {
    static const int kAlphas[] = {255, 0, 128, 64, 1, 254};
    return kAlphas[(x + 2 * y) % 6];
}

// Around the mask color, each channel moved by -20 to 20 (none at 0, 0); every ninth column black.
constexpr COLORREF kNearMask = RGB(100, 150, 200);
inline COLORREF NearMaskColor(int x, int y) {
    auto moved = [&](int value, int a, int b) { return value + (x * a + y * b + 20) % 41 - 20; };
    return x % 9 == 8 ? 0 : RGB(moved(100, 7, 3), moved(150, 3, 11), moved(200, 5, 7));
}

// 32 x 24: white around a one-pixel diagonal outline (black), `inside` within, near-white top-left corner if `corner`.
inline std::function<COLORREF(int, int)> Diamond(COLORREF inside, bool corner = false) {
    return [=](int x, int y) -> COLORREF {
        const int d = std::abs(x - 16) + std::abs(y - 12);
        return d == 9 ? 0 : d < 9 ? inside : corner && x < 3 && y < 3 ? RGB(250, 250, 250) : RGB(255, 255, 255);
    };
}

// Straight alpha over the background, each channel rounded to the nearest integer.
inline COLORREF ComposedOver(COLORREF color, COLORREF background, int alpha) {
    auto channel = [alpha](int c, int b) {
        return static_cast<int>(std::lround((c * alpha + b * (255.0 - alpha)) / 255.0));
    };
    return RGB(channel(GetRValue(color), GetRValue(background)), channel(GetGValue(color), GetGValue(background)),
               channel(GetBValue(color), GetBValue(background)));
}

#endif
