// pellform.exe as a build pipeline and a Linux shell run it: exit status,
// output lines, files.
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>

#include "harness.h"
#include "picture_fixtures.h"
#include "core/region_data.h"
#include "platform/picture_loading.h"
#include "tests/support/naive_region.h"

namespace {

struct ToolRun {
    DWORD status = 0xFFFFFFFF;
    std::string out, err;
};

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::wstring Wide(const std::string& utf8) { return std::filesystem::u8path(utf8).wstring(); }

// Runs pellform.exe (arguments in UTF-8, in `folder` when given) with its output and errors going to files.
ToolRun RunTool(const std::string& arguments, const std::string& folder = "") {
    const std::string paths[] = {TemporaryPath("tool.out"), TemporaryPath("tool.err")};
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = CreateFileA(paths[0].c_str(), GENERIC_WRITE, kShareAll, &inherit, CREATE_ALWAYS, 0, nullptr);
    startup.hStdError = CreateFileA(paths[1].c_str(), GENERIC_WRITE, kShareAll, &inherit, CREATE_ALWAYS, 0, nullptr);
    PROCESS_INFORMATION process{};
    std::wstring line = Wide(Quoted(PathBesideTests("pellform.exe")) + " " + arguments);
    ToolRun run;
    // Wine, on a busy machine, about once in a thousand starts loses the new
    // process before it runs a line of it, and CreateProcess says
    // ERROR_INTERNAL_ERROR: the tool never ran, so it is started again.
    BOOL started = FALSE;
    DWORD error = 0;
    for (int attempt = 0; attempt < 5 && !started; ++attempt) {
        started = CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                                 folder.empty() ? nullptr : Wide(folder).c_str(), &startup, &process);
        error = started ? 0 : GetLastError();
        if (error != ERROR_INTERNAL_ERROR) break;
    }
    if (started) {
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &run.status);
    }
    for (HANDLE handle : {process.hProcess, process.hThread, startup.hStdOutput, startup.hStdError})
        CloseHandle(handle);
    for (std::string* text : {&run.out, &run.err}) {
        const std::vector<BYTE> bytes = ReadFileBytes(paths[text == &run.err]);
        text->assign(bytes.begin(), bytes.end());
    }
    if (!started) run.err = "the tool could not be started: error " + std::to_string(error);
    return run;
}

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

std::string WriteRegion(const char* name, const RegionRects& rects) {
    const std::string path = TemporaryPath(name);
    return WriteFileBytes(path, EncodeRegionData(rects)), path;
}

bool Covers(const RegionRects& rects, int x, int y) {
    return std::any_of(rects.begin(), rects.end(),
                       [&](const RegionRect& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; });
}

// Checks every pixel of a PNG of `width` x `height`, 0xAARRGGBB as the imaging component reads it, against
// `expected`: its alpha, and its color composed over black (every alpha is 0 or 255).
void ExpectPng(const std::string& path, int width, int height, const std::function<DWORD(int, int)>& expected,
               const std::string& what) {
    AlphaPlane alpha;
    HBITMAP bitmap = LoadPictureFileWithAlpha(Wide(path).c_str(), RGB(0, 0, 0), &alpha);
    const Pixels png = ReadPixels(bitmap);
    DeleteObject(bitmap);
    ASSERT_EQ(std::tuple(png.width, png.height, alpha.width, alpha.height), std::tuple(width, height, width, height)) << what;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const COLORREF c = png.at(x, y);
            ASSERT_EQ(DWORD(alpha.at(x, y)) << 24 | GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c), expected(x, y))
                << what << " at " << x << "," << y;
        }
}

// The editor saves the same bytes for this picture and mask (RegionFilesTest).
TEST(CliTest, BuildWritesTheRegionOfThePictureAloneAndInABatch) {
    const std::string gif = Quoted(TestDataPath("transparent.gif")), out = TemporaryPath("tool.rgn");
    const ToolRun run = RunTool("build " + gif + " " + Quoted(out) + " --mask 0000FF");
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_EQ(ReadFileBytes(out), EncodeRegionData({{0, 10, 40, 31}}));  // all but the blue band at the top
    EXPECT_EQ(run.out.rfind(out + ": 1 rectangle, bounding box (0, 10, 40, 31)", 0), 0u) << run.out;
    // Into one folder, the mask at 0,0 by default: six failures (three past the pixel limit, one a side of 32,769)
    // among three successes (one a side of exactly 32,768).
    const std::string folder = TemporaryPath("batch");
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string pictures = gif;
    for (const char* name : {"missing.gif", "not_a_picture.gif", "stripes.png", "transparent.bmp",
                             "wic\\png_claims_40000.ico", "wic\\stray_byte_huge.jpg"})
        pictures += " " + Quoted(TestDataPath(name));
    for (int side : {32768, 32769}) {
        const std::string wide = TemporaryPath(("side" + std::to_string(side) + ".bmp").c_str());
        ASSERT_TRUE(WriteBmpFile(wide, side, 1, [](int, int) { return RGB(9, 9, 9); }));
        pictures += " " + Quoted(wide);
    }
    const ToolRun batch = RunTool("build --out-dir " + Quoted(folder) + " " + pictures);
    EXPECT_EQ(batch.status, 1u);
    EXPECT_EQ(ReadFileBytes(folder + "\\transparent.rgn"), EncodeRegionData({{0, 10, 40, 31}}));
    EXPECT_EQ(Lines(batch.out), 3) << batch.out;
    for (const char* line : {"missing.gif: no such file", "not_a_picture.gif: could not be decoded",
                             "transparent.bmp: another picture of the same name",
                             "png_claims_40000.ico: could not be decoded", "stray_byte_huge.jpg: could not be decoded",
                             "side32769.bmp: could not be decoded", "6 of 9 pictures failed"})
        EXPECT_NE(batch.err.find(line), std::string::npos) << batch.err;
}

// Linux names are UTF-8: any name, full or relative, reaches its file and comes back in the
// tool's lines as given, which end in LF as a shell's tools write them (Linux paths: tests/wrapper).
TEST(CliTest, NamesOutsideTheCodePageWorkByFullAndRelativePath) {
    for (const std::string name : {u8"r\u00e9sum\u00e9", u8"\u56fe\u7247"}) {
        const std::string file = TemporaryPath(name.c_str()), folder = file.substr(0, file.rfind('\\'));
        ASSERT_TRUE(CopyFileW(Wide(TestDataPath("transparent.gif")).c_str(), Wide(file + ".gif").c_str(), FALSE));
        for (const std::string& given : {file, name}) {
            auto at = [&](const char* extension) { return " " + Quoted(given + extension); };
            const ToolRun built = RunTool("build" + at(".gif") + at(".rgn") + " --mask 0000FF", folder);
            EXPECT_EQ(built.out, given + ".rgn: 1 rectangle, bounding box (0, 10, 40, 31)\n") << built.err;
            EXPECT_NE(RunTool("info" + at(".rgn"), folder).out.find("Number of regions: 1\n"), std::string::npos);
            RunTool("export" + at(".rgn") + " --as masm -o" + at(".inc"), folder);
            const std::vector<BYTE> include = ReadFileBytes(file + ".inc");
            EXPECT_EQ(std::string(include.begin(), include.end()).rfind("; " + name + ".rgn: region data", 0), 0u);
            for (const char* made : {".rgn", ".inc"}) DeleteFileW(Wide(file + made).c_str());
        }
    }
    // In a Linux name a backslash is a character, which no wine path reaches: a\b.rgn is neither written nor read.
    const std::string inside = TemporaryPath("a\\b.rgn"), rgn = Quoted(WriteRegion("x.rgn", {{0, 0, 1, 1}}));
    CreateDirectoryA(TemporaryPath("a").c_str(), nullptr);
    EXPECT_EQ(RunTool("export " + rgn + " --as bin -o a\\b.rgn", TemporaryPath("")).status, 1u);
    EXPECT_EQ(GetFileAttributesA(inside.c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(WriteFileBytes(inside, EncodeRegionData({{0, 0, 1, 1}})));
    EXPECT_EQ(RunTool("info a\\b.rgn", TemporaryPath("")).err, "pellform: a\\b.rgn: wine reaches no file whose Linux name holds a backslash\n");
}

// A build pipeline gets the same bytes on every machine: the default background
// is fixed whatever the system's button face, which --background system takes.
TEST(CliTest, TheDefaultBackgroundIsTheSameWhateverTheButtonFace) {
    const char* const colors = "Control Panel\\Colors";
    char saved[32] = "";
    DWORD size = sizeof saved;
    const bool had = !RegGetValueA(HKEY_CURRENT_USER, colors, "ButtonFace", RRF_RT_REG_SZ, nullptr, saved, &size);
    const std::string out = TemporaryPath("face.rgn"), gif = Quoted(TestDataPath("transparent.gif"));
    auto build = [&](const std::string& options) {
        return RunTool("build " + gif + " " + Quoted(out) + options), ReadFileBytes(out);
    };
    std::vector<std::vector<BYTE>> fixed, system;
    for (const char* face : {"212 208 200", "245 245 245"}) {
        RegSetKeyValueA(HKEY_CURRENT_USER, colors, "ButtonFace", REG_SZ, face, 12);
        fixed.push_back(build(" --mask F0F0F0"));
        system.push_back(build(" --mask D4D0C8 --background system"));
    }
    if (had) RegSetKeyValueA(HKEY_CURRENT_USER, colors, "ButtonFace", REG_SZ, saved, size);
    else RegDeleteKeyValueA(HKEY_CURRENT_USER, colors, "ButtonFace");
    // The transparent band (rows 10 to 20) takes the background's color and the mask cuts it only when they match.
    EXPECT_EQ(fixed[0], EncodeRegionData({{0, 0, 40, 10}, {0, 20, 40, 31}}));
    EXPECT_EQ(fixed[1], fixed[0]);
    EXPECT_NE(system[1], system[0]);  // the faces differ where the tool is asked to take them
}

TEST(CliTest, AlphaThresholdGivesTheRegionOfTheAlphaChannelAndPicturesWithoutAlphaAreOpaque) {
    const std::string out = TemporaryPath("alpha.rgn"), rgba = "wic\\rgba8.png";
    const std::pair<std::string, int> runs[] = {{rgba, 0}, {rgba, 1}, {rgba, 128}, {rgba, 255}, {"wic\\rgb8.png", 255}};
    for (const auto& [name, threshold] : runs) {
        const std::string arguments = Quoted(TestDataPath(name.c_str())) + " " + Quoted(out) + " --alpha-threshold ";
        ASSERT_EQ(RunTool("build " + arguments + std::to_string(threshold)).status, 0u) << name;
        RegionRects pixels = {{0, 7, 10, 8}};  // the strip below the picture
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 10; ++x)
                if ((name == rgba ? FixtureAlpha(x, y) : 255) >= threshold) pixels.push_back({x, y, x + 1, y + 1});
        EXPECT_EQ(ReadFileBytes(out), EncodeRegionData(UnionOfRects(pixels))) << name << " " << threshold;
    }
}

// With the mask's color or the color of a pixel (0, 0 is the mask's), as the plain algorithm with that tolerance.
TEST(CliTest, ToleranceLeavesOutThePixelsNearTheMaskColor) {
    const std::string picture = TemporaryPath("near.bmp"), out = TemporaryPath("near.rgn");
    ASSERT_TRUE(WriteBmpFile(picture, 48, 32, NearMaskColor));
    HBITMAP bitmap = MakeBitmap(48, 32, NearMaskColor);
    for (const auto& [mask, tolerance] : {std::pair<const char*, int>{"--mask 6496C8", 0}, {"--mask-at 0,0", 12},
                                          {"--mask 6496C8", 20}, {"--mask-at 0,0", 255}}) {
        const std::string arguments = Quoted(picture) + " " + Quoted(out) + " " + mask + " --tolerance ";
        ASSERT_EQ(RunTool("build " + arguments + std::to_string(tolerance)).status, 0u) << mask;
        HRGN plain = NaiveRegion(bitmap, 48, 32, kNearMask, tolerance);
        EXPECT_EQ(ReadFileBytes(out), EncodeRegionData(RectsOf(plain))) << tolerance;
        DeleteObject(plain);
    }
    DeleteObject(bitmap);
}

// White around a one-pixel diagonal outline, white or grey inside, a near-white corner: only the mask pixels
// joined to a start (or to the border) leave the region, as the exact mask leaves them where no others are.
TEST(CliTest, ContiguousLeavesOutOnlyTheMaskPixelsJoinedToTheStarts) {
    const std::string white = TemporaryPath("white.bmp"), grey = TemporaryPath("grey.bmp"), out = TemporaryPath("c.rgn");
    ASSERT_TRUE(WriteBmpFile(white, 32, 24, Diamond(RGB(255, 255, 255), true)) &&
                WriteBmpFile(grey, 32, 24, Diamond(RGB(128, 128, 128), true)));
    const std::tuple<const char*, std::string, const char*> builds[] = {
        {"--contiguous --mask-at 3,0 --tolerance 5", grey, "--mask FFFFFF --tolerance 5"},
        {"--contiguous --mask FFFFFF --tolerance 5", grey, "--mask FFFFFF --tolerance 5"},
        {"--contiguous", grey, "--mask FAFAFA"},  // the corner's own color from 0,0
        {"--contiguous --mask-at 31,0 --mask-at 16,12 --tolerance 5", white, "--mask FFFFFF --tolerance 5"},
    };
    for (const auto& [options, picture, exact] : builds) {
        ASSERT_EQ(RunTool("build " + Quoted(picture) + " " + Quoted(out) + " " + exact).status, 0u);
        const std::vector<BYTE> expected = ReadFileBytes(out);
        const ToolRun run = RunTool("build " + Quoted(white) + " " + Quoted(out) + " " + options);
        EXPECT_EQ(run.status, 0u) << run.err;
        EXPECT_EQ(ReadFileBytes(out), expected) << options;
    }
}

TEST(CliTest, FailuresExitOneWithOneLineAndUsageErrorsExitTwoAddingHowTheToolIsUsed) {
    const std::string gif = Quoted(TestDataPath("transparent.gif")), board = TemporaryPath("board.bmp");
    // Past the rectangle limit, as files are in the editor: a 2048 x 1024 checkerboard, one row too many.
    ASSERT_TRUE(WriteBmpFile(board, 2048, 1024, [](int x, int y) { return (x + y) % 2 ? RGB(0, 0, 255) : 0; }));
    const std::tuple<std::string, DWORD, const char*> failures[] = {
        {"export " + Quoted(TestDataPath("not_a_picture.gif")) + " --as c", 1, "not region data"},
        {"build " + Quoted(board) + " " + Quoted(board + ".rgn") + " --mask 0000FF", 1, "could not be built"},
        {"build " + gif + " " + Quoted(TemporaryPath("no-such-folder\\out.rgn")), 1, "could not be written"},
        {"info " + Quoted(u8"\u7f3a\u5931.rgn"), 1, u8"\u7f3a\u5931.rgn: no such file"},
        {"build " + gif + " o.rgn --mask-at 40,0", 1, "--mask-at lies outside the 40 x 30 picture"},
        {"build " + gif + " o.rgn --mask-at 0,30", 1, "--mask-at lies outside the 40 x 30 picture"},
        {"build a b --mask 000000 --mask-at 0,0", 2, "give one of --mask, --mask-at and --alpha-threshold\nusage: "},
        // A hostile file's bounds are refused before a pixel is allocated.
        {"render " + Quoted(WriteRegion("wide.rgn", {{0, 0, 70000, 1}})) + " -o " + Quoted(TemporaryPath("w.png")),
         1, "70000 x 1 pixels is more"},
        {"build a b --tolerance 5", 2, "--tolerance goes with --mask or --mask-at\nusage: "},
        {"build a b --contiguous --alpha-threshold 9", 2, "--contiguous goes with --mask or --mask-at, not --alpha"},
        {"build a b --mask-at 0,0 --mask-at 1,1", 2, "--mask-at is given more than once only with --contiguous"},
        {"build " + gif + " o.rgn --contiguous --mask-at 0,0 --mask-at 0,30", 1, "--mask-at lies outside the 40 x 30"},
        {"build a b --mask-at 0,0 --tolerance 256", 2, "--tolerance wants a number from 0 to 255\nusage: "},
    };
    for (const auto& [arguments, status, error] : failures) {
        const ToolRun result = RunTool(arguments);
        EXPECT_EQ(result.status, status) << arguments;
        EXPECT_TRUE(result.out.empty()) << arguments;
        EXPECT_NE(result.err.find(error), std::string::npos) << arguments << ": " << result.err;
        EXPECT_EQ(Lines(result.err) == 1, status == 1) << arguments << ": " << result.err;
    }
}

// Inside opaque (black, or the picture's pixel where there is one), outside
// transparent; pixels above or left of (0, 0) have no place and are counted.
TEST(CliTest, RenderShowsTheRegionFromTheOriginOpaqueAndTheRestTransparent) {
    const RegionRects shape = {{-2, -1, 1, 1}, {3, 0, 5, 2}, {1, 3, 6, 4}}, square = {{2, 1, 12, 9}};
    const std::tuple<RegionRects, const char*, int> renders[] = {
        {shape, nullptr, 1}, {shape, nullptr, 3}, {square, "wic\\rgb8.png", 2}};
    for (const auto& [rects, picture, scale] : renders) {
        const std::string out = TemporaryPath("render.png"), what = std::to_string(scale);
        std::string arguments = "render " + Quoted(WriteRegion("render.rgn", rects)) + " -o " + Quoted(out);
        if (picture) arguments += " --picture " + Quoted(TestDataPath(picture));
        const ToolRun run = RunTool(arguments + " --scale " + std::to_string(scale));
        ASSERT_EQ(run.status, 0u) << run.err;
        EXPECT_EQ(run.err.find("5 pixels left of or above (0, 0) are not shown") != std::string::npos, !picture);
        const RegionRect bounds = BoundsOf(UnionOfRects(rects));
        const auto expected = [&, picture = picture, scale = scale](int x, int y) -> DWORD {
            x /= scale, y /= scale;
            if (!Covers(rects, x, y)) return 0;
            const COLORREF c = picture && x < 10 && y < 7 ? FixtureColor(x, y) : 0;  // black past the picture
            return 0xFF000000 | GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c);
        };
        ExpectPng(out, bounds.right * scale, bounds.bottom * scale, expected, what);
    }
}

// Same pixels, whatever the rectangles, is the same region; a copy moved by a
// pixel differs by a column on each side.
TEST(CliTest, DiffComparesCoveredPixelsAndShowsWhereTheyDiffer) {
    const RegionRects banded = {{0, 0, 4, 2}, {1, 2, 3, 4}}, moved = {{1, 0, 5, 2}, {2, 2, 4, 4}};
    const RegionRects overlapping = {{2, 2, 3, 4}, {0, 0, 2, 2}, {1, 0, 4, 2}, {1, 3, 3, 4}, {1, 2, 3, 3}};
    const std::string a = Quoted(WriteRegion("a.rgn", banded)), diff = TemporaryPath("diff.png");
    const std::tuple<std::string, DWORD, std::string> diffs[] = {
        {"diff " + a + " " + Quoted(WriteRegion("b.rgn", overlapping)), 0, "same region\n"},
        {"diff " + a + " " + Quoted(WriteRegion("c.rgn", moved)) + " -o " + Quoted(diff), 1,
         "only in A: 4 pixels, only in B: 4 pixels, differences within (0, 0, 5, 4)\n"},
        {"diff " + a + " " + Quoted(TestDataPath("not_a_picture.gif")), 2, "not_a_picture.gif: not region data\n"},
        {"diff " + a, 2, "diff needs two region files\nusage: "},
    };
    for (const auto& [arguments, status, text] : diffs) {
        const ToolRun run = RunTool(arguments);
        EXPECT_EQ(run.status, status) << arguments;
        EXPECT_NE((status == 2 ? run.err : run.out).find(text), std::string::npos) << run.out << run.err;
    }
    static const DWORD kColors[] = {0, 0xFFFF0000, 0xFF0000FF, 0xFF808080};  // neither, A red, B blue, both grey
    ExpectPng(diff, 5, 4, [&](int x, int y) { return kColors[Covers(banded, x, y) + 2 * Covers(moved, x, y)]; },
              "diff");
}

}  // namespace
