// A decoded picture as the tool uses it: its pixels composed over a background,
// and the alpha they were composed with. Every decoder of either build ends
// here, so both decide each pixel by the same arithmetic.
#ifndef PELLFORM_PICTURE_PIXELS_H
#define PELLFORM_PICTURE_PIXELS_H

#include <cstddef>
#include <cstdint>
#include <vector>

// A channel of a pixel with straight alpha over the background's channel:
// (color x alpha + background x (255 - alpha)) / 255 rounded to the nearest
// integer (255 is odd, so there are no halves). Alpha 0 gives the background
// exactly and alpha 255 the color exactly.
inline std::uint8_t BlendChannel(unsigned color, unsigned background, unsigned alpha) {
    return static_cast<std::uint8_t>((color * alpha + background * (255 - alpha) + 127) / 255);
}

// The same for a premultiplied channel: the color is already scaled by alpha.
inline std::uint8_t BlendPremultipliedChannel(unsigned color, unsigned background, unsigned alpha) {
    const unsigned sum = color + (background * (255 - alpha) + 127) / 255;
    return static_cast<std::uint8_t>(sum > 255 ? 255 : sum);
}

// Composes `count` pixels 0xAARRGGBB over `background` (a COLORREF,
// 0x00BBGGRR) into 0x00RRGGBB; `alpha`, when given, receives each pixel's alpha.
void ComposePixelRow(const std::uint32_t* pixels, std::size_t count, bool premultiplied, std::uint32_t background,
                     std::uint32_t* out, std::uint8_t* alpha);

// What a decoder gives: width x height pixels 0xAARRGGBB, top row first, the
// top byte the alpha they are composed with. `hasAlpha` false: the decoder
// reports no alpha, which the tool's --alpha-threshold takes as opaque
// throughout (the Windows build's OLE picture object gives none).
struct DecodedPicture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> pixels;
    bool hasAlpha = false;
    bool premultiplied = false;
};

// The picture after composition: 0x00RRGGBB, top row first, and the alpha
// of each pixel when the decoder gave one (else empty).
struct PicturePixels {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint32_t> colors;
    std::vector<std::uint8_t> alpha;
    // As GetPixel reads it: a COLORREF.
    std::uint32_t ColorAt(std::int32_t x, std::int32_t y) const;
};

// Composes a decoded picture over `background`. Throws std::bad_alloc.
PicturePixels ComposePicture(const DecodedPicture& decoded, std::uint32_t background);

#endif
