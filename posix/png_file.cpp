// PNG files written by libpng into memory, then through the atomic writer.
#include "platform/png_file.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "core/no_throw.h"
#include "platform/tool_files.h"

namespace {

// The encoded bytes, grown with malloc so libpng's callbacks never throw.
struct EncodedBytes {
    std::uint8_t* data = nullptr;
    std::size_t size = 0, room = 0;
    ~EncodedBytes() { std::free(data); }
};

void AppendBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<EncodedBytes*>(png_get_io_ptr(png));
    if (out->size + length > out->room) {
        const std::size_t room = std::max(out->room * 2, out->size + length);
        void* grown = std::realloc(out->data, room);
        if (!grown) png_error(png, "out of memory");
        out->data = static_cast<std::uint8_t*>(grown), out->room = room;
    }
    std::memcpy(out->data + out->size, data, length);
    out->size += length;
}

void IgnoreWarning(png_structp, png_const_charp) {}

// Quietly back to the setjmp: the tool says what failed in its own words.
void FailPng(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Rows of RGBA bytes, made by `fill` one at a time; `rgba` has room for one.
// No C++ object lives in this frame across libpng's long jump.
bool Encode(png_structp png, png_infop info, EncodedBytes* out, std::uint32_t width, std::uint32_t height,
            bool (*fill)(void*, std::uint32_t, png_bytep), void* context, png_bytep rgba) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, out, AppendBytes, nullptr);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (std::uint32_t y = 0; y < height; ++y) {
        if (!fill(context, y, rgba)) return false;
        png_write_row(png, rgba);
    }
    png_write_end(png, info);
    return true;
}

struct Rows {
    const PngRowFiller* fillRow;
    std::vector<std::uint32_t> pixels;
};

bool FillRow(void* context, std::uint32_t y, png_bytep rgba) {
    auto* rows = static_cast<Rows*>(context);
    // The row filler may throw; nothing it throws crosses libpng.
    if (!ResultOrFailure(false, [&] {
            (*rows->fillRow)(y, rows->pixels.data());
            return true;
        }))
        return false;
    for (std::size_t x = 0; x < rows->pixels.size(); ++x) {
        const std::uint32_t pixel = rows->pixels[x];
        rgba[4 * x] = pixel >> 16 & 0xFF, rgba[4 * x + 1] = pixel >> 8 & 0xFF;
        rgba[4 * x + 2] = pixel & 0xFF, rgba[4 * x + 3] = pixel >> 24;
    }
    return true;
}

}  // namespace

bool WritePngFile(const NativePath& path, std::uint32_t width, std::uint32_t height, const PngRowFiller& fillRow) {
    if (width == 0 || height == 0) return false;
    Rows rows{&fillRow, std::vector<std::uint32_t>(width)};
    std::vector<png_byte> rgba(static_cast<std::size_t>(width) * 4);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, FailPng, IgnoreWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    EncodedBytes out;
    const bool encoded = info && Encode(png, info, &out, width, height, FillRow, &rows, rgba.data());
    png_destroy_write_struct(&png, &info);
    return encoded && WriteFileAtomically(path, out.data, out.size);
}
