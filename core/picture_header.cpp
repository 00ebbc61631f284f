#include "core/picture_header.h"

#include <cstring>

namespace {

// A view of bytes in which every read says whether it stayed inside.
class Bytes {
   public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::size_t size() const { return size_; }
    bool Has(std::uint64_t at, std::uint64_t count) const { return at <= size_ && count <= size_ - at; }
    bool Byte(std::uint64_t at, std::uint32_t& value) const { return Read(at, 1, false, value); }
    bool Read(std::uint64_t at, int count, bool bigEndian, std::uint32_t& value) const {
        if (!Has(at, static_cast<std::uint64_t>(count))) return false;
        value = 0;
        for (int i = 0; i < count; ++i)
            value = value << 8 | data_[at + static_cast<std::uint64_t>(bigEndian ? i : count - 1 - i)];
        return true;
    }
    bool Matches(std::uint64_t at, const void* text, std::size_t count) const {
        return Has(at, count) && std::memcmp(data_ + at, text, count) == 0;
    }
    Bytes Part(std::uint64_t at, std::uint64_t count) const {
        return Has(at, count) ? Bytes(data_ + at, static_cast<std::size_t>(count)) : Bytes(data_, 0);
    }

   private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// Each image's size, in the order found; the first failure decides.
struct Sizes {
    HeaderVerdict verdict = HeaderVerdict::Accepted;
    std::uint32_t width = 0, height = 0;
    bool any = false;

    bool Fail(HeaderVerdict why) {
        if (verdict == HeaderVerdict::Accepted) verdict = why;
        return false;
    }
    // The first size seen is the one reported.
    bool Add(std::int64_t w, std::int64_t h) {
        if (w <= 0 || h <= 0) return Fail(HeaderVerdict::Malformed);
        if (!PictureSizeAcceptable(w, h)) return Fail(HeaderVerdict::TooLarge);
        if (!any) width = static_cast<std::uint32_t>(w), height = static_cast<std::uint32_t>(h);
        any = true;
        return true;
    }
};

PictureHeader Result(PictureFormat format, const Sizes& sizes) {
    PictureHeader header;
    header.format = format;
    header.verdict = sizes.verdict == HeaderVerdict::Accepted && !sizes.any ? HeaderVerdict::Malformed : sizes.verdict;
    if (header.verdict == HeaderVerdict::Accepted) header.width = sizes.width, header.height = sizes.height;
    return header;
}

std::int64_t Signed32(std::uint32_t value) { return static_cast<std::int32_t>(value); }

// Data sub-blocks (a length byte, then that many bytes) up to the empty one.
// False when the file ends first.
bool SkipSubBlocks(const Bytes& bytes, std::uint64_t& at) {
    for (std::uint32_t length = 0;; at += length) {
        if (!bytes.Byte(at++, length)) return false;
        if (length == 0) return true;
    }
}

std::uint64_t ColorTableBytes(std::uint32_t flags) { return flags & 0x80 ? 3u << ((flags & 7) + 1) : 0; }

// The logical screen and every image descriptor; extensions and image data are
// stepped over block by block, never decoded. A file that ends inside image
// data is left to the decoder (nothing after it can claim a size).
PictureHeader CheckGif(const Bytes& bytes) {
    Sizes sizes;
    std::uint32_t width = 0, height = 0, flags = 0;
    if (!bytes.Read(6, 2, false, width) || !bytes.Read(8, 2, false, height) || !bytes.Byte(10, flags))
        return Result(PictureFormat::Gif, (sizes.Fail(HeaderVerdict::Malformed), sizes));
    if (!sizes.Add(width, height)) return Result(PictureFormat::Gif, sizes);
    std::uint64_t at = 13 + ColorTableBytes(flags);
    bool images = false;
    for (std::uint32_t introducer = 0; at != bytes.size();) {
        if (!bytes.Byte(at, introducer) || introducer == 0x3B) break;
        if (introducer == 0x21) {
            at += 2;
            if (!bytes.Has(at, 0) || !SkipSubBlocks(bytes, at)) break;
        } else if (introducer == 0x2C) {
            std::uint32_t frameWidth = 0, frameHeight = 0, frameFlags = 0;
            if (!bytes.Read(at + 5, 2, false, frameWidth) || !bytes.Read(at + 7, 2, false, frameHeight) ||
                !bytes.Byte(at + 9, frameFlags))
                return Result(PictureFormat::Gif, (sizes.Fail(HeaderVerdict::Malformed), sizes));
            // An empty frame draws nothing; a frame is never larger than the limit.
            if ((frameWidth > 0 && frameHeight > 0 && !sizes.Add(frameWidth, frameHeight)))
                return Result(PictureFormat::Gif, sizes);
            images = true;
            at += 10 + ColorTableBytes(frameFlags) + 1;  // the descriptor, its colors, the code size
            if (!SkipSubBlocks(bytes, at)) break;
        } else {
            return Result(PictureFormat::Gif, (sizes.Fail(HeaderVerdict::Malformed), sizes));
        }
    }
    if (!images) sizes.Fail(HeaderVerdict::Malformed);
    return Result(PictureFormat::Gif, sizes);
}

// A bitmap's header; an uncompressed one must hold all its rows.
PictureHeader CheckBmp(const Bytes& bytes) {
    Sizes sizes;
    std::uint32_t pixelsAt = 0, headerSize = 0, width = 0, height = 0, bitCount = 0, compression = 0;
    if (!bytes.Read(10, 4, false, pixelsAt) || !bytes.Read(14, 4, false, headerSize))
        return Result(PictureFormat::Bmp, (sizes.Fail(HeaderVerdict::Malformed), sizes));
    std::int64_t w = 0, h = 0;
    if (headerSize == 12) {  // the old core header: 16-bit sides, never compressed
        if (!bytes.Read(18, 2, false, width) || !bytes.Read(20, 2, false, height) ||
            !bytes.Read(24, 2, false, bitCount))
            return Result(PictureFormat::Bmp, (sizes.Fail(HeaderVerdict::Malformed), sizes));
        w = width, h = height;
    } else if (headerSize >= 40) {  // any later header starts as the 40-byte one, as GDI reads it
        if (!bytes.Read(18, 4, false, width) || !bytes.Read(22, 4, false, height) ||
            !bytes.Read(28, 2, false, bitCount) || !bytes.Read(30, 4, false, compression))
            return Result(PictureFormat::Bmp, (sizes.Fail(HeaderVerdict::Malformed), sizes));
        w = Signed32(width), h = Signed32(height);
    } else {
        return Result(PictureFormat::Bmp, (sizes.Fail(HeaderVerdict::Malformed), sizes));
    }
    const bool topDown = h < 0;
    if (topDown) h = -h;
    // Uncompressed (with or without bit fields) or run lengths of the one depth each is for, bottom-up.
    const bool uncompressed =
        compression == 0 || ((compression == 3 || compression == 6) && (bitCount == 16 || bitCount == 32));
    const bool runLengths = !topDown && ((compression == 1 && bitCount == 8) || (compression == 2 && bitCount == 4));
    const bool depthKnown =
        bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
    if (!depthKnown || (!uncompressed && !runLengths))
        return Result(PictureFormat::Bmp, (sizes.Fail(HeaderVerdict::Malformed), sizes));
    if (!sizes.Add(w, h)) return Result(PictureFormat::Bmp, sizes);
    const std::uint64_t stride = (static_cast<std::uint64_t>(w) * bitCount + 31) / 32 * 4;
    if (uncompressed && !bytes.Has(pixelsAt, stride * static_cast<std::uint64_t>(h)))
        sizes.Fail(HeaderVerdict::Malformed);
    return Result(PictureFormat::Bmp, sizes);
}

bool IsFrameHeader(std::uint32_t marker) {
    // SOF0 to SOF15 but DHT (C4), JPG (C8) and DAC (CC); DHP (DE) gives a hierarchical picture's size.
    return (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) || marker == 0xDE;
}

// Every frame header, found by walking the segments as libjpeg reads them:
// before each marker it skips any bytes but 0xFF, fill bytes, and a 0xFF
// followed by 0. That same walk steps over a scan's coded data (stuffed zeros,
// restarts). A height of 0 (given later by a DNL segment) is refused.
PictureHeader CheckJpeg(const Bytes& bytes) {
    Sizes sizes;
    std::uint64_t at = 2;
    for (std::uint32_t value = 0, marker = 0;;) {
        bool found = false;
        while (!found && bytes.Has(at, 1)) {
            while (bytes.Byte(at, value) && value != 0xFF) ++at;
            while (bytes.Byte(at, value) && value == 0xFF) ++at;
            found = bytes.Byte(at++, marker) && marker != 0;
        }
        if (!found || marker == 0xD9) break;
        if ((marker >= 0xD0 && marker <= 0xD8) || marker == 0x01) continue;  // no length
        std::uint32_t length = 0;
        if (!bytes.Read(at, 2, true, length) || length < 2 || !bytes.Has(at, length))
            return Result(PictureFormat::Jpeg, (sizes.Fail(HeaderVerdict::Malformed), sizes));
        if (IsFrameHeader(marker)) {
            std::uint32_t height = 0, width = 0;
            if (length < 8 || !bytes.Read(at + 3, 2, true, height) || !bytes.Read(at + 5, 2, true, width) ||
                !sizes.Add(width, height))
                return Result(PictureFormat::Jpeg, (sizes.Fail(HeaderVerdict::Malformed), sizes));
        }
        if (marker == 0xDA && !sizes.any)
            return Result(PictureFormat::Jpeg, (sizes.Fail(HeaderVerdict::Malformed), sizes));
        at += length;
    }
    return Result(PictureFormat::Jpeg, sizes);
}

const std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// The image header chunk must come first, complete.
PictureHeader CheckPng(const Bytes& bytes) {
    Sizes sizes;
    std::uint32_t length = 0, width = 0, height = 0;
    if (!bytes.Read(8, 4, true, length) || length != 13 || !bytes.Matches(12, "IHDR", 4) ||
        !bytes.Read(16, 4, true, width) || !bytes.Read(20, 4, true, height) || !bytes.Has(16, 13) ||
        width > 0x7FFFFFFF || height > 0x7FFFFFFF)
        sizes.Fail(HeaderVerdict::Malformed);
    else
        sizes.Add(width, height);
    return Result(PictureFormat::Png, sizes);
}

// Every image of the directory must lie inside the file and have a size in
// range, read from its own header (a PNG's, or the bitmap header whose height
// counts the mask too). The largest is chosen, of equal ones the later.
PictureHeader CheckIcon(const Bytes& bytes) {
    Sizes sizes;
    std::uint32_t count = 0;
    if (!bytes.Read(4, 2, false, count) || count == 0 || !bytes.Has(6, 16ull * count))
        return Result(PictureFormat::Icon, (sizes.Fail(HeaderVerdict::Malformed), sizes));
    std::uint64_t largest = 0;
    std::size_t chosen = 0;
    std::uint32_t chosenWidth = 0, chosenHeight = 0;
    for (std::uint32_t index = 0; index < count; ++index) {
        const std::uint64_t entry = 6 + 16ull * index;
        std::uint32_t length = 0, offset = 0;
        bytes.Read(entry + 8, 4, false, length);
        bytes.Read(entry + 12, 4, false, offset);
        if (!bytes.Has(offset, length))
            return Result(PictureFormat::Icon, (sizes.Fail(HeaderVerdict::Malformed), sizes));
        const Bytes image = bytes.Part(offset, length);
        std::int64_t width = 0, height = 0;
        if (image.Matches(0, kPngSignature, sizeof kPngSignature)) {
            const PictureHeader png = CheckPng(image);
            if (png.verdict != HeaderVerdict::Accepted)
                return Result(PictureFormat::Icon, (sizes.Fail(png.verdict), sizes));
            width = png.width, height = png.height;
        } else {
            std::uint32_t headerSize = 0, w = 0, h = 0, bitCount = 0;
            if (!image.Read(0, 4, false, headerSize) || headerSize < 40 || !image.Read(4, 4, false, w) ||
                !image.Read(8, 4, false, h) || !image.Read(14, 2, false, bitCount) ||
                !(bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
                  bitCount == 32))
                return Result(PictureFormat::Icon, (sizes.Fail(HeaderVerdict::Malformed), sizes));
            // The height counts the color rows and the mask's: both must be in range.
            width = Signed32(w), height = Signed32(h);
            if (!sizes.Add(width, height)) return Result(PictureFormat::Icon, sizes);
            height = (height + 1) / 2;
        }
        if (!sizes.Add(width, height)) return Result(PictureFormat::Icon, sizes);
        const std::uint64_t area = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
        if (area >= largest) {
            largest = area, chosen = index;
            chosenWidth = static_cast<std::uint32_t>(width), chosenHeight = static_cast<std::uint32_t>(height);
        }
    }
    PictureHeader header = Result(PictureFormat::Icon, sizes);
    if (header.verdict == HeaderVerdict::Accepted)
        header.width = chosenWidth, header.height = chosenHeight, header.iconImage = chosen;
    return header;
}

// The first directory's ImageWidth (256) and ImageLength (257), SHORT or LONG;
// of a tag given twice the larger value counts.
PictureHeader CheckTiff(const Bytes& bytes, bool bigEndian) {
    Sizes sizes;
    std::uint32_t directory = 0, count = 0;
    if (!bytes.Read(4, 4, bigEndian, directory) || !bytes.Read(directory, 2, bigEndian, count) ||
        !bytes.Has(std::uint64_t{directory} + 2, 12ull * count))
        return Result(PictureFormat::Tiff, (sizes.Fail(HeaderVerdict::Malformed), sizes));
    std::int64_t width = 0, height = 0;
    for (std::uint32_t index = 0; index < count; ++index) {
        const std::uint64_t entry = std::uint64_t{directory} + 2 + 12ull * index;
        std::uint32_t tag = 0, type = 0, values = 0, value = 0;
        bytes.Read(entry, 2, bigEndian, tag);
        if (tag != 256 && tag != 257) continue;
        bytes.Read(entry + 2, 2, bigEndian, type);
        bytes.Read(entry + 4, 4, bigEndian, values);
        if ((type != 3 && type != 4) || values == 0)
            return Result(PictureFormat::Tiff, (sizes.Fail(HeaderVerdict::Malformed), sizes));
        bytes.Read(entry + 8, type == 3 ? 2 : 4, bigEndian, value);
        if (value == 0) return Result(PictureFormat::Tiff, (sizes.Fail(HeaderVerdict::Malformed), sizes));
        std::int64_t& side = tag == 256 ? width : height;
        if (value > side) side = value;
    }
    sizes.Add(width, height);
    return Result(PictureFormat::Tiff, sizes);
}

}  // namespace

bool PictureSizeAcceptable(std::int64_t width, std::int64_t height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) <= kMaxPicturePixels;
}

PictureHeader CheckPictureHeader(const std::uint8_t* data, std::size_t size) {
    const Bytes bytes(data, data ? size : 0);
    // The OLE picture object and libgif take any version after "GIF".
    if (bytes.Matches(0, "GIF", 3)) return CheckGif(bytes);
    if (bytes.Matches(0, "BM", 2)) return CheckBmp(bytes);
    if (bytes.Matches(0, "\xFF\xD8", 2)) return CheckJpeg(bytes);
    if (bytes.Matches(0, kPngSignature, sizeof kPngSignature)) return CheckPng(bytes);
    // Cursors have the icon's directory; decoders that take them read it alike.
    if (bytes.Matches(0, "\0\0\1\0", 4) || bytes.Matches(0, "\0\0\2\0", 4)) return CheckIcon(bytes);
    if (bytes.Matches(0, "II*\0", 4)) return CheckTiff(bytes, false);
    if (bytes.Matches(0, "MM\0*", 4)) return CheckTiff(bytes, true);
    PictureHeader header;
    // A placeable metafile's key (the OLE picture object looks at its first
    // two bytes), or an enhanced metafile's header record and signature.
    std::uint32_t record = 0;
    const bool enhanced = bytes.Read(0, 4, false, record) && record == 1 && bytes.Matches(40, " EMF", 4);
    if (bytes.Matches(0, "\xD7\xCD", 2) || enhanced)
        header.format = PictureFormat::Metafile;
    return header;
}
