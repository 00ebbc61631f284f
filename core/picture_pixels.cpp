#include "core/picture_pixels.h"

void ComposePixelRow(const std::uint32_t* pixels, std::size_t count, bool premultiplied, std::uint32_t background,
                     std::uint32_t* out, std::uint8_t* alpha) {
    const unsigned backRed = background & 0xFF, backGreen = background >> 8 & 0xFF, backBlue = background >> 16 & 0xFF;
    const auto blend = premultiplied ? BlendPremultipliedChannel : BlendChannel;
    for (std::size_t x = 0; x < count; ++x) {
        const std::uint32_t pixel = pixels[x];
        const unsigned a = pixel >> 24, red = pixel >> 16 & 0xFF, green = pixel >> 8 & 0xFF, blue = pixel & 0xFF;
        if (alpha) alpha[x] = static_cast<std::uint8_t>(a);
        out[x] = std::uint32_t{blend(red, backRed, a)} << 16 | std::uint32_t{blend(green, backGreen, a)} << 8 |
                 blend(blue, backBlue, a);
    }
}

std::uint32_t PicturePixels::ColorAt(std::int32_t x, std::int32_t y) const {
    const std::uint32_t pixel = colors[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x];
    return (pixel & 0xFF) << 16 | (pixel & 0xFF00) | (pixel >> 16 & 0xFF);
}

PicturePixels ComposePicture(const DecodedPicture& decoded, std::uint32_t background) {
    PicturePixels picture;
    picture.width = decoded.width;
    picture.height = decoded.height;
    const std::size_t count = static_cast<std::size_t>(decoded.width) * static_cast<std::size_t>(decoded.height);
    picture.colors.resize(count);
    if (decoded.hasAlpha) picture.alpha.resize(count);
    ComposePixelRow(decoded.pixels.data(), count, decoded.premultiplied, background, picture.colors.data(),
                    decoded.hasAlpha ? picture.alpha.data() : nullptr);
    return picture;
}
