#include "core/picture_header.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Pack(std::uint32_t value, int bytes, bool bigEndian) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> 8 * (bigEndian ? bytes - 1 - i : i) & 0xFF);
    return out;
}
std::string Le(std::uint32_t value, int bytes) { return Pack(value, bytes, false); }
std::string Be(std::uint32_t value, int bytes) { return Pack(value, bytes, true); }

struct Side { std::uint32_t width, height; };

// A GIF whose frames each carry a control extension and one pixel of data.
std::string Gif(Side screen, const std::vector<Side>& frames, const std::string& end = ";") {
    std::string gif = "GIF89a" + Le(screen.width, 2) + Le(screen.height, 2) + '\x80' + Le(0, 2) + std::string(6, 'A');
    for (const Side& frame : frames)
        gif += std::string("!\xF9\x04\0\0\0\0\0,\0\0\0\0", 13) + Le(frame.width, 2) + Le(frame.height, 2) +
               std::string("\0\x02\x02\x4C\x01\0", 6);
    return gif + end;
}

std::string Bmp(std::int32_t width, std::int32_t height, int bits, int compression, std::size_t pixelBytes) {
    return "BM" + Le(0, 8) + Le(54, 4) + Le(40, 4) + Le(width, 4) + Le(height, 4) + Le(1, 2) + Le(bits, 2) +
           Le(compression, 4) + Le(0, 20) + std::string(pixelBytes, '\0');
}

std::string Segment(int m, const std::string& b) { return std::string{'\xFF', char(m)} + Be(b.size() + 2, 2) + b; }
std::string Frame(Side s) { return Segment(0xC0, "\x08" + Be(s.height, 2) + Be(s.width, 2) + "\x01\x01\x11" + '\0'); }
// A scan whose coded data holds a stuffed 0xFF, a restart and fill bytes before the next marker.
const std::string kScan =
    Segment(0xDA, std::string("\x01\x01\0\0\x3F\0", 6)) + std::string("\x12\xFF\0\x34\xFF\xD0\x56\xFF\xFF", 9);

std::string Png(Side s) {
    return "\x89PNG\r\n\x1A\n" + Be(13, 4) + "IHDR" + Be(s.width, 4) + Be(s.height, 4) + "\b\6" + Le(0, 7);
}

// An icon (or a cursor, type 2) of the given images, each a PNG or a bitmap header (height with the mask's rows;
// one plane of 32 bits).
std::string Icon(const std::vector<std::string>& images, std::uint32_t lengthPastEnd = 0, int type = 1) {
    std::string directory = Le(0, 2) + Le(type, 2) + Le(images.size(), 2), data;
    for (const std::string& image : images) {
        directory += Le(0, 4) + Le(1, 2) + Le(32, 2) + Le(image.size() + lengthPastEnd, 4) +
                     Le(6 + 16 * images.size() + data.size(), 4);
        data += image;
    }
    return directory + data;
}
std::string IconBmp(Side s) { return Le(40, 4) + Le(s.width, 4) + Le(2 * s.height, 4) + Le(0x200001, 4) + Le(0, 24); }

std::string Tiff(bool bigEndian, Side side, int type) {
    auto pack = [bigEndian](std::uint32_t value, int bytes) { return Pack(value, bytes, bigEndian); };
    auto entry = [&](int tag, std::uint32_t v) {  // a SHORT value fills the field's first two bytes
        return pack(tag, 2) + pack(type, 2) + pack(1, 4) + pack(type == 3 && bigEndian ? v << 16 : v, 4); };
    return (bigEndian ? std::string("MM\0*", 4) : std::string("II*\0", 4)) + pack(8, 4) + pack(3, 2) +
           entry(256, side.width) + entry(277, 4) + entry(257, side.height) + pack(0, 4);
}

const auto kAccepted = HeaderVerdict::Accepted, kTooLarge = HeaderVerdict::TooLarge,
           kMalformed = HeaderVerdict::Malformed;

// Each format in range, past the limit (on a side, or in pixels with both sides in range), and lying or cut short.
// Of an icon only the largest image is decoded, of equal ones the later. A metafile is left to the bound on its
// drawn size; unknown bytes meet no decoder that sniffs them.
TEST(PictureHeader, EverySizeAFileClaimsIsCheckedAgainstOneLimit) {
    const std::string gif = Gif({40, 30}, {{40, 30}});
    const std::string jpeg = std::string("\xFF\xD8", 2) + Segment(0xE0, "JFIF") + Frame({640, 480}) + kScan;
    const struct { const char* name; std::string bytes; HeaderVerdict verdict; std::uint32_t width = 0, height = 0;
                   std::size_t image = 0; } cases[] = {
        {"gif", gif, kAccepted, 40, 30},
        {"gif without trailer, cut in its data", gif.substr(0, gif.size() - 3), kAccepted, 40, 30},
        {"gif screen past the limit", Gif({40000, 30}, {{40, 30}}), kTooLarge},
        {"gif of another version past the limit", Gif({40000, 30}, {{40, 30}}).replace(3, 3, "90a"), kTooLarge},
        {"gif second frame past the limit", Gif({40, 30}, {{40, 30}, {8192, 4096}}), kTooLarge},
        {"gif descriptor cut", gif.substr(0, gif.size() - 12), kMalformed},
        {"gif without frames", Gif({40, 30}, {}), kMalformed},
        {"gif with a stray block", Gif({40, 30}, {{4, 3}}, "\x01;"), kMalformed},
        {"bmp bottom-up", Bmp(3, 2, 24, 0, 24), kAccepted, 3, 2},
        {"bmp top-down", Bmp(4096, -4096, 1, 0, 512 * 4096), kAccepted, 4096, 4096},
        {"bmp top-down past the limit", Bmp(4097, -4096, 1, 0, 516 * 4096), kTooLarge},
        {"bmp of a longer header past the limit", Bmp(4097, -4096, 1, 0, 516 * 4096).replace(14, 4, Le(64, 4)), kTooLarge},
        {"bmp that does not hold its rows", Bmp(3, 2, 24, 0, 23), kMalformed},
        {"bmp run lengths", Bmp(30000, 500, 8, 1, 2), kAccepted, 30000, 500},
        {"bmp run lengths of the wrong depth", Bmp(30, 5, 24, 1, 2), kMalformed},
        {"bmp embedded png", Bmp(30, 5, 0, 5, 2), kMalformed},
        {"bmp of depth 7", Bmp(3, 2, 7, 0, 16), kMalformed},
        {"bmp header cut", Bmp(3, 2, 24, 0, 16).substr(0, 30), kMalformed},
        {"jpeg", jpeg, kAccepted, 640, 480},
        {"jpeg second frame past the limit", jpeg + Frame({40000, 40000}) + kScan, kTooLarge},
        // libjpeg skips stray bytes, and a 0xFF before 0, where it looks for a marker.
        {"jpeg after a stray byte past the limit", std::string("\xFF\xD8\0", 3) + Frame({12000, 12000}), kTooLarge},
        {"jpeg with stray bytes", std::string("\xFF\xD8\x12\xFF\0\x34", 6) + Frame({640, 480}) + kScan, kAccepted, 640, 480},
        {"jpeg frame of height 0", std::string("\xFF\xD8", 2) + Frame({640, 0}) + kScan, kMalformed},
        {"jpeg scan before a frame", std::string("\xFF\xD8", 2) + kScan + Frame({640, 480}), kMalformed},
        {"jpeg segment past the end", jpeg.substr(0, 20), kMalformed},
        {"png", Png({10, 7}), kAccepted, 10, 7},
        // A side of exactly 32,768, and one pixel more (2^24 pixels: the bmp top-down above).
        {"png 32768 wide", Png({32768, 512}), kAccepted, 32768, 512},
        {"png 32768 high", Png({512, 32768}), kAccepted, 512, 32768},
        {"png 32769 wide", Png({32769, 1}), kTooLarge},
        {"png 32769 high", Png({1, 32769}), kTooLarge},
        {"png past the limit", Png({4097, 4096}), kTooLarge},
        {"png with another chunk first", Png({10, 7}).replace(12, 4, "tEXt"), kMalformed},
        {"png cut in its header", Png({10, 7}).substr(0, 26), kMalformed},
        {"icon", Icon({IconBmp({16, 16}), Png({32, 32}), IconBmp({32, 32}), Png({8, 8})}), kAccepted, 32, 32, 2},
        {"icon whose png claims 40000 x 40000", Icon({IconBmp({16, 16}), Png({40000, 40000})}), kTooLarge},
        {"icon whose bitmap is past the limit", Icon({IconBmp({16, 16}), IconBmp({4097, 4096})}), kTooLarge},
        {"icon image past the end", Icon({Png({16, 16})}, 1), kMalformed},
        {"cursor directory past the end", Icon({Png({16, 16})}, 0, 2).substr(0, 20), kMalformed},
        {"tiff little-endian short", Tiff(false, {300, 200}, 3), kAccepted, 300, 200},
        {"tiff big-endian short", Tiff(true, {300, 200}, 3), kAccepted, 300, 200},
        {"tiff big-endian long past the limit", Tiff(true, {70000, 2}, 4), kTooLarge},
        {"tiff of another type", Tiff(false, {300, 200}, 5), kMalformed},
        {"tiff directory past the end", Tiff(false, {300, 200}, 3).substr(0, 30), kMalformed},
        {"metafile", "\xD7\xCD\xC6\x9A", HeaderVerdict::Unchecked},
        {"icon of another type", Icon({Png({40000, 40000})}, 0, 3), HeaderVerdict::Unchecked},
    };
    for (const auto& c : cases) {
        const PictureHeader header =
            CheckPictureHeader(reinterpret_cast<const std::uint8_t*>(c.bytes.data()), c.bytes.size());
        EXPECT_EQ(header.verdict, c.verdict) << c.name;
        EXPECT_EQ(std::pair(header.width, header.height), std::pair(c.width, c.height)) << c.name;
        EXPECT_EQ(header.iconImage, c.image) << c.name;
        EXPECT_EQ(header.format == PictureFormat::Metafile, c.name == std::string("metafile")) << c.name;
    }
}

}  // namespace
