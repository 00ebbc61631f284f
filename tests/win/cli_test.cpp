// pellform.exe as a build pipeline and a Linux shell run it: exit status,
// output lines, files.
#include <windows.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "harness.h"
#include "picture_fixtures.h"
#include "region/region_data.h"

namespace {

struct ToolRun {
    DWORD status = 0xFFFFFFFF;
    std::string out, err;
};

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// Runs pellform.exe with its output and errors going to files.
ToolRun RunTool(const std::string& arguments) {
    const std::string paths[] = {TemporaryPath("tool.out"), TemporaryPath("tool.err")};
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = CreateFileA(paths[0].c_str(), GENERIC_WRITE, 7, &inherit, CREATE_ALWAYS, 0, nullptr);
    startup.hStdError = CreateFileA(paths[1].c_str(), GENERIC_WRITE, 7, &inherit, CREATE_ALWAYS, 0, nullptr);
    PROCESS_INFORMATION process{};
    std::string line = Quoted(PathBesideTests("pellform.exe")) + " " + arguments;
    ToolRun run;
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &run.status);
        CloseHandle(process.hProcess);
        CloseHandle(process.hThread);
    }
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    for (std::string* text : {&run.out, &run.err}) {
        const std::vector<BYTE> bytes = ReadFileBytes(paths[text == &run.err]);
        text->assign(bytes.begin(), bytes.end());
    }
    return run;
}

int Lines(const std::string& text) { return static_cast<int>(std::count(text.begin(), text.end(), '\n')); }

// The editor saves the same bytes for this picture and mask (RegionFilesTest).
TEST(CliTest, BuildWritesTheRegionOfThePictureAloneInABatchAndOnLinuxPaths) {
    const std::string gif = Quoted(TestDataPath("transparent.gif")), out = TemporaryPath("tool.rgn");
    const std::vector<BYTE> expected = EncodeRegionData({{0, 10, 40, 31}});  // all but the blue band at the top
    // Run by the ./pellform script, the tool takes and writes Linux paths, its lines ending in LF alone.
    const std::string linuxOut = "/tmp/pellform-cli-" + std::to_string(GetCurrentProcessId()) + ".rgn";
    const std::string runs[][3] = {{gif, out, ""}, {gif, out, " --mask 0000FF"},
                                   {Quoted(PELLFORM_TEST_DATA_DIR "/transparent.gif"), linuxOut, " --mask-at 0,0"}};
    for (const auto& r : runs) {
        const ToolRun run = RunTool("build " + r[0] + " " + Quoted(r[1]) + r[2]);
        EXPECT_EQ(run.status, 0u) << run.err;
        const std::string written = r[1][0] == '/' ? "Z:" + r[1] : r[1];
        EXPECT_EQ(ReadFileBytes(written), expected) << r[2];
        EXPECT_TRUE(DeleteFileA(written.c_str()));
        EXPECT_EQ(run.out.rfind(r[1] + ": 1 rectangles, bounding box (0, 10, 40, 31)", 0), 0u) << run.out;
        EXPECT_EQ(Lines(run.out), 1);
        EXPECT_EQ(run.out.find('\r'), std::string::npos);
    }

    // Into one folder: a missing picture, an undecodable one, and a second "transparent"
    // that would overwrite the first one's output: three failures among two successes.
    const std::string folder = TemporaryPath("batch");
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string pictures = gif;
    for (const char* name : {"missing.gif", "not_a_picture.gif", "stripes.png", "transparent.bmp"})
        pictures += " " + Quoted(TestDataPath(name));
    const ToolRun batch = RunTool("build --mask-at 0,0 --out-dir " + Quoted(folder) + " " + pictures);
    EXPECT_EQ(batch.status, 1u);
    EXPECT_EQ(ReadFileBytes(folder + "\\transparent.rgn"), expected);
    EXPECT_FALSE(ReadFileBytes(folder + "\\stripes.rgn").empty());
    EXPECT_EQ(Lines(batch.out), 2) << batch.out;
    EXPECT_NE(batch.out.find("transparent.rgn: 1 rectangles, bounding box (0, 10, 40, 31), "), std::string::npos);
    for (const char* line : {"missing.gif: no such file", "not_a_picture.gif: could not be decoded",
                             "transparent.bmp: another picture of the same name", "3 of 5 pictures failed"})
        EXPECT_NE(batch.err.find(line), std::string::npos) << batch.err;
}

TEST(CliTest, AlphaThresholdGivesTheRegionOfTheAlphaChannelAndPicturesWithoutAlphaAreOpaque) {
    const std::string out = TemporaryPath("alpha.rgn");
    for (int threshold : {0, 1, 64, 128, 254, 255}) {
        const std::string option = " --alpha-threshold " + std::to_string(threshold);
        ASSERT_EQ(RunTool("build " + Quoted(TestDataPath("wic\\rgba8.png")) + " " + Quoted(out) + option).status, 0u);
        RegionRects pixels = {{0, 7, 10, 8}};  // the strip below the picture
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 10; ++x)
                if (FixtureAlpha(x, y) >= threshold) pixels.push_back({x, y, x + 1, y + 1});
        EXPECT_EQ(ReadFileBytes(out), EncodeRegionData(UnionOfRects(pixels))) << threshold;
    }
    const std::tuple<const char*, int, int> opaque[] = {{"wic\\rgb8.png", 10, 7}, {"stripes.bmp", 48, 32}};
    for (const auto& [name, width, height] : opaque) {
        const std::string arguments = Quoted(TestDataPath(name)) + " " + Quoted(out) + " --alpha-threshold 255";
        ASSERT_EQ(RunTool("build " + arguments).status, 0u);
        EXPECT_EQ(ReadFileBytes(out), EncodeRegionData({{0, 0, width, height + 1}})) << name;
    }
}

TEST(CliTest, InfoListsOrRejectsFailuresExitOneWithOneLineAndUsageErrorsExitTwo) {
    const ToolRun listed = RunTool("info " + Quoted(TestDataPath("../fuzz/corpus/valid_strip.rgn")));
    EXPECT_EQ(listed.status, 0u) << listed.err;
    EXPECT_EQ(listed.out,
              "Size of header: 32\nType of region: 1\nNumber of regions: 3\nSize of raw data: 48\n"
              "Upper left X: 0\nUpper left Y: 0\nLower right X: 40\nLower right Y: 31\n"
              "1 0 3 10\n5 0 9 10\n0 10 40 31\n");
    const std::string gif = Quoted(TestDataPath("transparent.gif"));
    const std::string board = TemporaryPath("board.bmp");
    // Files past the rectangle limit fail as in the editor (RegionFilesTest); so does a picture, a checkerboard
    // 2048 x 1024: 1024 rectangles in each of its 1024 rows, one row past the limit.
    ASSERT_TRUE(WriteBmpFile(board, 2048, 1024, [](int x, int y) { return (x + y) % 2 ? RGB(0, 0, 255) : 0; }));
    const std::pair<std::string, const char*> failures[] = {
        {"info " + Quoted(TestDataPath("not_a_picture.gif")), "not region data"},
        {"build " + Quoted(board) + " " + Quoted(TemporaryPath("board.rgn")) + " --mask 0000FF", "could not be built"},
        {"build " + gif + " " + Quoted(TemporaryPath("no-such-folder\\out.rgn")), "could not be written"},
        {"info /no/such.rgn", "pellform: /no/such.rgn: no such file"},
        {"export /no/such.rgn --as c", "pellform: /no/such.rgn: no such file"},
        {"build --out-dir " + Quoted(TemporaryPath("none")) + " " + gif, "none: no such folder"},
    };
    for (const auto& [arguments, error] : failures) {
        const ToolRun result = RunTool(arguments);
        EXPECT_EQ(result.status, 1u) << arguments;
        EXPECT_TRUE(result.out.empty()) << arguments;
        EXPECT_NE(result.err.find(error), std::string::npos) << arguments << ": " << result.err;
        EXPECT_EQ(Lines(result.err), 1) << arguments << ": " << result.err;
    }
    // A usage error says what is wrong on its first line, then how the tool is used.
    const std::pair<const char*, const char*> usages[] = {
        {"frobnicate", "pellform: unknown command frobnicate\nusage: "},
        {"build a.gif b.rgn --mask 000000 --mask-at 0,0",
         "pellform: give one of --mask, --mask-at and --alpha-threshold\nusage: "},
    };
    for (const auto& [arguments, message] : usages) {
        const ToolRun usage = RunTool(arguments);
        EXPECT_EQ(usage.status, 2u) << arguments;
        EXPECT_EQ(usage.err.rfind(message, 0), 0u) << usage.err;
    }
}

}  // namespace
