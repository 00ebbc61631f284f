// Any bytes as a picture file: checking its headers must never read past them,
// and an accepted size is always within the limit.
#include <cstdlib>

#include "core/picture_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const PictureHeader header = CheckPictureHeader(data, size);
    if ((header.verdict == HeaderVerdict::Accepted) != PictureSizeAcceptable(header.width, header.height) ||
        (header.iconImage != 0 && header.format != PictureFormat::Icon) ||
        (header.format == PictureFormat::Unknown || header.format == PictureFormat::Metafile) !=
            (header.verdict == HeaderVerdict::Unchecked))
        std::abort();
    return 0;
}
