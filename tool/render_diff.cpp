#include "tool/render_diff.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "core/picture_header.h"
#include "core/region_compare.h"
#include "core/region_export.h"
#include "core/region_rects.h"
#include "platform/picture_decoding.h"
#include "platform/png_file.h"
#include "platform/tool_files.h"

namespace {

// Pixels as the encoder takes them, 0xAARRGGBB: outside fully transparent,
// inside black without a picture; diff's only-A red, only-B blue, both grey.
constexpr std::uint32_t kOutside = 0x00000000, kInside = 0xFF000000;
constexpr std::uint32_t kOnlyInA = 0xFFFF0000, kOnlyInB = 0xFF0000FF, kInBoth = 0xFF808080;
constexpr int kMaxScale = 16;

bool ReadRegion(const ToolPath& path, RegionRects& rects, const ToolFiles& files) {
    const NativePath systemPath = files.systemPath(path);
    if (!files.fileExists(systemPath)) return files.complain(path, "no such file"), false;
    if (!ReadRegionFile(systemPath, rects)) return files.complain(path, "not region data"), false;
    return true;
}

// The picture's area: from (0, 0) to the bounds' right and bottom. Pixels left
// of or above (0, 0) have no place in a picture and are left out.
bool VisibleSize(const RegionRect& bounds, std::int32_t& width, std::int32_t& height) {
    width = std::max(bounds.right, 0);
    height = std::max(bounds.bottom, 0);
    return width > 0 && height > 0;
}

std::uint64_t HiddenPixels(const RegionRects& rects) {
    std::uint64_t visible = 0;
    for (const RegionRect& r : rects)
        if (r.right > 0 && r.bottom > 0)
            visible += std::uint64_t(r.right - std::max(r.left, 0)) * std::uint64_t(r.bottom - std::max(r.top, 0));
    return AreaOf(rects) - visible;
}

// Checks the size before any memory is taken for it: a hostile file's bounds
// may claim 2^31 pixels a side.
bool CheckPictureSize(const ToolPath& path, std::int32_t width, std::int32_t height, int scale,
                      const ToolFiles& files) {
    const std::uint64_t w = std::uint64_t(width) * scale, h = std::uint64_t(height) * scale;
    if (PictureSizeAcceptable(w, h)) return true;
    files.complain(path, "a picture of " + std::to_string(w) + " x " + std::to_string(h) +
                             " pixels is more than is made (" + std::to_string(kMaxPictureSide) + " a side, " +
                             std::to_string(kMaxPicturePixels) + " in all)");
    return false;
}

// Writes the picture whose pixel (x, y) is `sourceRow`'s row y at x, each
// pixel repeated `scale` times both ways. Rows are asked for top first, once.
bool WriteScaledPng(const ToolPath& path, std::int32_t width, std::int32_t height, int scale,
                    const std::function<void(std::int32_t, std::uint32_t*)>& sourceRow, const ToolFiles& files) {
    std::vector<std::uint32_t> source(static_cast<size_t>(width));
    std::int32_t current = -1;
    const std::uint32_t scaledWidth = static_cast<std::uint32_t>(width) * scale;
    return WritePngFile(files.systemPath(path), scaledWidth, static_cast<std::uint32_t>(height) * scale,
                        [&](std::uint32_t y, std::uint32_t* row) {
                            const std::int32_t sourceY = static_cast<std::int32_t>(y / scale);
                            if (sourceY != current) sourceRow(current = sourceY, source.data());
                            for (std::uint32_t x = 0; x < scaledWidth; ++x) row[x] = source[x / scale];
                        });
}

// A picture decoded as build decodes it, read a row at a time.
class PictureRows {
public:
    bool Load(const ToolPath& path, const ToolFiles& files) {
        const NativePath systemPath = files.fullSystemPath(path);
        if (!files.fileExists(systemPath)) return files.complain(path, "no such file"), false;
        if (!DecodePictureFile(systemPath, files.background, picture_))
            return files.complain(path, "could not be decoded as a picture"), false;
        return loaded_ = true;
    }
    bool Loaded() const { return loaded_; }
    // The row's pixels, opaque, up to the picture's width; false below the picture.
    bool ReadRow(std::int32_t y, std::int32_t width, std::uint32_t* row) const {
        if (y >= picture_.height) return false;
        const std::uint32_t* pixels = picture_.colors.data() + static_cast<size_t>(y) * picture_.width;
        for (std::int32_t x = 0; x < std::min(width, picture_.width); ++x) row[x] = pixels[x] | kInside;
        return true;
    }

private:
    PicturePixels picture_;
    bool loaded_ = false;
};

bool ParseScale(const std::string& text, int& scale) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != '\0' || value < 1 || value > kMaxScale) return false;
    scale = static_cast<int>(value);
    return true;
}

// Sorts the words into paths and the values of the options named.
bool ParseWords(const std::vector<ToolPath>& words, const std::vector<std::string>& optionNames,
                std::vector<ToolPath>& paths, std::vector<ToolPath>& values, std::string& problem) {
    values.assign(optionNames.size(), ToolPath());
    for (size_t i = 0; i < words.size(); ++i) {
        const ToolPath& word = words[i];
        if (word.size() < 2 || word[0] != '-') {
            paths.push_back(word);
            continue;
        }
        const auto name = std::find(optionNames.begin(), optionNames.end(), word);
        if (name == optionNames.end()) return problem = "unknown option " + word, false;
        if (i + 1 >= words.size()) return problem = "missing value after " + word, false;
        values[static_cast<size_t>(name - optionNames.begin())] = words[++i];
    }
    return true;
}

}  // namespace

int RenderCommand(const std::vector<ToolPath>& words, const ToolFiles& files) {
    std::vector<ToolPath> paths, values;
    std::string problem;
    if (!ParseWords(words, {"-o", "--picture", "--scale"}, paths, values, problem))
        return files.usageError(problem);
    const ToolPath &output = values[0], &picturePath = values[1];
    if (paths.size() != 1 || output.empty()) return files.usageError("render needs a region file and -o OUT.png");
    int scale = 1;
    if (!values[2].empty() && !ParseScale(values[2], scale))
        return files.usageError("--scale wants a number from 1 to 16");
    RegionRects rects;
    if (!ReadRegion(paths[0], rects, files)) return 1;
    std::int32_t width = 0, height = 0;
    if (!VisibleSize(BoundsOf(rects), width, height))
        return files.complain(paths[0], "has no pixel right of and below (0, 0) to show"), 1;
    if (!CheckPictureSize(paths[0], width, height, scale, files)) return 1;
    PictureRows picture;
    if (!picturePath.empty() && !picture.Load(picturePath, files)) return 1;
    const RegionRects none;
    CoverageRows coverage(rects, none, width);
    std::vector<std::uint8_t> owners(static_cast<size_t>(width));
    std::vector<std::uint32_t> colors(static_cast<size_t>(width), kInside);
    const auto sourceRow = [&](std::int32_t y, std::uint32_t* row) {
        coverage.NextRow(owners.data());
        // Inside the region but beyond the picture (build's strip below it) stays black.
        std::fill(colors.begin(), colors.end(), kInside);
        if (picture.Loaded()) picture.ReadRow(y, width, colors.data());
        for (std::int32_t x = 0; x < width; ++x) row[x] = owners[x] ? colors[x] : kOutside;
    };
    if (!WriteScaledPng(output, width, height, scale, sourceRow, files))
        return files.complain(output, "could not be written"), 1;
    if (const std::uint64_t hidden = HiddenPixels(rects))
        files.complain(paths[0], std::to_string(hidden) + " pixels left of or above (0, 0) are not shown");
    return 0;
}

int DiffCommand(const std::vector<ToolPath>& words, const ToolFiles& files) {
    std::vector<ToolPath> paths, values;
    std::string problem;
    if (!ParseWords(words, {"-o"}, paths, values, problem)) return files.usageError(problem);
    if (paths.size() != 2) return files.usageError("diff needs two region files");
    RegionRects a, b;
    if (!ReadRegion(paths[0], a, files) || !ReadRegion(paths[1], b, files)) return 2;
    const RegionComparison comparison = CompareRegions(a, b);
    if (!values[0].empty()) {
        const RegionRect boundsA = BoundsOf(a), boundsB = BoundsOf(b);
        const RegionRect both = a.empty() ? boundsB
                                : b.empty() ? boundsA
                                            : RegionRect{0, 0, std::max(boundsA.right, boundsB.right),
                                                         std::max(boundsA.bottom, boundsB.bottom)};
        std::int32_t width = 0, height = 0;
        if (!VisibleSize(both, width, height))
            return files.complain(values[0], "neither region has a pixel right of and below (0, 0) to show"), 2;
        if (!CheckPictureSize(values[0], width, height, 1, files)) return 2;
        CoverageRows coverage(a, b, width);
        std::vector<std::uint8_t> owners(static_cast<size_t>(width));
        const auto sourceRow = [&](std::int32_t, std::uint32_t* row) {
            static const std::uint32_t kColors[] = {kOutside, kOnlyInA, kOnlyInB, kInBoth};
            coverage.NextRow(owners.data());
            for (std::int32_t x = 0; x < width; ++x) row[x] = kColors[owners[x]];
        };
        if (!WriteScaledPng(values[0], width, height, 1, sourceRow, files))
            return files.complain(values[0], "could not be written"), 2;
    }
    if (comparison.Same()) return std::printf("same region\n"), 0;
    std::printf("only in A: %llu pixels, only in B: %llu pixels, differences within %s\n",
                static_cast<unsigned long long>(comparison.onlyInA),
                static_cast<unsigned long long>(comparison.onlyInB), BoundsText(comparison.differences).c_str());
    return 1;
}
