// Pictures decoded by the distribution's libraries (libpng, giflib,
// libjpeg-turbo, libtiff) and the core's BMP and icon decoders, to the pixels
// the Windows build's picture object and imaging component give.
#include "platform/picture_decoding.h"

#include <fcntl.h>
#include <gif_lib.h>
#include <jpeglib.h>
#include <png.h>
#include <sys/stat.h>
#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <vector>

#include "core/bmp_decoder.h"
#include "core/picture_header.h"

namespace {

constexpr std::uint32_t kOpaque = 0xFF000000;

// The whole file, read once, its size checked before anything is allocated.
bool ReadPictureFile(const NativePath& path, std::vector<std::uint8_t>& bytes) {
    const int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) return false;
    struct stat status {};
    bool read = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0 &&
                static_cast<std::uint64_t>(status.st_size) <= kMaxPictureFileBytes;
    if (read) bytes.resize(static_cast<std::size_t>(status.st_size));
    for (std::size_t done = 0; read && done < bytes.size();) {
        const ssize_t got = ::read(descriptor, bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR) continue;
        read = got > 0;
        if (read) done += static_cast<std::size_t>(got);
    }
    close(descriptor);
    return read;
}

bool Allocate(DecodedPicture& picture, std::uint32_t width, std::uint32_t height, std::uint32_t fill) {
    if (!PictureSizeAcceptable(width, height)) return false;
    picture.width = static_cast<std::int32_t>(width);
    picture.height = static_cast<std::int32_t>(height);
    picture.pixels.assign(static_cast<std::size_t>(width) * height, fill);
    return true;
}

// ---- PNG, as the imaging component reads it: 16-bit samples cut to their high
// byte, low depths widened, tRNS as alpha, no gamma.

struct PngSource {
    const std::uint8_t* data;
    std::size_t size, at;
};

void ReadPngBytes(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (length > source->size - source->at) png_error(png, "truncated");
    std::memcpy(out, source->data + source->at, length);
    source->at += length;
}

void IgnorePngWarning(png_structp, png_const_charp) {}

// Quietly back to the setjmp: the tool says what failed in its own words.
void FailPng(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// No C++ object lives in this frame across libpng's long jump; memory is
// taken once the header's size is known (an exception leaves it normally).
bool ReadPng(png_structp png, png_infop info, PngSource* source, DecodedPicture* picture,
             std::vector<png_bytep>* rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, source, ReadPngBytes);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    if (!PictureSizeAcceptable(width, height)) return false;
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != std::size_t{width} * 4) return false;
    picture->width = static_cast<std::int32_t>(width);
    picture->height = static_cast<std::int32_t>(height);
    picture->pixels.resize(std::size_t{width} * height);  // may throw: not across the jump
    rows->resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        (*rows)[y] = reinterpret_cast<png_bytep>(picture->pixels.data() + std::size_t{y} * width);
    png_read_image(png, rows->data());
    return true;
}

bool DecodePng(const std::uint8_t* data, std::size_t size, DecodedPicture& picture) {
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, FailPng, IgnorePngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    PngSource source{data, size, 0};
    std::vector<png_bytep> rows;
    bool decoded = false;
    try {
        decoded = info && ReadPng(png, info, &source, &picture, &rows);
    } catch (...) {
        png_destroy_read_struct(&png, &info, nullptr);
        throw;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    // Little-endian BGRA bytes are 0xAARRGGBB.
    picture.hasAlpha = true;
    picture.premultiplied = false;
    return decoded;
}

// ---- GIF: the first frame only, by its own size, its transparent index as
// the picture object leaves it: undrawn, so the background shows.

struct GifSource {
    const std::uint8_t* data;
    std::size_t size, at;
};

int ReadGifBytes(GifFileType* gif, GifByteType* out, int length) {
    auto* source = static_cast<GifSource*>(gif->UserData);
    const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(length), source->size - source->at);
    std::memcpy(out, source->data + source->at, count);
    source->at += count;
    return static_cast<int>(count);
}

// Rows of an interlaced frame come in four passes.
std::vector<int> GifRowOrder(int height, bool interlaced) {
    std::vector<int> order;
    if (!interlaced) {
        for (int y = 0; y < height; ++y) order.push_back(y);
        return order;
    }
    static const int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass]) order.push_back(y);
    return order;
}

bool ReadFirstGifFrame(GifFileType* gif, DecodedPicture& picture) {
    int transparent = -1;
    for (GifRecordType record = UNDEFINED_RECORD_TYPE; record != TERMINATE_RECORD_TYPE;) {
        if (DGifGetRecordType(gif, &record) == GIF_ERROR) return false;
        if (record == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR) return false;
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
                GraphicsControlBlock control{};
                if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
                    transparent = control.TransparentColor;
            }
            while (block)
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR) return false;
            continue;
        }
        if (record != IMAGE_DESC_RECORD_TYPE) continue;
        if (DGifGetImageDesc(gif) == GIF_ERROR) return false;
        const GifImageDesc& frame = gif->Image;
        const ColorMapObject* colors = frame.ColorMap ? frame.ColorMap : gif->SColorMap;
        if (frame.Width <= 0 || frame.Height <= 0 ||
            !Allocate(picture, static_cast<std::uint32_t>(frame.Width), static_cast<std::uint32_t>(frame.Height),
                      kOpaque))
            return false;
        std::vector<std::uint32_t> palette(256, kOpaque);
        for (int i = 0; colors && i < colors->ColorCount && i < 256; ++i) {
            const GifColorType& c = colors->Colors[i];
            palette[static_cast<std::size_t>(i)] = kOpaque | std::uint32_t{c.Red} << 16 | std::uint32_t{c.Green} << 8 | c.Blue;
        }
        if (transparent >= 0 && transparent < 256) palette[static_cast<std::size_t>(transparent)] &= 0xFFFFFF;
        std::vector<GifPixelType> line(static_cast<std::size_t>(frame.Width));
        for (const int y : GifRowOrder(frame.Height, frame.Interlace)) {
            // A frame whose data ends early keeps what it decoded.
            if (DGifGetLine(gif, line.data(), frame.Width) == GIF_ERROR) break;
            std::uint32_t* out = picture.pixels.data() + static_cast<std::size_t>(y) * frame.Width;
            for (int x = 0; x < frame.Width; ++x) out[x] = palette[line[static_cast<std::size_t>(x)]];
        }
        return true;
    }
    return false;
}

bool DecodeGif(const std::uint8_t* data, std::size_t size, DecodedPicture& picture) {
    GifSource source{data, size, 0};
    int error = 0;
    GifFileType* gif = DGifOpen(&source, ReadGifBytes, &error);
    if (!gif) return false;
    bool decoded = false;
    try {
        decoded = ReadFirstGifFrame(gif, picture);
    } catch (...) {
        DGifCloseFile(gif, &error);
        throw;
    }
    DGifCloseFile(gif, &error);
    picture.hasAlpha = false;  // the picture object gives no alpha
    return decoded;
}

// ---- JPEG: libjpeg-turbo's defaults, as the imaging component's decoder.

struct JpegFailure {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void FailJpeg(j_common_ptr decoder) { std::longjmp(reinterpret_cast<JpegFailure*>(decoder->err)->jump, 1); }

void IgnoreJpegMessage(j_common_ptr) {}

// No C++ object lives in this frame across the long jump; the picture is
// sized through `sized`, which throws nothing, before any row is read.
bool ReadJpeg(jpeg_decompress_struct* decoder, JpegFailure* failure, const std::uint8_t* data, std::size_t size,
              DecodedPicture* picture, std::uint8_t* (*sized)(DecodedPicture*, std::uint32_t, std::uint32_t)) {
    if (setjmp(failure->jump)) return false;
    jpeg_mem_src(decoder, data, static_cast<unsigned long>(size));
    jpeg_read_header(decoder, TRUE);
    if (decoder->jpeg_color_space == JCS_CMYK || decoder->jpeg_color_space == JCS_YCCK) return false;
    decoder->out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(decoder);
    std::uint8_t* rows = sized(picture, decoder->output_width, decoder->output_height);
    if (!rows) return false;
    while (decoder->output_scanline < decoder->output_height) {
        JSAMPROW row = rows + std::size_t{decoder->output_scanline} * decoder->output_width * 4;
        jpeg_read_scanlines(decoder, &row, 1);
    }
    jpeg_finish_decompress(decoder);
    return true;
}

std::uint8_t* SizeJpegPicture(DecodedPicture* picture, std::uint32_t width, std::uint32_t height) {
    try {
        if (!Allocate(*picture, width, height, kOpaque)) return nullptr;
    } catch (...) {
        return nullptr;
    }
    return reinterpret_cast<std::uint8_t*>(picture->pixels.data());
}

bool DecodeJpeg(const std::uint8_t* data, std::size_t size, DecodedPicture& picture) {
    jpeg_decompress_struct decoder{};
    JpegFailure failure{};
    decoder.err = jpeg_std_error(&failure.manager);
    failure.manager.error_exit = FailJpeg;
    failure.manager.output_message = IgnoreJpegMessage;
    jpeg_create_decompress(&decoder);
    const bool decoded = ReadJpeg(&decoder, &failure, data, size, &picture, SizeJpegPicture);
    jpeg_destroy_decompress(&decoder);
    picture.hasAlpha = false;
    return decoded;
}

// ---- TIFF, from memory.

struct TiffSource {
    const std::uint8_t* data;
    std::size_t size;
    toff_t at;
};

tsize_t ReadTiffBytes(thandle_t handle, tdata_t out, tsize_t length) {
    auto* source = static_cast<TiffSource*>(handle);
    if (source->at >= source->size) return 0;
    const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(length), source->size - source->at);
    std::memcpy(out, source->data + source->at, count);
    source->at += count;
    return static_cast<tsize_t>(count);
}
tsize_t WriteNoTiffBytes(thandle_t, tdata_t, tsize_t) { return 0; }
toff_t SeekTiff(thandle_t handle, toff_t offset, int whence) {
    auto* source = static_cast<TiffSource*>(handle);
    const toff_t base = whence == SEEK_CUR ? source->at : whence == SEEK_END ? source->size : 0;
    return source->at = base + offset;
}
int CloseTiff(thandle_t) { return 0; }
toff_t SizeOfTiff(thandle_t handle) { return static_cast<TiffSource*>(handle)->size; }
int MapNoTiff(thandle_t, tdata_t*, toff_t*) { return 0; }
void UnmapNoTiff(thandle_t, tdata_t, toff_t) {}

// 8-bit RGB or grey in strips, read as stored so unassociated alpha stays
// straight; anything else through libtiff's RGBA reader (premultiplied).
bool ReadTiff(TIFF* tiff, DecodedPicture& picture) {
    std::uint32_t width = 0, height = 0;
    std::uint16_t bits = 8, samples = 1, photometric = 0, planar = PLANARCONFIG_CONTIG, extraCount = 0;
    std::uint16_t* extra = nullptr;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_EXTRASAMPLES, &extraCount, &extra);
    if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric) || !Allocate(picture, width, height, kOpaque))
        return false;
    picture.hasAlpha = true;
    const bool colors = photometric == PHOTOMETRIC_RGB && (samples == 3 || samples == 4);
    const bool grey = photometric == PHOTOMETRIC_MINISBLACK && (samples == 1 || samples == 2);
    if (bits == 8 && planar == PLANARCONFIG_CONTIG && !TIFFIsTiled(tiff) && (colors || grey)) {
        const bool alpha = samples == 4 || samples == 2;
        picture.premultiplied = alpha && extraCount > 0 && extra && extra[0] == EXTRASAMPLE_ASSOCALPHA;
        if (TIFFScanlineSize(tiff) != static_cast<tmsize_t>(std::size_t{width} * samples)) return false;
        std::vector<std::uint8_t> line(std::size_t{width} * samples);
        for (std::uint32_t y = 0; y < height; ++y) {
            if (TIFFReadScanline(tiff, line.data(), y, 0) < 0) return false;
            std::uint32_t* out = picture.pixels.data() + std::size_t{y} * width;
            for (std::uint32_t x = 0; x < width; ++x) {
                const std::uint8_t* in = line.data() + std::size_t{x} * samples;
                const std::uint32_t red = in[0], green = colors ? in[1] : in[0], blue = colors ? in[2] : in[0];
                const std::uint32_t a = alpha ? in[samples - 1] : 0xFF;
                out[x] = a << 24 | red << 16 | green << 8 | blue;
            }
        }
        return true;
    }
    std::vector<std::uint32_t> abgr(std::size_t{width} * height);
    if (!TIFFReadRGBAImageOriented(tiff, width, height, abgr.data(), ORIENTATION_TOPLEFT, 0)) return false;
    picture.premultiplied = extraCount > 0;
    for (std::size_t i = 0; i < abgr.size(); ++i) {
        const std::uint32_t p = abgr[i];
        picture.pixels[i] = (p & 0xFF00FF00) | (p & 0xFF) << 16 | (p >> 16 & 0xFF);
    }
    return true;
}

void IgnoreTiffMessage(const char*, const char*, va_list) {}

bool DecodeTiff(const std::uint8_t* data, std::size_t size, DecodedPicture& picture) {
    TIFFSetErrorHandler(IgnoreTiffMessage);
    TIFFSetWarningHandler(IgnoreTiffMessage);
    TiffSource source{data, size, 0};
    TIFF* tiff = TIFFClientOpen("picture", "rm", &source, ReadTiffBytes, WriteNoTiffBytes, SeekTiff, CloseTiff,
                                SizeOfTiff, MapNoTiff, UnmapNoTiff);
    if (!tiff) return false;
    bool decoded = false;
    try {
        decoded = ReadTiff(tiff, picture);
    } catch (...) {
        TIFFClose(tiff);
        throw;
    }
    TIFFClose(tiff);
    return decoded;
}

bool DecodeIcon(const std::uint8_t* data, std::size_t size, std::size_t image, DecodedPicture& picture) {
    const std::uint8_t* png = nullptr;
    std::size_t pngSize = 0;
    if (!DecodeIconImage(data, size, image, picture, png, pngSize) || (png && !DecodePng(png, pngSize, picture)))
        return false;
    // The Windows build's imaging component takes icons only: a cursor is
    // drawn by the picture object, which gives no alpha.
    picture.hasAlpha = picture.hasAlpha && data[2] == 1;
    return true;
}

}  // namespace

bool DecodePictureFile(const NativePath& path, std::uint32_t background, PicturePixels& picture) {
    std::vector<std::uint8_t> bytes;
    if (!ReadPictureFile(path, bytes)) return false;
    const PictureHeader header = CheckPictureHeader(bytes.data(), bytes.size());
    if (header.verdict != HeaderVerdict::Accepted) return false;
    DecodedPicture decoded;
    bool done = false;
    switch (header.format) {
    case PictureFormat::Gif: done = DecodeGif(bytes.data(), bytes.size(), decoded); break;
    case PictureFormat::Bmp: done = DecodeBmp(bytes.data(), bytes.size(), decoded); break;
    case PictureFormat::Jpeg: done = DecodeJpeg(bytes.data(), bytes.size(), decoded); break;
    case PictureFormat::Png: done = DecodePng(bytes.data(), bytes.size(), decoded); break;
    case PictureFormat::Icon: done = DecodeIcon(bytes.data(), bytes.size(), header.iconImage, decoded); break;
    case PictureFormat::Tiff: done = DecodeTiff(bytes.data(), bytes.size(), decoded); break;
    case PictureFormat::Metafile:
    case PictureFormat::Unknown: break;  // no decoder here draws metafiles or sniffs unknown bytes
    }
    if (!done || !PictureSizeAcceptable(decoded.width, decoded.height)) return false;
    picture = ComposePicture(decoded, background);
    return true;
}
