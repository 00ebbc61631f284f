// What a picture file's headers claim, read from its bytes before any decoder
// sees them, so that no decoder is asked to allocate for a hostile header.
#ifndef PELLFORM_PICTURE_HEADER_H
#define PELLFORM_PICTURE_HEADER_H

#include <cstddef>
#include <cstdint>

// One limit for every decoder, chosen for the 32-bit add-in living in its host's
// 2 GB of address space: at 2^24 pixels the screen-format bitmap is 64 MB (32
// bits a pixel) and the decoder's own copy about as much again, blocks that a
// host whose address space is already cut up still finds; at 2^26 each would
// be 256 MB, which a 32-bit host often cannot find in one piece. A side is at
// most 32,768 so one row stays small (128 KB): the readers that go strip by
// strip hold at least one row.
constexpr std::uint32_t kMaxPictureSide = 1u << 15;
constexpr std::uint64_t kMaxPicturePixels = std::uint64_t{1} << 24;
// A file is read whole before it is checked: an uncompressed 32-bit picture
// at the limit (64 MB) fits twice over.
constexpr std::uint64_t kMaxPictureFileBytes = std::uint64_t{1} << 27;

// Both sides positive and within the limit.
bool PictureSizeAcceptable(std::int64_t width, std::int64_t height);

// A metafile holds drawing commands, no pixels: its size is bounded when it
// is drawn. Unknown bytes go to no decoder that sniffs formats for itself.
enum class PictureFormat { Unknown, Metafile, Gif, Bmp, Jpeg, Png, Icon, Tiff };
// Unchecked: a metafile or unknown bytes.
enum class HeaderVerdict { Unchecked, Accepted, TooLarge, Malformed };

struct PictureHeader {
    PictureFormat format = PictureFormat::Unknown;
    HeaderVerdict verdict = HeaderVerdict::Unchecked;
    // The image a decoder gives (a GIF's logical screen, an icon's chosen image).
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    // For an icon: the directory entry of its largest image, the only one decoded.
    std::size_t iconImage = 0;
};

// Recognises the format by its signature, as loosely as the decoders that
// sniff it do (a JPEG is FF D8 and any bytes libjpeg skips before its
// markers, a GIF any version of "GIF"), and reads every size its headers
// give (each GIF frame, each JPEG frame header, each icon image), every read
// bounds-checked; the cost is linear in `size`.
PictureHeader CheckPictureHeader(const std::uint8_t* data, std::size_t size);

#endif
