// Any bytes as a picture file: checking its headers must never read past them,
// an accepted size is always within the limit, and the core's BMP and icon
// decoders, given what the check accepted, read only inside the bytes and give
// the size the check reported.
#include <cstdlib>

#include "core/bmp_decoder.h"
#include "core/picture_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const PictureHeader header = CheckPictureHeader(data, size);
    if ((header.verdict == HeaderVerdict::Accepted) != PictureSizeAcceptable(header.width, header.height) ||
        (header.iconImage != 0 && header.format != PictureFormat::Icon) ||
        (header.format == PictureFormat::Unknown || header.format == PictureFormat::Metafile) !=
            (header.verdict == HeaderVerdict::Unchecked))
        std::abort();
    if (header.verdict != HeaderVerdict::Accepted) return 0;
    DecodedPicture picture;
    const std::uint8_t* png = nullptr;
    std::size_t pngSize = 0;
    const bool decoded = header.format == PictureFormat::Bmp ? DecodeBmp(data, size, picture)
                         : header.format == PictureFormat::Icon
                             ? DecodeIconImage(data, size, header.iconImage, picture, png, pngSize) && !png
                             : false;
    if (decoded && (static_cast<std::uint32_t>(picture.width) != header.width ||
                    static_cast<std::uint32_t>(picture.height) != header.height ||
                    picture.pixels.size() != std::size_t{header.width} * header.height))
        std::abort();
    return 0;
}
