#include "core/bmp_decoder.h"

#include <algorithm>
#include <cstring>

#include "core/picture_header.h"

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000;

class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool Has(std::uint64_t at, std::uint64_t count) const { return at <= size_ && count <= size_ - at; }
    std::uint32_t Get(std::uint64_t at, int count) const {
        std::uint32_t value = 0;
        for (int i = count - 1; i >= 0; --i) value = value << 8 | data_[at + static_cast<std::uint64_t>(i)];
        return value;
    }
    const std::uint8_t* At(std::uint64_t at) const { return data_ + at; }
    std::size_t size() const { return size_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

// A field of a bit-field pixel widened to 8 bits as the platform's conversion
// does it: its bits at the top of the byte, repeated once below.
struct Field {
    int shift = 0;
    int length = 0;
    explicit Field(std::uint32_t mask = 0) {
        if (!mask) return;
        while (!(mask & 1)) mask >>= 1, ++shift;
        while (mask & 1) mask >>= 1, ++length;
    }
    std::uint32_t Of(std::uint32_t pixel) const {
        if (!length) return 0;
        std::uint32_t value = pixel >> shift & ((length >= 32 ? 0 : 1u << length) - 1);
        if (length >= 8) return value >> (length - 8) & 0xFF;
        value <<= 8 - length;
        return (value | value >> length) & 0xFF;
    }
};

struct Dib {
    std::int32_t width = 0, height = 0;
    bool topDown = false;
    std::uint32_t bitCount = 0, compression = 0;
    std::vector<std::uint32_t> palette;  // 0xFFRRGGBB
    Field red, green, blue;
    std::uint64_t colorsEnd = 0;  // where the colors end in the reader
};

// The bitmap header at `at`, its masks and its colors.
bool ReadDib(const Reader& bytes, std::uint64_t at, Dib& dib) {
    if (!bytes.Has(at, 4)) return false;
    const std::uint32_t headerSize = bytes.Get(at, 4);
    std::uint32_t colorsUsed = 0, entrySize = 4;
    if (headerSize == 12) {
        if (!bytes.Has(at, 12)) return false;
        dib.width = static_cast<std::int32_t>(bytes.Get(at + 4, 2));
        dib.height = static_cast<std::int32_t>(bytes.Get(at + 6, 2));
        dib.bitCount = bytes.Get(at + 10, 2);
        entrySize = 3;
    } else {
        if (headerSize < 40 || !bytes.Has(at, headerSize)) return false;
        dib.width = static_cast<std::int32_t>(bytes.Get(at + 4, 4));
        dib.height = static_cast<std::int32_t>(bytes.Get(at + 8, 4));
        dib.bitCount = bytes.Get(at + 14, 2);
        dib.compression = bytes.Get(at + 16, 4);
        colorsUsed = bytes.Get(at + 32, 4);
    }
    if (dib.height < 0) dib.topDown = true, dib.height = -dib.height;
    std::uint64_t colors = at + headerSize;
    std::uint32_t masks[3] = {0x7C00, 0x3E0, 0x1F};
    if (dib.bitCount == 24 || dib.bitCount == 32) masks[0] = 0xFF0000, masks[1] = 0xFF00, masks[2] = 0xFF;
    if (dib.compression == 3 || dib.compression == 6) {
        // Masks in a larger header, else right after the small one.
        const std::uint64_t masksAt = headerSize >= 52 ? at + 40 : colors;
        if (!bytes.Has(masksAt, 12)) return false;
        for (int i = 0; i < 3; ++i) masks[i] = bytes.Get(masksAt + 4u * i, 4);
        if (headerSize < 52) colors += dib.compression == 6 ? 16 : 12;
    }
    dib.red = Field(masks[0]), dib.green = Field(masks[1]), dib.blue = Field(masks[2]);
    if (dib.bitCount <= 8) {
        const std::uint32_t most = 1u << dib.bitCount;
        const std::uint32_t count = colorsUsed == 0 || colorsUsed > most ? most : colorsUsed;
        if (!bytes.Has(colors, std::uint64_t{count} * entrySize)) return false;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint64_t entry = colors + std::uint64_t{i} * entrySize;
            dib.palette.push_back(kOpaque | bytes.Get(entry, 3));
        }
        colors += std::uint64_t{count} * entrySize;
    } else if (colorsUsed < (1u << 24)) {
        colors += std::uint64_t{colorsUsed} * entrySize;
    }
    dib.colorsEnd = colors;
    return PictureSizeAcceptable(dib.width, dib.height);
}

std::uint32_t PaletteColor(const Dib& dib, std::uint32_t index) {
    return index < dib.palette.size() ? dib.palette[index] : kOpaque;
}

// One stored row (bottom-up unless the header says otherwise) into `out`.
void DecodeRow(const Dib& dib, const std::uint8_t* row, std::uint32_t* out) {
    const std::uint32_t bits = dib.bitCount;
    for (std::int32_t x = 0; x < dib.width; ++x) {
        std::uint32_t pixel = 0;
        if (bits <= 8) {
            const std::uint64_t bit = static_cast<std::uint64_t>(x) * bits;
            const std::uint32_t index = row[bit / 8] >> (8 - bits - bit % 8) & ((1u << bits) - 1);
            out[x] = PaletteColor(dib, index);
            continue;
        }
        const std::uint8_t* at = row + static_cast<std::size_t>(x) * (bits / 8);
        for (std::uint32_t i = 0; i < bits / 8; ++i) pixel |= std::uint32_t{at[i]} << (8 * i);
        out[x] = kOpaque | dib.red.Of(pixel) << 16 | dib.green.Of(pixel) << 8 | dib.blue.Of(pixel);
    }
}

std::uint64_t StrideOf(const Dib& dib) { return (static_cast<std::uint64_t>(dib.width) * dib.bitCount + 31) / 32 * 4; }

bool DecodeUncompressed(const Reader& bytes, std::uint64_t bitsAt, const Dib& dib, DecodedPicture& picture) {
    const std::uint64_t stride = StrideOf(dib);
    if (!bytes.Has(bitsAt, stride * static_cast<std::uint64_t>(dib.height))) return false;
    for (std::int32_t stored = 0; stored < dib.height; ++stored) {
        const std::int32_t y = dib.topDown ? stored : dib.height - 1 - stored;
        DecodeRow(dib, bytes.At(bitsAt + stride * static_cast<std::uint64_t>(stored)),
                  picture.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(dib.width));
    }
    return true;
}

// Run lengths of 8 or 4 bits a pixel, bottom row first. Pixels the runs skip
// (by a delta, a row or the data ending early) stay black.
void DecodeRunLengths(const Reader& bytes, std::uint64_t at, const Dib& dib, DecodedPicture& picture) {
    const bool four = dib.bitCount == 4;
    std::int64_t x = 0, row = 0;
    const auto put = [&](std::uint32_t index) {
        if (x < dib.width && row < dib.height)
            picture.pixels[static_cast<std::size_t>(dib.height - 1 - row) * static_cast<std::size_t>(dib.width) +
                           static_cast<std::size_t>(x)] = PaletteColor(dib, index);
        ++x;
    };
    while (row < dib.height && bytes.Has(at, 2)) {
        const std::uint32_t count = bytes.Get(at, 1), value = bytes.Get(at + 1, 1);
        at += 2;
        if (count > 0) {
            for (std::uint32_t i = 0; i < count && x < dib.width; ++i)
                put(four ? (i % 2 ? value & 0xF : value >> 4) : value);
        } else if (value == 0) {
            x = 0, ++row;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            if (!bytes.Has(at, 2)) break;
            x += bytes.Get(at, 1), row += bytes.Get(at + 1, 1);
            at += 2;
        } else {
            const std::uint64_t length = four ? (value + 3) / 4 * 2 : (value + 1) / 2 * 2;
            if (!bytes.Has(at, length)) break;
            for (std::uint32_t i = 0; i < value; ++i) {
                const std::uint32_t byte = bytes.Get(at + (four ? i / 2 : i), 1);
                put(four ? (i % 2 ? byte & 0xF : byte >> 4) : byte);
            }
            at += length;
        }
    }
}

void Allocate(const Dib& dib, DecodedPicture& picture, std::uint32_t fill) {
    picture.width = dib.width;
    picture.height = dib.height;
    picture.pixels.assign(static_cast<std::size_t>(dib.width) * static_cast<std::size_t>(dib.height), fill);
    picture.hasAlpha = false;
    picture.premultiplied = false;
}

}  // namespace

bool DecodeBmp(const std::uint8_t* data, std::size_t size, DecodedPicture& picture) {
    const Reader bytes(data, size);
    Dib dib;
    if (!bytes.Has(0, 14) || !ReadDib(bytes, 14, dib)) return false;
    const std::uint64_t bitsAt = bytes.Get(10, 4);
    const bool runLengths = (dib.compression == 1 && dib.bitCount == 8) || (dib.compression == 2 && dib.bitCount == 4);
    if (runLengths) {
        if (dib.topDown) return false;
        Allocate(dib, picture, kOpaque);
        DecodeRunLengths(bytes, bitsAt, dib, picture);
        return true;
    }
    const bool fields = dib.compression == 3 || dib.compression == 6;
    if (dib.compression != 0 && !(fields && (dib.bitCount == 16 || dib.bitCount == 32))) return false;
    Allocate(dib, picture, kOpaque);
    return DecodeUncompressed(bytes, bitsAt, dib, picture);
}

bool DecodeIconDib(const std::uint8_t* data, std::size_t size, DecodedPicture& picture) {
    const Reader bytes(data, size);
    Dib dib;
    if (!ReadDib(bytes, 0, dib) || dib.topDown || (dib.compression != 0 && dib.compression != 3)) return false;
    dib.height = (dib.height + 1) / 2;  // the color rows; the mask's follow them
    if (dib.height == 0 || dib.bitCount == 0) return false;
    Allocate(dib, picture, kOpaque);
    const std::uint64_t colorBytes = StrideOf(dib) * static_cast<std::uint64_t>(dib.height);
    if (!DecodeUncompressed(bytes, dib.colorsEnd, dib, picture)) return false;
    bool anyAlpha = false;
    if (dib.bitCount == 32) {
        // The fourth byte of each pixel, read again: DecodeRow made them opaque.
        const std::uint64_t stride = StrideOf(dib);
        for (std::int32_t stored = 0; stored < dib.height; ++stored) {
            const std::uint8_t* row = bytes.At(dib.colorsEnd + stride * static_cast<std::uint64_t>(stored));
            std::uint32_t* out = picture.pixels.data() + static_cast<std::size_t>(dib.height - 1 - stored) * dib.width;
            for (std::int32_t x = 0; x < dib.width; ++x) {
                const std::uint32_t alpha = row[4 * static_cast<std::size_t>(x) + 3];
                anyAlpha = anyAlpha || alpha != 0;
                out[x] = (out[x] & 0xFFFFFF) | alpha << 24;
            }
        }
    }
    picture.hasAlpha = true;
    if (anyAlpha) return true;
    const std::uint64_t maskAt = dib.colorsEnd + colorBytes;
    const std::uint64_t maskStride = (static_cast<std::uint64_t>(dib.width) + 31) / 32 * 4;
    const bool maskHeld = bytes.Has(maskAt, maskStride * static_cast<std::uint64_t>(dib.height));
    for (std::int32_t stored = 0; stored < dib.height; ++stored) {
        std::uint32_t* out = picture.pixels.data() + static_cast<std::size_t>(dib.height - 1 - stored) * dib.width;
        const std::uint8_t* mask = maskHeld ? bytes.At(maskAt + maskStride * static_cast<std::uint64_t>(stored)) : nullptr;
        for (std::int32_t x = 0; x < dib.width; ++x) {
            const bool transparent = mask && (mask[x / 8] >> (7 - x % 8) & 1);
            out[x] = transparent ? 0 : out[x] | kOpaque;
        }
    }
    return true;
}

bool DecodeIconImage(const std::uint8_t* data, std::size_t size, std::size_t index, DecodedPicture& picture,
                     const std::uint8_t*& pngData, std::size_t& pngSize) {
    const Reader bytes(data, size);
    pngData = nullptr, pngSize = 0;
    const std::uint64_t entry = 6 + 16 * static_cast<std::uint64_t>(index);
    if (!bytes.Has(entry, 16)) return false;
    const std::uint32_t length = bytes.Get(entry + 8, 4), offset = bytes.Get(entry + 12, 4);
    if (!bytes.Has(offset, length)) return false;
    static const std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (length >= sizeof kPng && std::memcmp(data + offset, kPng, sizeof kPng) == 0) {
        pngData = data + offset, pngSize = length;
        return true;
    }
    return DecodeIconDib(data + offset, length, picture);
}
