// pellform.exe: the add-in's region engine for build pipelines.
// Exit status: 0 done, 1 failed (one line on stderr per failure), 2 usage error.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/no_throw.h"
#include "platform/win_handles.h"
#include "platform/picture_loading.h"
#include "core/region_data.h"
#include "core/region_export.h"
#include "platform/region_file_io.h"
#include "platform/region_gdi.h"
#include "core/region_rects.h"
#include "core/version.h"
#include "tool/pellform_cli.h"
#include "tool/render_diff.h"
#include "tool/tool_io.h"

namespace {

const char kVersion[] = "pellform " PELLFORM_VERSION_DOTTED;

const char kUsage[] =
    "usage: pellform build PICTURE OUT.rgn [OPTIONS]\n"
    "       pellform build --out-dir DIR PICTURE... [OPTIONS]\n"
    "       pellform info FILE.rgn\n"
    "       pellform export FILE.rgn --as masm|c|bin [-o OUT]\n"
    "       pellform render FILE.rgn -o OUT.png [--picture PICTURE] [--scale N]\n"
    "       pellform diff A.rgn B.rgn [-o DIFF.png]\n"
    "       pellform --help | --version\n"
    "render: a PNG from (0, 0) to the region's right and bottom, the region opaque (black, or\n"
    "  the picture's pixels decoded as build decodes them), the rest transparent; --scale 1-16\n"
    "diff: compares the pixels covered; exit 0 \"same region\", 1 different, 2 trouble;\n"
    "  -o: a PNG of both, red only in A, blue only in B, grey in both, transparent in neither\n"
    "options of build:\n"
    "  --mask-at X,Y        the mask is the color of this pixel (default 0,0)\n"
    "  --mask RRGGBB        the mask color\n"
    "  --tolerance N        with --mask or --mask-at: pixels whose red, green and blue each\n"
    "                       differ from the mask's by at most N (0-255) count as the mask\n"
    "  --contiguous         only the mask pixels joined by their edges to the --mask-at\n"
    "                       pixel leave the region (--mask-at may be repeated: the first\n"
    "                       gives the color), or with --mask those joined to the border\n"
    "  --alpha-threshold N  the pixels whose alpha is at least N (0-255), no mask color\n"
    "  --background RRGGBB  the color behind transparent pixels (default F0F0F0, the\n"
    "                       standard button face, so every machine gives the same bytes)\n"
    "  --background system  the running system's button face instead\n";

// What transparent pixels are composed over unless told: the platform's
// standard button face, fixed, as a build pipeline wants the same region from
// the same picture on every machine whatever its desktop theme.
const COLORREF kDefaultBackground = RGB(0xF0, 0xF0, 0xF0);

int UsageError(const std::string& problem) {
    PrintText(stderr, "pellform: %s\n%s", problem.c_str(), kUsage);
    return 2;
}

// Characters of the progress line now on the terminal, 0 when none is.
size_t progressShown = 0;

void ClearProgress() {
    if (!progressShown) return;
    std::fprintf(stderr, "\r%*s\r", static_cast<int>(progressShown), "");
    progressShown = 0;
}

void ShowProgress(size_t done, size_t total, const std::string& picture) {
    ClearProgress();
    PrintText(stderr, "[%zu/%zu] %s", done, total, picture.c_str());
    // Columns, not bytes: a UTF-8 character is one to clear.
    progressShown = std::to_string(done).size() + std::to_string(total).size() + 4;
    for (char c : picture) progressShown += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    std::fflush(stderr);
}

// One line on stderr: the path as the user typed it, then what went wrong.
void Complain(const std::string& path, const std::string& problem) {
    ClearProgress();
    // Whatever failed with such a name, this is why.
    const char* why = WineReachesNoSuchName(path) ? "wine reaches no file whose Linux name holds a backslash"
                                                  : problem.c_str();
    PrintText(stderr, "pellform: %s: %s\n", path.c_str(), why);
}

int Failure(const std::string& path, const std::string& problem) {
    Complain(path, problem);
    return 1;
}

// "RRGGBB" in hex as a COLORREF.
bool ParseColor(const char* text, COLORREF& color) {
    if (std::strlen(text) != 6) return false;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 16);
    if (*end != '\0') return false;
    color = RGB(value >> 16 & 0xFF, value >> 8 & 0xFF, value & 0xFF);
    return true;
}

bool ParsePoint(const char* text, int& x, int& y) {
    char* end = nullptr;
    const long first = std::strtol(text, &end, 10);
    if (end == text || *end != ',') return false;
    const char* second = end + 1;
    const long other = std::strtol(second, &end, 10);
    if (end == second || *end != '\0' || first < 0 || other < 0) return false;
    x = static_cast<int>(first);
    y = static_cast<int>(other);
    return true;
}

COLORREF PixelOf(HBITMAP picture, int x, int y) {
    OwnedMemoryDc memory(CreateCompatibleDC(nullptr));
    Selection selected(memory.get(), picture);
    return selected ? GetPixel(memory.get(), x, y) : CLR_INVALID;
}

// 0 to 255 in decimal.
bool ParseThreshold(const char* text, int& threshold) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 0 || value > 255) return false;
    threshold = static_cast<int>(value);
    return true;
}

struct BuildOptions {
    bool maskGiven = false;
    bool maskAtGiven = false;
    COLORREF mask = 0;
    COLORREF background = kDefaultBackground;
    bool contiguous = false;
    std::vector<FloodPoint> maskAt;  // none: the top-left pixel
    int alphaThreshold = -1;
    int tolerance = -1;
    std::string outDir;
    std::vector<std::string> paths;
};

// Options may stand anywhere after "build"; every other word is a path.
bool ParseBuildOptions(int argc, char** argv, BuildOptions& options, std::string& problem) {
    for (int i = 2; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.size() < 2 || word.compare(0, 2, "--") != 0) {
            options.paths.push_back(word);
            continue;
        }
        if (word == "--contiguous") {
            options.contiguous = true;
            continue;
        }
        if (i + 1 >= argc) return problem = "missing value after " + word, false;
        const char* value = argv[++i];
        if (word == "--mask") {
            if (!ParseColor(value, options.mask)) return problem = "--mask wants RRGGBB in hex", false;
            options.maskGiven = true;
        } else if (word == "--mask-at") {
            FloodPoint point{};
            if (!ParsePoint(value, point.x, point.y)) return problem = "--mask-at wants X,Y", false;
            options.maskAt.push_back(point);
            options.maskAtGiven = true;
        } else if (word == "--alpha-threshold") {
            if (!ParseThreshold(value, options.alphaThreshold))
                return problem = "--alpha-threshold wants a number from 0 to 255", false;
        } else if (word == "--tolerance") {
            if (!ParseThreshold(value, options.tolerance)) return problem = "--tolerance wants a number from 0 to 255", false;
        } else if (word == "--background") {
            if (std::strcmp(value, "system") == 0) options.background = GetSysColor(COLOR_BTNFACE);
            else if (!ParseColor(value, options.background))
                return problem = "--background wants RRGGBB in hex or system", false;
        } else if (word == "--out-dir") {
            options.outDir = value;
        } else {
            return problem = "unknown option " + word, false;
        }
    }
    if (options.maskGiven + options.maskAtGiven + (options.alphaThreshold >= 0) > 1)
        return problem = "give one of --mask, --mask-at and --alpha-threshold", false;
    if (options.tolerance >= 0 && !options.maskGiven && !options.maskAtGiven)
        return problem = "--tolerance goes with --mask or --mask-at", false;
    if (options.contiguous && options.alphaThreshold >= 0)
        return problem = "--contiguous goes with --mask or --mask-at, not --alpha-threshold", false;
    if (options.maskAt.size() > 1 && !options.contiguous)
        return problem = "--mask-at is given more than once only with --contiguous", false;
    if (options.maskAt.empty()) options.maskAt.push_back({0, 0});
    return true;
}

struct BuiltRegion {
    size_t rectCount = 0;
    RegionRect bounds{};
};

// Builds one picture's region into `outPath`; false after saying why on stderr.
bool BuildOne(const std::string& picturePath, const std::string& outPath, const BuildOptions& options,
              BuiltRegion& built) {
    const std::wstring picture = FullSystemPath(picturePath);
    if (!FileExists(picture)) return Complain(picturePath, "no such file"), false;
    AlphaPlane alpha;
    OwnedBitmap bitmap(LoadPictureFileWithAlpha(picture.c_str(), options.background, &alpha));
    if (!bitmap) return Complain(picturePath, "could not be decoded as a picture"), false;
    BITMAP size{};
    GetObjectA(bitmap.get(), sizeof size, &size);
    if (alpha.values && (alpha.width != size.bmWidth || alpha.height != size.bmHeight))
        return Complain(picturePath, "the picture's alpha does not match its size"), false;
    COLORREF mask = options.mask;
    const bool byAlpha = options.alphaThreshold >= 0;
    FloodStarts starts;
    starts.border = options.maskGiven;
    if (!options.maskGiven && !byAlpha) {
        for (const FloodPoint& point : options.maskAt)
            if (point.x >= size.bmWidth || point.y >= size.bmHeight)
                return Complain(picturePath, "--mask-at lies outside the " + std::to_string(size.bmWidth) + " x " +
                                                 std::to_string(size.bmHeight) + " picture"),
                       false;
        mask = PixelOf(bitmap.get(), options.maskAt[0].x, options.maskAt[0].y);
        if (mask == CLR_INVALID) return Complain(picturePath, "the pixel under --mask-at could not be read"), false;
        starts.points = options.maskAt;
    }
    RegionRects rects;
    const int tolerance = std::max(options.tolerance, 0);
    const bool made =
        byAlpha ? ResultOrFailure(false, [&] {
            rects = BuildAlphaRegionRects(alpha.values.get(), size.bmWidth, size.bmHeight,
                                          static_cast<std::uint32_t>(options.alphaThreshold));
            return true;
        })
        : options.contiguous
            ? BuildFloodPictureRects(bitmap.get(), size.bmWidth, size.bmHeight, mask, tolerance, starts, rects)
            : BuildPictureRects(bitmap.get(), size.bmWidth, size.bmHeight, mask, tolerance, rects);
    if (!made) return Complain(picturePath, "the region could not be built"), false;
    wchar_t tempPath[MAX_PATH] = L"";
    if (!WriteRegionFile(SystemPath(outPath).c_str(), rects, tempPath))
        return Complain(outPath, "could not be written"), false;
    built.rectCount = rects.size();
    built.bounds = BoundsOf(rects);
    return true;
}

std::string Summary(const BuiltRegion& built) {
    return SummaryText(built.rectCount, built.bounds);
}

// DIR joined with the picture's name, its extension replaced by ".rgn".
std::string OutputPathFor(const std::string& outDir, const std::string& picture) {
    const std::string name = FileStemOf(picture);
    std::string path = outDir;
    if (!path.empty() && path.back() != '/' && path.back() != '\\')
        path += path.find('\\') != std::string::npos ? '\\' : '/';
    return path + name + ".rgn";
}

bool IsTerminal(FILE* stream) { return _isatty(_fileno(stream)) != 0; }

// Many pictures into one folder: a line for each, a failure does not stop the rest.
int BuildMany(const BuildOptions& options) {
    if (options.paths.empty()) return UsageError("build --out-dir needs at least one picture");
    if (!FolderExists(SystemPath(options.outDir))) return Failure(options.outDir, "no such folder");
    const bool progress = IsTerminal(stderr);
    std::vector<std::string> written;
    int failed = 0;
    for (size_t i = 0; i < options.paths.size(); ++i) {
        const std::string& picture = options.paths[i];
        // Each picture on its own: running out of memory on one fails that one.
        const bool succeeded = ResultOrRecovery(
            [&] {
                if (progress) ShowProgress(i + 1, options.paths.size(), picture);
                const std::string outPath = OutputPathFor(options.outDir, picture);
                bool duplicate = false;
                for (const std::string& done : written)
                    duplicate = duplicate || _stricmp(done.c_str(), outPath.c_str()) == 0;
                BuiltRegion built;
                const DWORD start = GetTickCount();
                if (duplicate) {
                    Complain(picture, "another picture of the same name was written to " + outPath);
                    return false;
                }
                if (!BuildOne(picture, outPath, options, built)) return false;
                ClearProgress();
                written.push_back(outPath);
                PrintText(stdout, "%s: %s, %lu ms\n", outPath.c_str(), Summary(built).c_str(),
                          static_cast<unsigned long>(GetTickCount() - start));
                std::fflush(stdout);
                return true;
            },
            [&] {
                ClearProgress();
                std::fprintf(stderr, "pellform: %s: out of memory\n", picture.c_str());
                return false;
            });
        failed += !succeeded;
    }
    if (failed) std::fprintf(stderr, "pellform: %d of %zu pictures failed\n", failed, options.paths.size());
    return failed ? 1 : 0;
}

int Build(int argc, char** argv) {
    BuildOptions options;
    std::string problem;
    if (!ParseBuildOptions(argc, argv, options, problem)) return UsageError(problem);
    if (!options.outDir.empty()) return BuildMany(options);
    if (options.paths.size() != 2) return UsageError("build needs a picture and an output file");
    BuiltRegion built;
    if (!BuildOne(options.paths[0], options.paths[1], options, built)) return 1;
    PrintText(stdout, "%s: %s\n", options.paths[1].c_str(), Summary(built).c_str());
    return 0;
}

int Info(int argc, char** argv) {
    if (argc != 3) return UsageError("info needs one region file");
    const std::string path = argv[2];
    const std::wstring systemPath = SystemPath(path);
    if (!FileExists(systemPath)) return Failure(path, "no such file");
    RegionRects rects;
    if (!ReadRegionFile(systemPath.c_str(), rects)) return Failure(path, "not region data");
    const RegionRect bounds = BoundsOf(rects);
    std::printf("Size of header: %u\n", kRegionHeaderSize);
    std::printf("Type of region: 1\n");
    std::printf("Number of regions: %zu\n", rects.size());
    std::printf("Size of raw data: %zu\n", rects.size() * kRegionRectSize);
    std::printf("Upper left X: %d\nUpper left Y: %d\n", bounds.left, bounds.top);
    std::printf("Lower right X: %d\nLower right Y: %d\n", bounds.right, bounds.bottom);
    for (const RegionRect& r : rects) std::printf("%d %d %d %d\n", r.left, r.top, r.right, r.bottom);
    return 0;
}

int Export(int argc, char** argv) {
    std::string input, format, output;
    for (int i = 2; i < argc; ++i) {
        const std::string word = argv[i];
        if (word == "--as" || word == "-o") {
            if (i + 1 >= argc) return UsageError("missing value after " + word);
            (word == "--as" ? format : output) = argv[++i];
        } else if (word.size() > 1 && word[0] == '-') {
            return UsageError("unknown option " + word);
        } else if (input.empty()) {
            input = word;
        } else {
            return UsageError("export takes one region file");
        }
    }
    if (input.empty()) return UsageError("export needs a region file");
    if (format != "masm" && format != "c" && format != "bin") return UsageError("--as wants masm, c or bin");
    const std::wstring systemInput = SystemPath(input);
    if (!FileExists(systemInput)) return Failure(input, "no such file");
    RegionHeader header;
    RegionRects rects;
    if (!ReadRegionData(systemInput.c_str(), header, rects)) return Failure(input, "not region data");
    // The name follows the output file when there is one, so a header's name matches its file.
    const std::string name = MakeExportName(output.empty() ? input : output);
    const std::string source = FileNameOf(input);
    std::string text;
    if (format == "masm") {
        text = FormatRegionAsMasm(header, rects, name, source);
    } else if (format == "c") {
        text = FormatRegionAsC(header, rects, name, source);
    } else {
        const std::vector<std::uint8_t> block = EncodeRegionData(header, rects);
        text.assign(block.begin(), block.end());
    }
    if (output.empty()) {
        _setmode(_fileno(stdout), _O_BINARY);  // the bytes exactly, whatever the platform's line ends
        return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : Failure("stdout", "write failed");
    }
    // As the editor saves: a failure keeps the old file.
    wchar_t tempPath[MAX_PATH] = L"";
    if (!WriteFileAtomically(SystemPath(output).c_str(), text.data(), text.size(), tempPath))
        return Failure(output, "could not be written");
    return 0;
}

}  // namespace

int RunTool(int argc, char** argv) {
    if (argc < 2) return UsageError("no command");
    const std::string command = argv[1];
    if (command == "--help" || command == "-h") return std::fputs(kUsage, stdout), 0;
    if (command == "--version") return std::printf("%s\n", kVersion), 0;
    if (command == "build") return Build(argc, argv);
    if (command == "info") return Info(argc, argv);
    if (command == "export") return Export(argc, argv);
    if (command == "render" || command == "diff") {
        const ToolFiles files{SystemPath, FileExists, FullSystemPath, Complain, UsageError, BuildOptions().background};
        const std::vector<ToolPath> words(argv + 2, argv + argc);
        return command == "render" ? RenderCommand(words, files) : DiffCommand(words, files);
    }
    return UsageError("unknown command " + command);
}

